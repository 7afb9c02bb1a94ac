#include "NewFile_linux.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "FileCopier.h"
#include "OsError.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// An unnamed file is named through /proc; without /proc it stays nameless.
bool CanNameUnnamedFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

std::string ProcPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

int NewFile::MakeUnnamed(const fs::path& folder) {
    if (!CanNameUnnamedFiles()) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

NewFile::NewFile(const fs::path& folder, int spare) : folder_(folder), fd_(spare) {
    if (fd_ >= 0) return;
    fd_ = MakeUnnamed(folder);
    if (fd_ >= 0) return;
    // File systems without unnamed files fall back to a named one.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
    }
    std::string pattern =
        (folder / (std::string(FileCopier::kTemporaryPrefix) + "XXXXXX")).string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
    named_ = pattern;
}

NewFile::~NewFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!named_.empty()) ::unlink(named_.c_str());
}

bool NewFile::TakeFreeName(const fs::path& destination) {
    if (!named_.empty()) return false;
    if (::linkat(AT_FDCWD, ProcPath(fd_).c_str(), AT_FDCWD, destination.c_str(),
                 AT_SYMLINK_FOLLOW) != 0) {
        if (errno == EEXIST) return false;
        throw ErrorFromOs(errno, destination.string());
    }
    // An unnamed file can only be named while open, so its close comes
    // after: a failed close takes the name away again, since the failure
    // is what the operator is told.
    try {
        CloseOrThrow(destination);
    } catch (const NumberedError&) {
        ::unlink(destination.c_str());
        throw;
    }
    return true;
}

void NewFile::Replace(const fs::path& destination) {
    // An existing file is replaced by a rename, which never leaves the name
    // missing or half written.
    if (named_.empty()) LinkUnderTemporaryName();
    CloseOrThrow(destination);
    if (::rename(named_.c_str(), destination.c_str()) != 0) {
        throw ErrorFromOs(errno, destination.string());
    }
    named_.clear();
}

void NewFile::LinkUnderTemporaryName() {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        const fs::path name =
            folder_ / (std::string(FileCopier::kTemporaryPrefix) + std::to_string(::getpid()) +
                       "-" + std::to_string(counter++));
        if (::linkat(AT_FDCWD, ProcPath(fd_).c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
            named_ = name;
            return;
        }
        // Taken by an earlier run of the same process number: try the next.
        if (errno != EEXIST) throw ErrorFromOs(errno, folder_.string(), LookingFor::Folder);
    }
}

void NewFile::CloseOrThrow(const fs::path& destination) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw ErrorFromOs(errno, destination.string());
}

}  // namespace velmira
