#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Descriptor_linux.h"
#include "Directory_linux.h"
#include "FileCopier.h"
#include "NewFile_linux.h"
#include "OsError.h"
#include "SpareFiles_linux.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// Files up to this size are copied on the calling thread: a few calls on
// at most a few hundred KiB, over long before a window would seem stuck.
// Larger ones are copied on the copier's thread.
constexpr off_t kCopiedDirectly = off_t{256} << 10;
// One copy call moves at most this much, so that a change of the source
// or a failing medium is noticed early in a long copy.
constexpr off_t kPiece = off_t{1} << 20;
// Written data is sent to the disk in windows of this size while the copy
// goes on, so that the final flush never has a whole large file to write
// in one blocking call.
constexpr off_t kWriteBackWindow = off_t{4} << 20;
// Files copied directly are flushed behind the copy after this much data or
// this many files, whichever comes first.
constexpr std::uintmax_t kFlushBehindBytes = std::uintmax_t{8} << 20;
constexpr std::size_t kFlushBehindFiles = 512;
// New files made ahead for small files, per batch: few at first, so that a
// handful of files costs no more than before, then more while the folder
// stays the same, up to a quarter of the descriptors a process may open.
constexpr std::size_t kFewestSpares = 2;

std::size_t MostSpares() {
    static const std::size_t most = [] {
        constexpr std::size_t kMost = 256;
        struct rlimit limit {};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
            return kMost;
        return std::clamp<std::size_t>(limit.rlim_cur / 4, kFewestSpares, kMost);
    }();
    return most;
}

// The source is not the file that was listed, or changed while it was read.
NumberedError SourceChanged(const fs::path& source) {
    return NumberedError(ErrorNumber::DeviceIoError, source.string());
}

// Starts writing back each full window and waits for the one before it, so
// that at most two windows of a file are ever waiting for the disk. These
// are hints: a write-back failure is reported by the flush at the end.
class WriteBehind {
  public:
    explicit WriteBehind(int fd) : fd_(fd) {}

    void After(off_t written) {
        while (written - queued_ >= kWriteBackWindow) {
            ::sync_file_range(fd_, queued_, kWriteBackWindow, SYNC_FILE_RANGE_WRITE);
            if (queued_ >= kWriteBackWindow) {
                ::sync_file_range(fd_, queued_ - kWriteBackWindow, kWriteBackWindow,
                                  SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                      SYNC_FILE_RANGE_WAIT_AFTER);
            }
            queued_ += kWriteBackWindow;
        }
    }

    // After the last piece of a file of a window or more: its tail goes to
    // the disk now, so that the flush at the end of the run has little of
    // it left to write.
    void Finish(off_t size) {
        if (queued_ == 0) return;
        ::sync_file_range(fd_, queued_, 0, SYNC_FILE_RANGE_WRITE);
        for (off_t at = queued_ - kWriteBackWindow; at < size; at += kWriteBackWindow) {
            ::sync_file_range(
                fd_, at, kWriteBackWindow,
                SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        }
    }

  private:
    int fd_;
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
    WriteBehind writeBehind(out);
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

// A read-only or folder destination is refused, as Windows refuses to
// replace it, rather than silently overwritten. A link is replaced itself;
// what it points to is never written.
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

bool SameContentStamp(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

// Copies an open source into a new file (`spare` when one is at hand) that
// then takes the destination's name.
void CopyInto(int in, const struct stat& sourceStat, const fs::path& source,
              const fs::path& destination, int spare) {
    NewFile file(destination.parent_path(), spare);
    CopyData(in, file.fd(), sourceStat, source, destination);
    struct stat afterStat {};
    if (::fstat(in, &afterStat) != 0) throw ErrorFromOs(errno, source.string());
    if (!SameContentStamp(sourceStat, afterStat)) throw SourceChanged(source);
    if (::fchmod(file.fd(), sourceStat.st_mode & 07777) != 0) {
        throw ErrorFromOs(errno, destination.string());
    }
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    if (::futimens(file.fd(), times) != 0) throw ErrorFromOs(errno, destination.string());
    if (!file.TakeFreeName(destination)) {
        RefuseUnreplaceable(destination);
        file.Replace(destination);
    }
}

// Removes the hidden files that killed runs left in a folder.
void RemoveLeftovers(const fs::path& folder) {
    const Directory dir = OpenDirectory(folder);
    const int fd = ::dirfd(dir.get());
    const std::size_t prefixLength = std::strlen(FileCopier::kTemporaryPrefix);
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strncmp(entry->d_name, FileCopier::kTemporaryPrefix, prefixLength) != 0) {
            continue;
        }
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        // A leftover that cannot go is harmless: it is hidden and never
        // taken for data, and the copy's own steps report a folder that
        // cannot be written.
        ::unlinkat(fd, entry->d_name, 0);
    }
}

// One syncfs per file system covers every file and rename in it.
void FlushFolders(const std::vector<fs::path>& folders) {
    std::set<dev_t> flushed;
    for (const auto& folder : folders) {
        Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.get() < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0) throw ErrorFromOs(errno, folder.string());
        if (!flushed.insert(st.st_dev).second) continue;
        if (::syncfs(fd.get()) != 0) throw ErrorFromOs(errno, folder.string());
    }
}

}  // namespace

struct FileCopier::State {
    // What runs on the copier's thread beside the copies, if anything.
    enum class Aside { Nothing, Spares, SparesAndFlush };

    ~State() {
        if (sourceFd >= 0) ::close(sourceFd);
    }

    // A new file made ahead in `folder`, or -1. The batch on its way for the
    // folder is waited for; a flush behind the copies is not.
    int TakeSpare(const fs::path& folder, CallThread& thread, EventPump* pump) {
        int fd = spares.Take(folder);
        if (fd < 0 && aside == Aside::Spares && folder.native() == batchFolder) {
            thread.Wait(pump);
            aside = Aside::Nothing;
            fd = spares.Take(folder);
        }
        if (fd >= 0) ++taken;
        return fd;
    }

    // After a small file: once half of the spares are used, orders as many
    // as make the batch full again (doubling it while the folder stays the
    // same); and a flush behind the copies when enough was copied since the
    // last. What is ordered depends only on what was copied, never on how
    // fast the copier's thread is, but for one thing: while a flush behind
    // the copies runs, new spares are ordered after it rather than waited
    // for, so a copy may then make its own file.
    void WorkAside(const fs::path& folder, CallThread& thread, EventPump* pump) {
        const bool flushDue =
            unflushedBytes >= kFlushBehindBytes || unflushedFiles >= kFlushBehindFiles;
        const bool sameFolder = folder.native() == batchFolder;
        if (!flushDue && sameFolder && taken < batch / 2) return;
        // A flush still running is not waited for on the spares' account.
        if (!flushDue && aside == Aside::SparesAndFlush && !thread.Finished()) return;
        thread.Wait(pump);
        batch = sameFolder ? std::min(batch * 2, MostSpares()) : kFewestSpares;
        batchFolder = folder.native();
        taken = 0;
        spares.Use(folder);
        const std::size_t ready = spares.Count(folder);
        const std::size_t missing = batch > ready ? batch - ready : 0;
        std::vector<fs::path> flushed;
        if (flushDue) flushed.assign(written.begin(), written.end());
        thread.Start([this, folder, missing, flushed = std::move(flushed)] {
            spares.Make(missing);
            FlushFolders(flushed);
        });
        aside = flushDue ? Aside::SparesAndFlush : Aside::Spares;
        if (flushDue) {
            unflushedBytes = 0;
            unflushedFiles = 0;
        }
    }

    // Runs a call that the copy waits for.
    void Run(std::function<void()> call, CallThread& thread, EventPump* pump) {
        aside = Aside::Nothing;
        thread.Run(std::move(call), pump);
    }

    std::set<fs::path> prepared;  // folders cleared of what killed runs left
    std::set<fs::path> written;   // folders written since the last flush
    // The folder the last source was read from, kept open: each source is
    // then opened by its name alone, not by a walk along its path.
    std::string sourceFolder;
    int sourceFd = -1;
    // Small files copied since the last flush began.
    std::uintmax_t unflushedBytes = 0;
    std::size_t unflushedFiles = 0;
    Aside aside = Aside::Nothing;
    SpareFiles spares;
    std::string batchFolder;  // where the last batch of spares was ordered
    std::size_t batch = 0;
    std::size_t taken = 0;  // spares taken since
};

FileCopier::FileCopier(EventPump* events) : events_(events), state_(std::make_unique<State>()) {}

FileCopier::~FileCopier() = default;

void FileCopier::CopyReplacing(const fs::path& source, const fs::path& destination,
                               std::optional<std::uintmax_t> listedSize) {
    State& state = *state_;
    const fs::path sourceFolder = source.parent_path();
    if (state.sourceFd < 0 || sourceFolder.native() != state.sourceFolder) {
        if (state.sourceFd >= 0) ::close(state.sourceFd);
        state.sourceFd = ::open(sourceFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (state.sourceFd < 0) throw ErrorFromOs(errno, source.string());
        state.sourceFolder = sourceFolder.native();
    }
    Descriptor in(::openat(state.sourceFd, source.filename().c_str(),
                           O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (in.get() < 0) throw ErrorFromOs(errno, source.string());
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0) throw ErrorFromOs(errno, source.string());
    if (!S_ISREG(sourceStat.st_mode)) {
        throw NumberedError(ErrorNumber::PathFileAccessError, source.string());
    }
    if (listedSize && static_cast<std::uintmax_t>(sourceStat.st_size) != *listedSize) {
        throw SourceChanged(source);
    }

    const fs::path folder = destination.parent_path();
    if (state.prepared.insert(folder).second) {
        // A folder of many thousand files takes a while to read.
        state.Run([&folder] { RemoveLeftovers(folder); }, thread_, events_);
    }
    if (sourceStat.st_size <= kCopiedDirectly) {
        CopyInto(in.get(), sourceStat, source, destination,
                 state.TakeSpare(folder, thread_, events_));
        state.unflushedBytes += static_cast<std::uintmax_t>(sourceStat.st_size);
        ++state.unflushedFiles;
        state.written.insert(folder);
        state.WorkAside(folder, thread_, events_);
    } else {
        state.Run([&] { CopyInto(in.get(), sourceStat, source, destination, -1); }, thread_,
                  events_);
        state.written.insert(folder);
    }
}

void FileCopier::Flush() {
    const std::vector<fs::path> folders(state_->written.begin(), state_->written.end());
    state_->Run([&folders] { FlushFolders(folders); }, thread_, events_);
    state_->written.clear();
}

}  // namespace velmira
