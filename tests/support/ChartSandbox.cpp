#include "tests/support/ChartSandbox.h"

#include <algorithm>
#include <set>

#include "platform/FileCopier.h"

namespace velmira::testing {

namespace fs = std::filesystem;

ChartSandbox::ChartSandbox(const fs::path& parent, std::vector<ChartFile> files)
    : dir_(parent), files_(std::move(files)) {
    for (const char* folder : {"H15", "set", "cb", "kdata"})
        dir_.MakeDir(fs::path("C/Velmira") / folder);
    dir_.Write("C/Velmira/H15/keep.dat", "not from the backup");
    dir_.Write("C/outside.sxd", "outside the chart folders");
    dir_.Write("F/BackUp/readme.txt", "not restored");
    std::sort(files_.begin(), files_.end(),
              [](const ChartFile& a, const ChartFile& b) { return a.name < b.name; });
    for (const auto& file : files_) WriteFile(Source(file), file.content);
}

fs::path ChartSandbox::Source(const ChartFile& file) const {
    return path() / "F" / "BackUp" / file.name;
}

fs::path ChartSandbox::Destination(const ChartFile& file) const {
    return path() / "C" / "Velmira" / file.folder / file.name;
}

ChartSandbox::State ChartSandbox::ByContent(const ChartFile& file, const std::string& content) {
    if (content == file.content) return State::New;
    if (content == file.old.value_or("<missing>")) return State::Old;
    return State::Neither;
}

std::map<std::string, std::string> ChartSandbox::Outside(bool newFilesToo) const {
    const fs::path chart = path() / "C" / "Velmira";
    std::set<fs::path> destinations;
    for (const auto& file : files_) destinations.insert(Destination(file));
    std::map<std::string, std::string> stamps;
    for (const auto& entry : fs::recursive_directory_iterator(path())) {
        const fs::path& at = entry.path();
        const bool newFile = at.parent_path().parent_path() == chart &&
                             at.filename().string().rfind(FileCopier::kTemporaryPrefix, 0) == 0;
        if ((newFile && !newFilesToo) || destinations.count(at) > 0) continue;
        stamps[at.lexically_relative(path()).generic_string()] = Stamp(entry);
    }
    return stamps;
}

}  // namespace velmira::testing
