#include "bench/restore/HandCopy.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

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

double TimeReadAll(const std::filesystem::path& source, const std::vector<std::string>& names) {
    std::vector<char> buffer(std::size_t{1} << 20);
    const std::int64_t start = MonotonicNanos();
    for (const auto& name : names) {
        const std::filesystem::path file = source / name;
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw std::system_error(errno, std::generic_category(), "open " + file.string());
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
        }
        const int error = errno;
        ::close(fd);
        if (got < 0)
            throw std::system_error(error, std::generic_category(), "read " + file.string());
    }
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
