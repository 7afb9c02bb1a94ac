// Preloaded into a restore to make one system call fail at a chosen moment.
//
//   VELMIRA_FAULT="CALL N WHAT [all]"  the Nth call of CALL (counted from 1)
//       fails: WHAT is an errno number (the call returns -1, or null, with
//       it), "short" (a read, write or copy moves half of what was asked,
//       at least one byte), "zero" (it moves nothing and returns 0),
//       "rewrite" (a read or copy works, and then its source is rewritten
//       in place, its size and modification time kept) or "writeback" (a
//       write or copy works, and its data later fails to reach the disk:
//       only a wait on that file's own descriptor is told, with EIO, once;
//       syncfs is not, as before kernel 5.8 or once another caller took the
//       error). With "all", every call from the Nth on fails so. N may be
//       "@NAME" instead: the call made on a path ending in NAME. Several
//       faults are separated by ";".
//   VELMIRA_FAULT_PATH="buffered"  copy_file_range is never available
//       (EXDEV), so copies go through a buffer; "named": O_TMPFILE is not
//       supported (EOPNOTSUPP), so new files get temporary names. These
//       refusals are not counted as calls.
//   VELMIRA_FAULT_COUNTS=FILE  at exit, "CALL COUNT" lines for every call
//       made, "fired" when the fault was injected, and "unflushed N" when N
//       files took a destination's name (not a temporary one) while data
//       written to them had not been through a syncfs since, and "unsynced
//       N" when the last N names given had no syncfs called after them.
//
// A failing close still closes the descriptor, as a real one does.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// The calls a restore makes, in the order of their names below.
enum Call {
    k_access,
    k_close,
    k_copy_file_range,
    k_fchmod,
    k_fdopendir,
    k_fstat,
    k_fstatat,
    k_ftruncate,
    k_futimens,
    k_linkat,
    k_lseek,
    k_lstat,
    k_mkostemp,
    k_open,
    k_openat,
    k_pread,
    k_pwrite,
    k_readdir,
    k_rename,
    k_sync_file_range,
    k_syncfs,
    k_unlink,
    k_unlinkat,
    kCallCount
};

const char* const kNames[] = {
    "access", "close",   "copy_file_range", "fchmod",   "fdopendir",
    "fstat",  "fstatat", "ftruncate",       "futimens", "linkat",
    "lseek",  "lstat",   "mkostemp",        "open",     "openat",
    "pread",  "pwrite",  "readdir",         "rename",   "sync_file_range",
    "syncfs", "unlink",  "unlinkat",
};
static_assert(sizeof kNames / sizeof kNames[0] == kCallCount);

enum class What { None, Error, Short, Zero, Rewrite, WriteBack };

struct Fault {
    int call = -1;
    long nth = 0;
    std::string pathEnd;  // instead of nth: the call on a path ending so
    What what = What::None;
    int error = 0;
    bool all = false;
};

struct Plan {
    std::vector<Fault> faults;
    bool buffered = false;
    bool named = false;
};

Fault ParseFault(const std::string& text) {
    Fault fault;
    char name[64] = {};
    char nth[256] = {};
    char what[32] = {};
    char all[8] = {};
    if (std::sscanf(text.c_str(), "%63s %255s %31s %7s", name, nth, what, all) < 3) return fault;
    if (nth[0] == '@') {
        fault.pathEnd = nth + 1;
    } else {
        fault.nth = std::atol(nth);
    }
    for (int i = 0; i < kCallCount; ++i) {
        if (std::strcmp(kNames[i], name) == 0) fault.call = i;
    }
    const std::map<std::string, What> kinds{{"short", What::Short},
                                            {"zero", What::Zero},
                                            {"rewrite", What::Rewrite},
                                            {"writeback", What::WriteBack}};
    const auto kind = kinds.find(what);
    fault.what = kind != kinds.end() ? kind->second : What::Error;
    if (fault.what == What::Error) fault.error = std::atoi(what);
    fault.all = std::strcmp(all, "all") == 0;
    return fault;
}

const Plan& ThePlan() {
    static const Plan plan = [] {
        Plan p;
        if (const char* path = std::getenv("VELMIRA_FAULT_PATH")) {
            p.buffered = std::strcmp(path, "buffered") == 0;
            p.named = std::strcmp(path, "named") == 0;
        }
        const char* text = std::getenv("VELMIRA_FAULT");
        for (std::string rest = text != nullptr ? text : ""; !rest.empty();) {
            const std::size_t end = std::min(rest.find(';'), rest.size());
            p.faults.push_back(ParseFault(rest.substr(0, end)));
            rest.erase(0, end + 1);
        }
        return p;
    }();
    return plan;
}

std::atomic<long> counts[kCallCount];
std::atomic<bool> fired{false};

bool EndsWith(const char* path, const std::string& end) {
    const std::size_t length = path != nullptr ? std::strlen(path) : 0;
    return length >= end.size() && std::strcmp(path + length - end.size(), end.c_str()) == 0;
}

// Counts the call, made on `path` where it names one, and says what it is
// to do this time.
What Decide(Call call, const char* path = nullptr) {
    const long n = ++counts[call];
    for (const Fault& fault : ThePlan().faults) {
        if (fault.call != call) continue;
        if (!fault.pathEnd.empty() ? !EndsWith(path, fault.pathEnd)
                                   : n < fault.nth || (n > fault.nth && !fault.all)) {
            continue;
        }
        fired = true;
        if (fault.what == What::Error) errno = fault.error;
        return fault.what;
    }
    return What::None;
}

// The new files whose data the disk will fail to take, by descriptor: only
// a wait on that descriptor is told, once.
class LostWriteBack {
  public:
    void Lose(int fd) {
        const std::lock_guard lock(mutex_);
        fds_.insert(fd);
    }
    bool Told(int fd) {
        const std::lock_guard lock(mutex_);
        return fds_.erase(fd) > 0;
    }

  private:
    std::mutex mutex_;
    std::set<int> fds_;
} lostWriteBack;

// Which new files hold data that no syncfs has flushed yet, by descriptor
// and, once closed under a temporary name, by that name.
class Unflushed {
  public:
    void Wrote(int fd) {
        const std::lock_guard lock(mutex_);
        fds_.insert(fd);
    }
    void Synced() {
        const std::lock_guard lock(mutex_);
        fds_.clear();
        names_.clear();
    }
    // A syncfs called, whatever it then returns: the names before it were
    // asked to be made durable.
    void SyncCalled() {
        const std::lock_guard lock(mutex_);
        unsynced_ = 0;
    }
    void Closing(int fd) {
        const std::lock_guard lock(mutex_);
        const auto temporary = temporaryName_.find(fd);
        if (temporary != temporaryName_.end()) {
            if (fds_.count(fd) > 0) names_.insert(temporary->second);
            temporaryName_.erase(temporary);
        }
        fds_.erase(fd);
    }
    // A name given to the file open as `fd`, or to the closed file `from`.
    void Named(int fd, const char* from, const char* to) {
        const std::lock_guard lock(mutex_);
        if (std::strstr(to, "/.velmira-restore-") != nullptr) {
            if (fd >= 0) temporaryName_[fd] = to;
            return;
        }
        ++unsynced_;
        if ((fd >= 0 && fds_.count(fd) > 0) || (from != nullptr && names_.count(from) > 0)) {
            ++count_;
        }
    }
    long count() {
        const std::lock_guard lock(mutex_);
        return count_;
    }
    long unsynced() {
        const std::lock_guard lock(mutex_);
        return unsynced_;
    }

  private:
    std::mutex mutex_;
    std::set<int> fds_;
    std::map<int, std::string> temporaryName_;
    std::set<std::string> names_;
    long count_ = 0;
    long unsynced_ = 0;
} unflushed;

// The descriptor a /proc/self/fd/N path names, or -1.
int ProcFd(const char* path) {
    constexpr const char* kProc = "/proc/self/fd/";
    if (std::strncmp(path, kProc, std::strlen(kProc)) != 0) return -1;
    return std::atoi(path + std::strlen(kProc));
}

// What a read, write or copy of `count` bytes is to do: fail (-1) or move
// nothing (0) at once, or go on with the count, halved when short.
std::optional<ssize_t> Moving(What what, std::size_t& count) {
    if (what == What::Error) return -1;
    if (what == What::Zero) return 0;
    if (what == What::Short && count > 1) count /= 2;
    return std::nullopt;
}

template <typename Function>
Function Next(const char* name) {
    void* found = ::dlsym(RTLD_NEXT, name);
    Function function = nullptr;
    std::memcpy(&function, &found, sizeof function);
    return function;
}

#define VELMIRA_NEXT(name) static const auto real = Next<decltype(&::name)>(#name)

// The source open as `fd` changed in place under its reader, as a chart
// program still writing it would: its first byte other, its size the same,
// its modification time set back to what it was (as a program may, or as a
// rewrite within one tick of the file system's clock keeps it). Through the
// real calls, which count nothing.
void RewriteInPlace(int fd) {
    static const auto open = Next<int (*)(const char*, int, ...)>("open");
    static const auto close = Next<decltype(&::close)>("close");
    static const auto fstat = Next<decltype(&::fstat)>("fstat");
    static const auto pwrite = Next<decltype(&::pwrite)>("pwrite");
    static const auto futimens = Next<decltype(&::futimens)>("futimens");
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const int out = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    struct stat st {};
    if (out < 0 || fstat(out, &st) != 0 || st.st_size == 0 || pwrite(out, "~", 1, 0) != 1) {
        std::abort();  // the test's own set-up failed
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out, times);
    close(out);
}

struct CountsAtExit {
    ~CountsAtExit() {
        const char* file = std::getenv("VELMIRA_FAULT_COUNTS");
        if (file == nullptr) return;
        std::FILE* out = std::fopen(file, "w");
        if (out == nullptr) return;
        for (int i = 0; i < kCallCount; ++i) {
            if (counts[i] > 0) std::fprintf(out, "%s %ld\n", kNames[i], counts[i].load());
        }
        if (fired) std::fprintf(out, "fired\n");
        if (unflushed.count() > 0) std::fprintf(out, "unflushed %ld\n", unflushed.count());
        if (unflushed.unsynced() > 0) std::fprintf(out, "unsynced %ld\n", unflushed.unsynced());
        std::fclose(out);
    }
} countsAtExit;

// The mode argument of open and openat, which only some flags come with.
mode_t ModeOf(int flags, va_list arguments) {
    const bool given = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    return given ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

// The named-temporary path: unnamed files are refused, as on a file system
// without them.
bool RefusesUnnamed(int flags) {
    if (!ThePlan().named || (flags & O_TMPFILE) != O_TMPFILE) return false;
    errno = EOPNOTSUPP;
    return true;
}

}  // namespace

extern "C" {

int access(const char* path, int mode) {
    VELMIRA_NEXT(access);
    return Decide(k_access) == What::Error ? -1 : real(path, mode);
}

int close(int fd) {
    VELMIRA_NEXT(close);
    unflushed.Closing(fd);
    lostWriteBack.Told(fd);
    if (Decide(k_close) != What::Error) return real(fd);
    const int error = errno;
    real(fd);
    errno = error;
    return -1;
}

ssize_t copy_file_range(int in, loff_t* inAt, int out, loff_t* outAt, std::size_t length,
                        unsigned flags) {
    VELMIRA_NEXT(copy_file_range);
    if (ThePlan().buffered) {
        errno = EXDEV;
        return -1;
    }
    const What what = Decide(k_copy_file_range);
    if (const auto now = Moving(what, length)) return *now;
    const ssize_t moved = real(in, inAt, out, outAt, length, flags);
    unflushed.Wrote(out);
    if (what == What::Rewrite) RewriteInPlace(in);
    if (what == What::WriteBack) lostWriteBack.Lose(out);
    return moved;
}

int fchmod(int fd, mode_t mode) {
    VELMIRA_NEXT(fchmod);
    return Decide(k_fchmod) == What::Error ? -1 : real(fd, mode);
}

DIR* fdopendir(int fd) {
    VELMIRA_NEXT(fdopendir);
    return Decide(k_fdopendir) == What::Error ? nullptr : real(fd);
}

int fstat(int fd, struct stat* st) {
    VELMIRA_NEXT(fstat);
    return Decide(k_fstat) == What::Error ? -1 : real(fd, st);
}

int fstatat(int dirFd, const char* path, struct stat* st, int flags) {
    VELMIRA_NEXT(fstatat);
    return Decide(k_fstatat) == What::Error ? -1 : real(dirFd, path, st, flags);
}

int ftruncate(int fd, off_t length) {
    VELMIRA_NEXT(ftruncate);
    if (Decide(k_ftruncate) == What::Error) return -1;
    const int result = real(fd, length);
    unflushed.Wrote(fd);
    return result;
}

int futimens(int fd, const struct timespec times[2]) {
    VELMIRA_NEXT(futimens);
    return Decide(k_futimens) == What::Error ? -1 : real(fd, times);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    VELMIRA_NEXT(linkat);
    if (Decide(k_linkat) == What::Error) return -1;
    const int result = real(fromDir, from, toDir, to, flags);
    if (result == 0) unflushed.Named(ProcFd(from), nullptr, to);
    return result;
}

off_t lseek(int fd, off_t at, int whence) {
    VELMIRA_NEXT(lseek);
    return Decide(k_lseek) == What::Error ? -1 : real(fd, at, whence);
}

int lstat(const char* path, struct stat* st) {
    VELMIRA_NEXT(lstat);
    return Decide(k_lstat) == What::Error ? -1 : real(path, st);
}

int mkostemp(char* pattern, int flags) {
    VELMIRA_NEXT(mkostemp);
    if (Decide(k_mkostemp) == What::Error) return -1;
    const int fd = real(pattern, flags);
    if (fd >= 0) unflushed.Named(fd, nullptr, pattern);
    return fd;
}

int open(const char* path, int flags, ...) {
    VELMIRA_NEXT(open);
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (RefusesUnnamed(flags)) return -1;
    return Decide(k_open) == What::Error ? -1 : real(path, flags, mode);
}

int openat(int dirFd, const char* path, int flags, ...) {
    VELMIRA_NEXT(openat);
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    if (RefusesUnnamed(flags)) return -1;
    return Decide(k_openat, path) == What::Error ? -1 : real(dirFd, path, flags, mode);
}

ssize_t pread(int fd, void* buffer, std::size_t count, off_t at) {
    VELMIRA_NEXT(pread);
    const What what = Decide(k_pread);
    if (const auto now = Moving(what, count)) return *now;
    const ssize_t got = real(fd, buffer, count, at);
    if (what == What::Rewrite) RewriteInPlace(fd);
    return got;
}

ssize_t pwrite(int fd, const void* buffer, std::size_t count, off_t at) {
    VELMIRA_NEXT(pwrite);
    const What what = Decide(k_pwrite);
    if (const auto now = Moving(what, count)) return *now;
    const ssize_t put = real(fd, buffer, count, at);
    unflushed.Wrote(fd);
    if (what == What::WriteBack) lostWriteBack.Lose(fd);
    return put;
}

dirent* readdir(DIR* dir) {
    VELMIRA_NEXT(readdir);
    return Decide(k_readdir) == What::Error ? nullptr : real(dir);
}

int rename(const char* from, const char* to) {
    VELMIRA_NEXT(rename);
    if (Decide(k_rename) == What::Error) return -1;
    const int result = real(from, to);
    if (result == 0) unflushed.Named(-1, from, to);
    return result;
}

int sync_file_range(int fd, off_t at, off_t length, unsigned flags) {
    VELMIRA_NEXT(sync_file_range);
    if (Decide(k_sync_file_range) == What::Error) return -1;
    if ((flags & SYNC_FILE_RANGE_WAIT_BEFORE) != 0 && lostWriteBack.Told(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd, at, length, flags);
}

int syncfs(int fd) {
    VELMIRA_NEXT(syncfs);
    unflushed.SyncCalled();
    if (Decide(k_syncfs) == What::Error) return -1;
    // What was written before the call is what it flushes.
    unflushed.Synced();
    return real(fd);
}

int unlink(const char* path) {
    VELMIRA_NEXT(unlink);
    return Decide(k_unlink) == What::Error ? -1 : real(path);
}

int unlinkat(int dirFd, const char* path, int flags) {
    VELMIRA_NEXT(unlinkat);
    return Decide(k_unlinkat) == What::Error ? -1 : real(dirFd, path, flags);
}

}  // extern "C"
