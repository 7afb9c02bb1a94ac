#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/CallPool.h"
#include "platform/CallThread.h"
#include "platform/Descriptor_linux.h"
#include "platform/Directory_linux.h"
#include "platform/FileCopier.h"
#include "platform/FlushFailure.h"
#include "platform/NewFile_linux.h"
#include "platform/OsError.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// New files settled (named for the moment and closed) at once after their
// flush: a virus scanner holds each new file's close for a moment.
constexpr std::size_t kSettlers = 8;
// One copy call moves at most this much, so that a change of the source
// or a failing medium is noticed early in a long copy.
constexpr off_t kPiece = off_t{1} << 20;
// Written data is sent to the disk in windows of this size while the copy
// goes on, so that the final flush never has a whole large file to write
// in one blocking call.
constexpr off_t kWriteBackWindow = off_t{4} << 20;
// The descriptors a process may open, as far as it matters here. The soft
// limit is raised towards the hard one first (often 1,024 against far more):
// the program waits on nothing that a high descriptor would trouble. Each
// unnamed new file is held open until it takes its name, so the limit sets
// how many files one flush of the disk can cover.
std::size_t DescriptorLimit() {
    static const std::size_t limit = [] {
        constexpr rlim_t kPlenty = 16384;
        struct rlimit current {};
        if (::getrlimit(RLIMIT_NOFILE, &current) != 0) return std::size_t{1024};
        if (current.rlim_cur != RLIM_INFINITY && current.rlim_cur < kPlenty &&
            current.rlim_max > current.rlim_cur) {
            struct rlimit raised = current;
            raised.rlim_cur = std::min(current.rlim_max, kPlenty);
            if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) current = raised;
        }
        return current.rlim_cur == RLIM_INFINITY
                   ? std::size_t{kPlenty}
                   : static_cast<std::size_t>(std::min(current.rlim_cur, kPlenty));
    }();
    return limit;
}

// The source is not the file that was listed, or changed while it was read.
NumberedError SourceChanged(const fs::path& source) {
    return NumberedError(ErrorNumber::DeviceIoError, source.string());
}

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

// Copies an open source into a new file for the destination, with the
// source's mode and times.
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

// One syncfs per file system covers every file and name in it, unnamed
// files included. A folder that cannot be opened does not keep the others'
// file systems from their flush; the first failure is raised after them.
void FlushFolders(const std::set<fs::path>& folders) {
    std::set<dev_t> flushed;
    std::optional<NumberedError> failure;
    for (const auto& folder : folders) {
        try {
            Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (fd.get() < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
            struct stat st {};
            if (::fstat(fd.get(), &st) != 0) throw ErrorFromOs(errno, folder.string());
            if (!flushed.insert(st.st_dev).second) continue;
            if (::syncfs(fd.get()) != 0) throw ErrorFromOs(errno, folder.string());
        } catch (const NumberedError& error) {
            if (!failure) failure = error;
        }
    }
    if (failure) throw *failure;
}

// A new file whose data failed to reach the disk. A flush of the whole file
// system does not say so on every kernel, nor to every caller; each file's
// own descriptor does, and a wait for pages already written does no I/O.
void CheckWrittenBack(int fd, const fs::path& destination) {
    SyncRange(fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE, destination);
}

}  // namespace

void NewFileDeleter::operator()(NewFile* file) const noexcept {
    delete file;
}

struct FileCopier::State {
    ~State() {
        for (const auto& [folder, fd] : sourceFolders) ::close(fd);
    }

    // The source opened by its name in its folder, which is opened once and
    // kept open: each source is then opened by its name alone, not by a
    // walk along its path. -1 with errno set when it cannot be.
    int OpenSource(const fs::path& source) {
        int folderFd = -1;
        {
            const std::lock_guard lock(mutex);
            const fs::path folder = source.parent_path();
            auto found = sourceFolders.find(folder);
            if (found == sourceFolders.end()) {
                const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                if (fd < 0) return -1;
                found = sourceFolders.emplace(folder, fd).first;
            }
            folderFd = found->second;
        }
        return ::openat(folderFd, source.filename().c_str(),
                        O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    }

    // Clears a destination folder of what killed runs left, once, before
    // any copy makes a new file there: a temporary name of this run must
    // never be taken for a leftover.
    void Prepare(const fs::path& folder) {
        const std::lock_guard lock(mutex);
        if (prepared.count(folder) > 0) return;
        RemoveLeftovers(folder);
        prepared.insert(folder);
    }

    // Copies run on several threads at once; these are shared by them.
    std::mutex mutex;
    std::map<fs::path, int> sourceFolders;
    std::set<fs::path> prepared;  // folders cleared of what killed runs left

    // Only touched by the naming thread.
    std::set<fs::path> named;  // folders named into since the names' last flush
    // Declared last so that they are destroyed first: their calls end
    // before the members they use are destroyed.
    CallPool settlers{kSettlers};
    CallThread flusher;
};

FileCopier::FileCopier() : state_(std::make_unique<State>()) {}

FileCopier::~FileCopier() = default;

PendingCopy FileCopier::Copy(const fs::path& source, const fs::path& destination,
                             std::optional<std::uintmax_t> listedSize) {
    State& state = *state_;
    Descriptor in(state.OpenSource(source));
    if (in.get() < 0) throw ErrorFromOs(errno, source.string());
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0) throw ErrorFromOs(errno, source.string());
    if (!S_ISREG(sourceStat.st_mode)) {
        throw NumberedError(ErrorNumber::PathFileAccessError, source.string());
    }
    if (listedSize && static_cast<std::uintmax_t>(sourceStat.st_size) != *listedSize) {
        throw SourceChanged(source);
    }
    state.Prepare(destination.parent_path());
    return CopyIntoNew(in.get(), sourceStat, source, destination);
}

std::uintmax_t FileCopier::SizeOf(const NewFile& file) {
    return file.size();
}

std::size_t FileCopier::MostPending() {
    // Each pending copy holds one descriptor; the other half is left for
    // the sources being read, the folders and whatever else the program
    // has open.
    return std::max<std::size_t>(DescriptorLimit() / 2, 2);
}

void FileCopier::StartFlush(const std::vector<PendingCopy>& batch) {
    std::set<fs::path> folders;
    std::vector<NewFile*> files;
    files.reserve(batch.size());
    for (const auto& file : batch) {
        folders.insert(file->destination().parent_path());
        files.push_back(file.get());
    }
    CallPool& settlers = state_->settlers;
    state_->flusher.Start([folders = std::move(folders), files = std::move(files), &settlers] {
        FlushFolders(folders);
        std::vector<std::function<void()>> settles;
        settles.reserve(files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            settles.emplace_back([file = files[i], i] {
                try {
                    CheckWrittenBack(file->fd(), file->destination());
                    file->Settle();
                } catch (const NumberedError& error) {
                    throw FlushFailure(error, i);
                }
            });
        }
        // The first failure in the batch's order, once all have ended: the
        // files before it are on the disk and settled.
        settlers.Start(std::move(settles));
        settlers.Wait(nullptr);
    });
}

void FileCopier::FinishFlush() {
    state_->flusher.Wait(nullptr);
}

void FileCopier::Name(std::vector<PendingCopy> batch) {
    // What follows a failure goes with `batch`.
    for (auto& file : batch) {
        state_->named.insert(file->destination().parent_path());
        file->TakeName();
        file.reset();
    }
}

void FileCopier::FlushNames() {
    FlushFolders(std::exchange(state_->named, {}));
}

}  // namespace velmira
