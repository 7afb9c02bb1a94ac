#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FileCopier.h"
#include "TempDir.h"
#include "TestPlatform.h"

namespace velmira::testing {

namespace fs = std::filesystem;

// Drives C and F for a chart restore under faults: a dozen backup files of
// mixed sizes (empty and multi-MiB among them), some with old copies, and
// last in order one whose old copy is read-only, so that every run ends
// with its refusal; the chart folders hold what killed runs left. On a
// tmpfs where there is one (Linux's, through Wine's drive Z), so that
// flushes cost nothing.
class FaultSandbox {
  public:
    struct ChartFile {
        std::string name;
        std::string folder;
        std::string content;
        std::optional<std::string> old;  // none: no old destination
        bool readOnly = false;           // the old destination is read-only
    };
    enum class State { Old, New, Neither };

    FaultSandbox() : dir_(Parent()) {
        for (const char* folder : {"H15", "set", "cb", "kdata"}) dir_.MakeDir(Chart() / folder);
        dir_.Write("C/Velmira/H15/keep.dat", "not from the backup");
        dir_.Write("C/outside.sxd", "outside the chart folders");
        dir_.Write("F/BackUp/readme.txt", "not restored");
        for (const auto& file : files_) dir_.Write(fs::path("F/BackUp") / file.name, file.content);
        ResetToOld();
        outside_ = Outside(false);
    }

    const fs::path& path() const { return dir_.path(); }
    const std::vector<ChartFile>& files() const { return files_; }
    // Built as the restore builds it, so that an error's path compares.
    fs::path Destination(const ChartFile& file) const { return Chart() / file.folder / file.name; }

    // Every file its old content, and what killed runs leave planted: a
    // hidden new file, and one made read-only just before its rename.
    void ResetToOld() const {
        for (const auto& file : files_) Put(Destination(file), file.old, file.readOnly);
        const std::string leftover = std::string(FileCopier::kTemporaryPrefix) + "1-1";
        Put(Chart() / "H15" / leftover, "killed", false, FILE_ATTRIBUTE_HIDDEN);
        Put(Chart() / "set" / leftover, "killed", true);
    }

    // Content and the read-only and hidden attributes as expected.
    State StateOf(const ChartFile& file) const {
        const fs::path destination = Destination(file);
        const std::string content = ReadAll(destination);
        DWORD attributes = ::GetFileAttributesW(destination.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) attributes = 0;
        const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        if (attributes & FILE_ATTRIBUTE_HIDDEN) return State::Neither;
        if (content == file.content && !readOnly) return State::New;
        if (content == file.old.value_or("<missing>") && readOnly == file.readOnly) {
            return State::Old;
        }
        return State::Neither;
    }
    // A clean run restores every file but the read-only one.
    static State CleanState(const ChartFile& file) {
        return file.readOnly ? State::Old : State::New;
    }

    // Names, sizes, contents and attributes of everything but the chart
    // files, and but the restore's own new files unless told; as it was
    // made (without those), and now.
    const std::map<std::string, std::string>& outside() const { return outside_; }
    std::map<std::string, std::string> Outside(bool newFilesToo) const {
        std::map<std::string, std::string> stamps;
        for (const auto& entry : fs::recursive_directory_iterator(path())) {
            const fs::path& at = entry.path();
            const bool newFile = at.parent_path().parent_path() == Chart() &&
                                 at.filename().string().rfind(FileCopier::kTemporaryPrefix, 0) == 0;
            if ((newFile && !newFilesToo) ||
                std::any_of(files_.begin(), files_.end(),
                            [&](const auto& file) { return Destination(file) == at; })) {
                continue;
            }
            const std::string content = entry.is_directory() ? "" : ReadAll(at);
            stamps[at.lexically_relative(path()).string()] =
                std::to_string(content.size()) + " " +
                std::to_string(std::hash<std::string>{}(content)) + " " +
                std::to_string(::GetFileAttributesW(at.c_str()));
        }
        return stamps;
    }

  private:
    static fs::path Parent() {
        const fs::path shm = L"Z:\\dev\\shm";
        std::error_code error;
        return fs::is_directory(shm, error) ? shm : fs::temp_directory_path();
    }
    fs::path Chart() const { return path() / "C" / "Velmira"; }

    static void Put(const fs::path& file, const std::optional<std::string>& content, bool readOnly,
                    DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!content) {
            fs::remove(file);
            return;
        }
        WriteFile(file, *content);
        ::SetFileAttributesW(file.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : attributes);
    }

    TempDir dir_;
    const std::vector<ChartFile> files_{
        {"a.sxd", "H15", "", "old a"},
        {"b.sxd", "H15", std::string(100, 'b'), std::nullopt},
        {"c.ini", "set", std::string(3000, 'c'), "old c"},
        {"d.hxd", "set", std::string(70000, 'd'), "old d"},
        {"e.sxd", "H15", std::string((3 << 20) + 123, 'e'), "old e"},
        {"f.ini", "set", std::string(64 << 10, 'f'), std::nullopt},
        {"g.sxd", "H15", std::string(1 << 20, 'g'), "old g"},
        {"h.sxd", "H15", "h", "old h"},
        {"i.ini", "set", "i", std::nullopt},
        {"j.sxd", "H15", std::string((2 << 20) + 1, 'j'), std::nullopt},
        {"k.hxd", "set", std::string(500, 'k'), "old k"},
        {"z.sxd", "H15", "new z", "old z", true},
    };
    std::map<std::string, std::string> outside_;
};

}  // namespace velmira::testing
