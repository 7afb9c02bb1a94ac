#include "bench/restore/BenchTree.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "restore/JobRules.h"

namespace velmira::bench {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const char* what, const fs::path& path) {
    throw std::system_error(errno, std::generic_category(),
                            std::string(what) + " " + path.string());
}

void WriteOne(const fs::path& file, const std::string& pattern, std::size_t size) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("cannot create", file);
    std::size_t left = size;
    while (left > 0) {
        const std::size_t chunk = std::min(left, pattern.size());
        const ssize_t put = ::write(fd, pattern.data(), chunk);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            ::close(fd);
            Fail("cannot write", file);
        }
        left -= static_cast<std::size_t>(put);
    }
    if (::close(fd) != 0) Fail("cannot close", file);
}

}  // namespace

BenchTree::BenchTree(const fs::path& parent) {
    std::string pattern = (parent / "velmira-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) Fail("cannot make a folder in", parent);
    root_ = pattern;
    for (const char* folder : {"H15", "set", "cb", "kdata"}) {
        fs::create_directories(Velmira(folder));
    }
    fs::create_directories(BackUp());
    fs::create_directories(root_ / "F" / "BackUp2");
    std::FILE* drives = std::fopen((root_ / "drives.txt").c_str(), "w");
    if (drives == nullptr) Fail("cannot write", root_ / "drives.txt");
    std::fputs("C fixed\nF removable\n", drives);
    std::fclose(drives);
}

BenchTree::~BenchTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

fs::path BenchTree::Velmira(const std::string& folder) const {
    return root_ / "C" / "Velmira" / folder;
}

void BenchTree::WriteFiles(const fs::path& folder, const std::vector<std::string>& names,
                           std::size_t size) {
    // Not all zeros, so that no file system can take a shortcut.
    std::string pattern(std::min<std::size_t>(size, std::size_t{1} << 20), '\0');
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        pattern[i] = static_cast<char>('a' + (i * 7) % 26);
    }
    for (const auto& name : names) WriteOne(folder / name, pattern, size);
}

void BenchTree::MakeFresh(const fs::path& folder) {
    constexpr std::size_t kFew = 100;
    if (fs::exists(folder)) {
        std::size_t entries = 0;
        for (fs::directory_iterator it(folder); it != fs::directory_iterator(); ++it) {
            if (++entries > kFew) break;
        }
        if (entries <= kFew) {
            fs::remove_all(folder);
        } else {
            const fs::path spent = root_ / "spent";
            fs::create_directories(spent);
            fs::rename(folder, spent / std::to_string(spent_++));
        }
    }
    fs::create_directories(folder);
}

void BenchTree::Sync() const {
    const int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open", root_);
    const int result = ::syncfs(fd);
    ::close(fd);
    if (result != 0) Fail("cannot flush", root_);
}

std::vector<std::string> ChartMix(int count) {
    static const char* const kSkipped[] = {".txt", ".SXD", ".bak"};
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%06d", i);
        switch (i % 10) {
            case 7:
                names.push_back(std::string("base") + number + ".ini");
                break;
            case 8:
                names.push_back(std::string("tmpl") + number + ".hxd");
                break;
            case 9:
                names.push_back(std::string("K") + number + kSkipped[(i / 10) % 3]);
                break;
            default:
                names.push_back(std::string("K") + number + ".sxd");
        }
    }
    return names;
}

std::vector<std::string> RoutedNames(const std::vector<std::string>& names) {
    std::vector<std::string> routed;
    for (const auto& name : names) {
        if (DestinationPath(RestoreJob::ChartJob, name)) routed.push_back(name);
    }
    return routed;
}

}  // namespace velmira::bench
