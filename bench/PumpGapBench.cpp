// The longest time a restore leaves the window without processing its
// events, measured at the level of the command flow: the run, its listing
// and its copies as the restore window drives them, with panels that time
// every event pump instead of a window. Restores one file (1 GiB unless
// given) from a temporary drive F to drive C and prints the longest gap and
// the phase it came in. Used where the windows' toolkit is not at hand
// (Windows under Wine); prints figures, asserts nothing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/TimedPanels.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using velmira::bench::TimedPanels;

namespace {

void WriteFile(const fs::path& file, std::uintmax_t size) {
    std::ofstream out(file, std::ios::binary);
    std::string piece(std::size_t{1} << 20, '\0');
    for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<char>('a' + i * 7 % 26);
    for (std::uintmax_t left = size; left > 0;) {
        const auto chunk =
            static_cast<std::streamsize>(std::min<std::uintmax_t>(left, piece.size()));
        out.write(piece.data(), chunk);
        left -= static_cast<std::uintmax_t>(chunk);
    }
    if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

int main(int argc, char** argv) {
    std::uintmax_t size = std::uintmax_t{1} << 30;
    if (argc == 3 && std::string(argv[1]) == "--size") {
        size = std::strtoull(argv[2], nullptr, 10) << 20;
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--size MIB]\n", argv[0]);
        return 2;
    }
    try {
        const velmira::testing::TempDir dir;
        for (const char* folder : {"H15", "set", "cb", "kdata"}) {
            dir.MakeDir(fs::path("C/Velmira") / folder);
        }
        WriteFile(dir.MakeDir("F/BackUp") / "G0.sxd", size);
        velmira::testing::FolderDrives drives;
        drives.roots['C'] = dir.path() / "C";
        drives.roots['F'] = dir.path() / "F";

        TimedPanels panels;
        const double seconds = panels.RestoreChartData(drives);
        if (fs::file_size(dir.path() / "C/Velmira/H15/G0.sxd") != size) {
            throw std::runtime_error("the restored file has the wrong size");
        }

        std::string phases;
        for (const auto& phase : panels.Phases()) {
            phases += (phases.empty() ? "" : ", ") + phase.name + " " +
                      std::to_string(static_cast<int>(phase.longestMs + 0.5)) + " ms";
        }
        std::printf(
            "longest gap between event pumps, core-level restore of one %ju MiB file: %.1f ms "
            "while %s (longest %s; restore %.3f s)\n",
            size >> 20, panels.Longest().longestMs, panels.Longest().name.c_str(), phases.c_str(),
            seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pump-gap-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
