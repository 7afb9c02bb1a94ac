#include "platform/NewFile_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/FileCopier.h"
#include "platform/OsError.h"

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

// Refuses a destination that must not be replaced: a read-only file or a
// folder, as Windows refuses to replace them. A link is replaced itself.
void RefuseUnreplaceable(const fs::path& destination) {
    struct stat st {};
    if (::lstat(destination.c_str(), &st) != 0) {
        if (errno == ENOENT) return;
        throw ErrorFromOs(errno, destination.string());
    }
    if (S_ISDIR(st.st_mode) || (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))) {
        throw NumberedError(ErrorNumber::PathFileAccessError, destination.string());
    }
}

// An unnamed new file in `folder`, or -1 with errno set when the file system
// cannot make one or it could not be named.
int MakeUnnamed(const fs::path& folder) {
    if (!CanNameUnnamedFiles()) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

}  // namespace

NewFile::NewFile(const fs::path& destination) : destination_(destination) {
    const fs::path folder = destination.parent_path();
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

void NewFile::Settle() {
    if (named_.empty()) LinkUnderTemporaryName();
    CloseOrThrow();
}

void NewFile::TakeName() {
    if (fd_ >= 0) Settle();
    RefuseUnreplaceable(destination_);
    if (::rename(named_.c_str(), destination_.c_str()) != 0) {
        throw ErrorFromOs(errno, destination_.string());
    }
    named_.clear();
}

void NewFile::LinkUnderTemporaryName() {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = destination_.parent_path();
    for (;;) {
        const fs::path name =
            folder / (std::string(FileCopier::kTemporaryPrefix) + std::to_string(::getpid()) + "-" +
                      std::to_string(counter++));
        if (::linkat(AT_FDCWD, ProcPath(fd_).c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
            named_ = name;
            return;
        }
        // Taken by an earlier run of the same process number: try the next.
        if (errno != EEXIST) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
    }
}

void NewFile::CloseOrThrow() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw ErrorFromOs(errno, destination_.string());
}

}  // namespace velmira
