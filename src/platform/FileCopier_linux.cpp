#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "Descriptor_linux.h"
#include "FileCopier.h"
#include "OsError.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor and, unless released, removes the temporary file
// behind it, so that every failure path leaves the folder as it was.
class TemporaryFile {
  public:
    explicit TemporaryFile(const fs::path& folder) {
        std::string pattern = (folder / ".velmira-restore-XXXXXX").string();
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
        path_ = pattern;
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const fs::path& path() const { return path_; }

    void CloseOrThrow() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw ErrorFromOs(errno, path_.string());
    }
    void Release() { path_.clear(); }

  private:
    int fd_ = -1;
    fs::path path_;
};

// Copies everything from `in` to `out`; returns the bytes written.
off_t CopyBytes(int in, int out, const fs::path& source, const fs::path& target) {
    off_t total = 0;
    bool kernelCopy = true;
    char buffer[1 << 16];
    for (;;) {
        ssize_t moved = 0;
        if (kernelCopy) {
            moved = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (moved < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                              errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;
                continue;
            }
            if (moved < 0 && errno == EINTR) continue;
            if (moved < 0) throw ErrorFromOs(errno, target.string());
        } else {
            moved = ::read(in, buffer, sizeof buffer);
            if (moved < 0 && errno == EINTR) continue;
            if (moved < 0) throw ErrorFromOs(errno, source.string());
            for (ssize_t done = 0; done < moved;) {
                const ssize_t put =
                    ::write(out, buffer + done, static_cast<std::size_t>(moved - done));
                if (put < 0 && errno == EINTR) continue;
                if (put < 0) throw ErrorFromOs(errno, target.string());
                done += put;
            }
        }
        if (moved == 0) return total;
        total += moved;
    }
}

}  // namespace

void FileCopier::CopyReplacing(const fs::path& source, const fs::path& destination) {
    Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (in.get() < 0) throw ErrorFromOs(errno, source.string());
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0) throw ErrorFromOs(errno, source.string());
    if (!S_ISREG(sourceStat.st_mode)) {
        throw NumberedError(ErrorNumber::PathFileAccessError, source.string());
    }

    const fs::path folder = destination.parent_path();
    struct stat destinationStat {};
    if (::lstat(destination.c_str(), &destinationStat) == 0) {
        // A read-only or non-file destination is refused, as Windows refuses
        // to replace it, rather than silently overwritten.
        if (S_ISDIR(destinationStat.st_mode) || !(destinationStat.st_mode & S_IWUSR)) {
            throw NumberedError(ErrorNumber::PathFileAccessError, destination.string());
        }
    } else if (errno != ENOENT) {
        throw ErrorFromOs(errno, destination.string());
    }

    TemporaryFile temporary(folder);
    const off_t written = CopyBytes(in.get(), temporary.fd(), source, destination);
    if (written != sourceStat.st_size) {
        // The medium changed under the copy or read short: not the whole file.
        throw NumberedError(ErrorNumber::DeviceIoError, source.string());
    }
    if (::fchmod(temporary.fd(), sourceStat.st_mode & 07777) != 0) {
        throw ErrorFromOs(errno, destination.string());
    }
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (::futimens(temporary.fd(), times) != 0) throw ErrorFromOs(errno, destination.string());
    temporary.CloseOrThrow();
    if (::rename(temporary.path().c_str(), destination.c_str()) != 0) {
        throw ErrorFromOs(errno, destination.string());
    }
    temporary.Release();
    written_folders_.insert(folder);
}

void FileCopier::Flush() {
    std::set<dev_t> flushed;
    for (const auto& folder : written_folders_) {
        Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.get() < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0) throw ErrorFromOs(errno, folder.string());
        // One syncfs per file system covers every file and rename in it.
        if (!flushed.insert(st.st_dev).second) continue;
        if (::syncfs(fd.get()) != 0) throw ErrorFromOs(errno, folder.string());
    }
    written_folders_.clear();
}

}  // namespace velmira
