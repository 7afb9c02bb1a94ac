#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileCopier.h"
#include "tests/support/ChartSandbox.h"
#include "tests/support/TestPlatform.h"

namespace velmira::testing {

namespace fs = std::filesystem;

// Drives C and F for a chart restore under faults: a dozen backup files of
// mixed sizes (empty and multi-MiB among them), some with old copies, and
// last in order one whose old copy is read-only, so that every run ends
// with its refusal; the chart folders hold what killed runs left. On a
// tmpfs where there is one (Linux's, through Wine's drive Z), so that
// flushes cost nothing.
class FaultSandbox : public ChartSandbox {
  public:
    FaultSandbox() : ChartSandbox(Parent(), Files()) {
        ResetToOld();
        KeepOutside();
    }

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
        DWORD attributes = ::GetFileAttributesW(destination.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) attributes = 0;
        const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        if (attributes & FILE_ATTRIBUTE_HIDDEN) return State::Neither;
        const State state = ByContent(file, ReadAll(destination));
        if (state == State::New && !readOnly) return State::New;
        if (state == State::Old && readOnly == file.readOnly) return State::Old;
        return State::Neither;
    }
    // A clean run restores every file but the read-only one.
    static State CleanState(const ChartFile& file) {
        return file.readOnly ? State::Old : State::New;
    }

  private:
    static fs::path Parent() {
        const fs::path shm = L"Z:\\dev\\shm";
        std::error_code error;
        return fs::is_directory(shm, error) ? shm : fs::temp_directory_path();
    }
    static std::vector<ChartFile> Files() {
        return {
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
    }
    fs::path Chart() const { return path() / "C" / "Velmira"; }

    // Size, a hash of the content and the attributes.
    std::string Stamp(const fs::directory_entry& entry) const override {
        const std::string content = entry.is_directory() ? "" : ReadAll(entry.path());
        return std::to_string(content.size()) + " " +
               std::to_string(std::hash<std::string>{}(content)) + " " +
               std::to_string(::GetFileAttributesW(entry.path().c_str()));
    }

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
};

}  // namespace velmira::testing
