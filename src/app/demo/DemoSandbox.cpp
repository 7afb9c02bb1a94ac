#include "app/demo/DemoSandbox.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw fs::filesystem_error("cannot write", path, std::make_error_code(std::errc::io_error));
    }
}

// Chart files: a name's last three characters decide where it goes.
void FillChartBackup(const fs::path& folder) {
    fs::create_directories(folder / "old");
    for (int patient = 1; patient <= 12; ++patient) {
        std::string number = std::to_string(patient);
        number.insert(0, 4 - number.size(), '0');
        const std::string name = "K" + number + ".sxd";
        WriteFile(folder / name, "chart " + name + "\n");
    }
    WriteFile(folder / "base.ini", "[base]\r\nversion=2\r\n");
    WriteFile(folder / "tmpl.hxd", "template\n");
    WriteFile(folder / "ini", "a file named just ini\n");
    // Skipped: no route for the ending, upper case, hidden, inside a subfolder.
    WriteFile(folder / "readme.txt", "not restored\n");
    WriteFile(folder / "BASE.INI", "not restored\n");
    WriteFile(folder / ".hidden.sxd", "hidden, not restored\n");
    WriteFile(folder / "old" / "K9999.sxd", "in a subfolder, not restored\n");
}

// Treatment-book files: every listed file goes to the same name in cb.
void FillTreatmentBookBackup(const fs::path& folder) {
    fs::create_directories(folder);
    for (int book = 1; book <= 5; ++book) {
        const std::string name = "T000" + std::to_string(book) + ".dat";
        WriteFile(folder / name, "treatment book " + name + "\n");
    }
    WriteFile(folder / fs::path(u8"治療簿一覧.dat"), "treatment book index\n");
}

}  // namespace

fs::path DemoSandbox::Create(const fs::path& parent) {
    // A name nobody else holds: create_directory fails on an existing one.
    std::random_device random;
    std::uniform_int_distribution<unsigned> digits(0, 0xFFFFFF);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[7];
        std::snprintf(suffix, sizeof suffix, "%06x", digits(random));
        const fs::path dir = parent / ("velmira-demo-" + std::string(suffix));
        if (fs::create_directory(dir)) {
            fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
            Fill(dir);
            return dir;
        }
    }
    throw fs::filesystem_error("no free sandbox name", parent,
                               std::make_error_code(std::errc::file_exists));
}

void DemoSandbox::Fill(const fs::path& dir) {
    const fs::path velmira = dir / "C" / "Velmira";
    for (const char* folder : {"H15", "set", "cb", "kdata"}) {
        fs::create_directories(velmira / folder);
    }
    WriteFile(velmira / "set" / "info.ini",
              Utf8ToCp932("茨城県,サンプル診療所,0\r\n[option]\r\nbackup=F\r\n"));

    fs::create_directories(dir / "D");
    FillChartBackup(dir / "F" / "BackUp");
    FillTreatmentBookBackup(dir / "F" / "BackUp2");
    // G is listed but has no folder: a drive without its medium.
    WriteFile(dir / "drives.txt", "C fixed\nD cdrom\nF removable\nG removable\n");
}

}  // namespace velmira
