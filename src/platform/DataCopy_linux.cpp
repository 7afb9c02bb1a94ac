#include "platform/DataCopy_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "platform/NewFile_linux.h"
#include "platform/OsError.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// One copy call moves at most this much, so that a change of the source
// or a failing medium is noticed early in a long copy.
constexpr off_t kPiece = off_t{1} << 20;
// Written data is sent to the disk in windows of this size while the copy
// goes on, so that the final flush never has a whole large file to write
// in one blocking call.
constexpr off_t kWriteBackWindow = off_t{4} << 20;
constexpr unsigned kWriteAndWait =
    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;

// Raises the write-back failure of `fd`'s data in [at, at + length) (0: to
// the end) that this descriptor has not yet seen. A wait that sees a
// failure consumes it for the descriptor, so none may be ignored.
void SyncRange(int fd, off_t at, off_t length, unsigned flags, const fs::path& destination) {
    if (::sync_file_range(fd, at, length, flags) != 0) {
        throw ErrorFromOs(errno, destination.string());
    }
}

// Starts writing back each full window and waits for the one before it, so
// that at most two windows of a file are ever waiting for the disk.
class WriteBehind {
  public:
    WriteBehind(int fd, const fs::path& destination) : fd_(fd), destination_(destination) {}

    void After(off_t written) {
        while (written - queued_ >= kWriteBackWindow) {
            SyncRange(fd_, queued_, kWriteBackWindow, SYNC_FILE_RANGE_WRITE, destination_);
            if (queued_ >= kWriteBackWindow) {
                SyncRange(fd_, queued_ - kWriteBackWindow, kWriteBackWindow, kWriteAndWait,
                          destination_);
            }
            queued_ += kWriteBackWindow;
        }
    }

    // After the last piece of a file of a window or more: its tail goes to
    // the disk now, so that the flush at the end of the run has little of
    // it left to write.
    void Finish(off_t size) {
        if (queued_ == 0) return;
        SyncRange(fd_, queued_, 0, SYNC_FILE_RANGE_WRITE, destination_);
        for (off_t at = queued_ - kWriteBackWindow; at < size; at += kWriteBackWindow) {
            SyncRange(fd_, at, kWriteBackWindow, kWriteAndWait, destination_);
        }
    }

  private:
    int fd_;
    const fs::path& destination_;
    off_t queued_ = 0;
};

// Copies bytes [at, at + length) of one file to the same place in another;
// returns how many it moved, 0 at the source's end.
class PieceCopier {
  public:
    PieceCopier(int in, int out, const fs::path& source, const fs::path& destination)
        : in_(in), out_(out), source_(source), destination_(destination) {}

    off_t Copy(off_t at, off_t length) {
        for (;;) {
            if (kernelCopy_) {
                loff_t inAt = at;
                loff_t outAt = at;
                const ssize_t moved = ::copy_file_range(in_, &inAt, out_, &outAt,
                                                        static_cast<std::size_t>(length), 0);
                if (moved >= 0) return moved;
                if (errno == EINTR) continue;
                if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP &&
                    errno != EBADF) {
                    throw ErrorFromOs(errno, destination_.string());
                }
                // Across file systems or on older kernels: through a buffer.
                kernelCopy_ = false;
                buffer_.resize(static_cast<std::size_t>(kPiece));
            }
            const std::size_t wanted = std::min(buffer_.size(), static_cast<std::size_t>(length));
            const ssize_t got = ::pread(in_, buffer_.data(), wanted, at);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw ErrorFromOs(errno, source_.string());
            for (ssize_t done = 0; done < got;) {
                const ssize_t put = ::pwrite(out_, buffer_.data() + done,
                                             static_cast<std::size_t>(got - done), at + done);
                if (put < 0 && errno == EINTR) continue;
                if (put < 0) throw ErrorFromOs(errno, destination_.string());
                // A write that takes nothing would be retried for ever.
                if (put == 0) throw NumberedError(ErrorNumber::DiskFull, destination_.string());
                done += put;
            }
            return got;
        }
    }

  private:
    int in_;
    int out_;
    const fs::path& source_;
    const fs::path& destination_;
    bool kernelCopy_ = true;
    std::vector<char> buffer_;
};

// The next stretch of data at or after `at` in a file with holes, as
// [start, end); start == size when only a hole is left.
std::pair<off_t, off_t> NextData(int fd, off_t at, off_t size, const fs::path& source) {
    const off_t start = ::lseek(fd, at, SEEK_DATA);
    if (start < 0) {
        if (errno == ENXIO) return {size, size};
        throw ErrorFromOs(errno, source.string());
    }
    const off_t end = ::lseek(fd, start, SEEK_HOLE);
    if (end < 0) throw ErrorFromOs(errno, source.string());
    return {std::min(start, size), std::min(end, size)};
}

// Copies the first `size` bytes of `in` to `out`, keeping holes as holes
// (a sparse file stays sparse and copies in no time).
void CopyData(int in, int out, const struct stat& sourceStat, const fs::path& source,
              const fs::path& destination) {
    const off_t size = sourceStat.st_size;
    // Only a file with fewer blocks than bytes can hold holes; the others
    // skip the look for them.
    const bool mayHaveHoles = sourceStat.st_blocks * 512 < size;
    PieceCopier pieces(in, out, source, destination);
    WriteBehind writeBehind(out, destination);
    off_t at = 0;
    while (at < size) {
        const auto [start, end] =
            mayHaveHoles ? NextData(in, at, size, source) : std::pair<off_t, off_t>{at, size};
        for (at = start; at < end;) {
            const off_t moved = pieces.Copy(at, std::min(kPiece, end - at));
            // The source ended before its size: it shrank under the copy.
            if (moved == 0) throw SourceChanged(source);
            at += moved;
            writeBehind.After(at);
        }
        at = std::max(at, end);
    }
    writeBehind.Finish(size);
    if (mayHaveHoles && ::ftruncate(out, size) != 0) throw ErrorFromOs(errno, destination.string());
}

bool SameTime(const struct timespec& before, const struct timespec& after) {
    return before.tv_sec == after.tv_sec && before.tv_nsec == after.tv_nsec;
}

// Whether the source is still as it was when its copy began. Its change
// time is set by the kernel at every write and no program can set it back,
// as one can the modification time; a rewrite that keeps the size then
// shows on any file system whose clock ticks between the two looks (FAT's
// steps are 2 s, so a rewrite within one step goes unseen there).
bool SameContentStamp(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && SameTime(before.st_mtim, after.st_mtim) &&
           SameTime(before.st_ctim, after.st_ctim);
}

}  // namespace

NumberedError SourceChanged(const fs::path& source) {
    return NumberedError(ErrorNumber::DeviceIoError, source.string());
}

PendingCopy CopyIntoNew(int in, const struct stat& sourceStat, const fs::path& source,
                        const fs::path& destination) {
    PendingCopy file(new NewFile(destination));
    CopyData(in, file->fd(), sourceStat, source, destination);
    struct stat afterStat {};
    if (::fstat(in, &afterStat) != 0) throw ErrorFromOs(errno, source.string());
    if (!SameContentStamp(sourceStat, afterStat)) throw SourceChanged(source);
    if (::fchmod(file->fd(), sourceStat.st_mode & 07777) != 0) {
        throw ErrorFromOs(errno, destination.string());
    }
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (::futimens(file->fd(), times) != 0) throw ErrorFromOs(errno, destination.string());
    file->SetSize(static_cast<std::uintmax_t>(sourceStat.st_size));
    return file;
}

void CheckWrittenBack(int fd, const fs::path& destination) {
    SyncRange(fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE, destination);
}

}  // namespace velmira
