#include "bench/restore/HandCopy.h"

#include <dirent.h>

#include <cerrno>
#include <system_error>

#include "bench/restore/ChildProcess.h"
#include "bench/restore/Stopwatch.h"

namespace velmira::bench {

double TimeHandCopy(const std::filesystem::path& source, const std::vector<std::string>& names,
                    const std::filesystem::path& destination) {
    // Bare names from inside the source folder keep the argument list short.
    std::vector<std::string> cp = {"cp", "-a", "-t", destination.string(), "--"};
    cp.insert(cp.end(), names.begin(), names.end());
    const std::int64_t start = MonotonicNanos();
    ChildProcess::RunChecked(cp, source);
    ChildProcess::RunChecked({"sync", "-f", destination.string()});
    return SecondsBetween(start, MonotonicNanos());
}

double TimeReaddir(const std::filesystem::path& folder, std::size_t* entries) {
    const std::int64_t start = MonotonicNanos();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        throw std::system_error(errno, std::generic_category(), "opendir " + folder.string());
    }
    std::size_t count = 0;
    while (::readdir(dir) != nullptr) ++count;
    ::closedir(dir);
    const double seconds = SecondsBetween(start, MonotonicNanos());
    if (entries != nullptr) *entries = count;
    return seconds;
}

std::size_t CountEntries(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

}  // namespace velmira::bench
