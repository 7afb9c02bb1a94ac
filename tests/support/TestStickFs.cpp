// test-stick: an ageing backup stick for the window tests. It serves a folder
// read-only through FUSE and, for the files named on its command line,
// behaves as a worn flash drive does while the kernel retries a bad sector:
//
//   test-stick SOURCE MOUNTPOINT [RULE]...
//   RULE  stall:MS:PATH   each read of PATH waits MS ms, then returns the data
//         fail:MS:PATH    each read of PATH waits MS ms, then fails with EIO
//         vanish:MS:PATH  the first read of PATH waits MS ms, then the stick
//                         is pulled: the server ends, the kernel fails that
//                         read and everything after it (ENOTCONN)
//         rootstall:MS    the first look at the root (its attributes) waits
//                         MS ms, as a stick that wakes slowly at its first
//                         access; nothing else looks at it before a restore
//
// PATH is relative to SOURCE ("BackUp/K00150.sxd"). The command returns once
// the stick is mounted and serves it in the background, on several threads so
// that a stalled read holds up nothing else, until unmounted (fusermount3 -u).
//
// For the benchmarks' model of a clinic's PC it can also keep a USB 2.0
// stick's pace (options among the rules; without them it is as fast as
// SOURCE):
//   --rate=BYTES      bytes per second a read moves (K, M: 1,000s)
//   --request-us=US   the wait of each request the stick answers
//   --open-scan-us=US the wait at each open, a virus scanner's look at a
//                     file opened for reading
//   --max-read=BYTES  the largest read the kernel asks for at once
// A paced stick answers one request at a time: a read of N bytes holds it
// for the request's wait plus N at the rate, a listing for the wait. Lookups
// and attributes cost nothing, as the directory blocks a stick sends once
// are cached by the computer. The open's scan waits outside the stick's
// queue: a scanner has threads of its own.
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

enum class Fault { Stall, Fail, Vanish };

struct Rule {
    Fault fault;
    std::chrono::milliseconds stall;
};

std::string source;
std::map<std::string, Rule> rules;  // by FUSE path, "/BackUp/K00150.sxd"
std::chrono::milliseconds rootStall{};
std::atomic<bool> rootLooked{false};

// The stick's pace; all zero serves at SOURCE's own speed.
struct Pace {
    double bytesPerSecond = 0;
    std::chrono::microseconds request{0};
    std::chrono::microseconds openScan{0};
    long maxRead = 0;

    bool Paced() const { return bytesPerSecond > 0 || request.count() > 0; }
};

Pace pace;
std::mutex stickQueue;
// When the stick has answered every request handed to it so far. Each
// request ends a fixed time after the last one's end or its own arrival, so
// a sleep's overshoot delays the next request no further.
std::chrono::steady_clock::time_point stickFreeAt;

// Holds the stick from its construction until the request's modelled end,
// `Done` says how many bytes it moved.
class StickRequest {
  public:
    StickRequest() {
        if (pace.Paced()) lock_ = std::unique_lock<std::mutex>(stickQueue);
    }
    StickRequest(const StickRequest&) = delete;
    StickRequest& operator=(const StickRequest&) = delete;

    void Done(std::size_t bytes) {
        if (!lock_.owns_lock()) return;
        const auto transfer = std::chrono::duration<double>(
            pace.bytesPerSecond > 0 ? static_cast<double>(bytes) / pace.bytesPerSecond : 0.0);
        const auto start = std::max(std::chrono::steady_clock::now(), stickFreeAt);
        stickFreeAt = start + pace.request +
                      std::chrono::duration_cast<std::chrono::steady_clock::duration>(transfer);
        std::this_thread::sleep_until(stickFreeAt);
        lock_.unlock();
    }

  private:
    std::unique_lock<std::mutex> lock_;
};

std::string Real(const char* path) {
    return source + path;
}

int Getattr(const char* path, struct stat* status, fuse_file_info*) {
    if (path == std::string("/") && !rootLooked.exchange(true))
        std::this_thread::sleep_for(rootStall);
    return ::lstat(Real(path).c_str(), status) == 0 ? 0 : -errno;
}

int Readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    StickRequest request;
    DIR* folder = ::opendir(Real(path).c_str());
    if (folder == nullptr) return -errno;
    while (const dirent* entry = ::readdir(folder)) {
        fill(buffer, entry->d_name, nullptr, 0, fuse_fill_dir_flags{});
    }
    ::closedir(folder);
    request.Done(0);
    return 0;
}

int Open(const char* path, fuse_file_info* file) {
    if ((file->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
    std::this_thread::sleep_for(pace.openScan);
    const int fd = ::open(Real(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -errno;
    file->fh = static_cast<std::uint64_t>(fd);
    return 0;
}

// The kernel's read of a page waits here, as it waits on a stick's retries.
int Read(const char* path, char* buffer, size_t size, off_t at, fuse_file_info* file) {
    if (const auto rule = rules.find(path); rule != rules.end()) {
        std::this_thread::sleep_for(rule->second.stall);
        if (rule->second.fault == Fault::Fail) return -EIO;
        if (rule->second.fault == Fault::Vanish) std::_Exit(0);
    }
    StickRequest request;
    const ssize_t got = ::pread(static_cast<int>(file->fh), buffer, size, at);
    if (got < 0) return -errno;
    request.Done(static_cast<std::size_t>(got));
    return static_cast<int>(got);
}

int Release(const char*, fuse_file_info* file) {
    ::close(static_cast<int>(file->fh));
    return 0;
}

int Statfs(const char*, struct statvfs* status) {
    return ::statvfs(source.c_str(), status) == 0 ? 0 : -errno;
}

bool AddRule(const std::string& text) {
    if (text.starts_with("rootstall:")) {
        char* end = nullptr;
        rootStall = std::chrono::milliseconds(std::strtol(text.c_str() + 10, &end, 10));
        return end != text.c_str() + 10 && *end == '\0' && rootStall.count() >= 0;
    }
    const auto first = text.find(':');
    const auto second = text.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) return false;
    const std::string kind = text.substr(0, first);
    const Fault fault = kind == "stall"  ? Fault::Stall
                        : kind == "fail" ? Fault::Fail
                                         : Fault::Vanish;
    if (fault == Fault::Vanish && kind != "vanish") return false;
    char* end = nullptr;
    const long stall = std::strtol(text.c_str() + first + 1, &end, 10);
    if (end != text.c_str() + second || stall < 0) return false;
    rules["/" + text.substr(second + 1)] = Rule{fault, std::chrono::milliseconds(stall)};
    return true;
}

// A count with an optional K or M (thousands, as a stick's rate is given).
bool Amount(const char* text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text, &end);
    if (end == text || *value < 0) return false;
    const std::string unit(end);
    if (unit == "K" || unit == "k") *value *= 1e3;
    if (unit == "M" || unit == "m") *value *= 1e6;
    return unit.empty() || unit == "K" || unit == "k" || unit == "M" || unit == "m";
}

// One of the pace's options, "--NAME=VALUE".
bool SetPace(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = text.substr(0, equals);
    double value = 0;
    if (!Amount(text.c_str() + equals + 1, &value)) return false;
    const auto micros = std::chrono::microseconds(static_cast<long long>(value));
    if (name == "--rate") {
        pace.bytesPerSecond = value;
    } else if (name == "--request-us") {
        pace.request = micros;
    } else if (name == "--open-scan-us") {
        pace.openScan = micros;
    } else if (name == "--max-read" && value >= 4096) {
        pace.maxRead = static_cast<long>(value);
    } else {
        return false;
    }
    return true;
}

std::string MountOptions() {
    std::string options = "-oro,fsname=test-stick";
    if (pace.maxRead > 0) options += ",max_read=" + std::to_string(pace.maxRead);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: test-stick SOURCE MOUNTPOINT [RULE]... [--rate=BYTES]"
                     " [--request-us=US] [--open-scan-us=US] [--max-read=BYTES]\n");
        return 2;
    }
    // The server outlives the command: it must hold none of its caller's
    // descriptors, such as the pipe a test runner reads to its end.
    ::close_range(3, ~0U, 0);
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        std::fprintf(stderr, "test-stick: /dev/fuse: %s: this machine cannot mount the stick\n",
                     std::strerror(errno));
        return 2;
    }
    char real[PATH_MAX];
    if (::realpath(argv[1], real) == nullptr) {
        std::fprintf(stderr, "test-stick: %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    source = real;
    for (int i = 3; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) {
            if (SetPace(argv[i])) continue;
            std::fprintf(stderr, "test-stick: not an option: %s\n", argv[i]);
            return 2;
        }
        if (!AddRule(argv[i])) {
            std::fprintf(stderr, "test-stick: not a rule: %s\n", argv[i]);
            return 2;
        }
    }
    fuse_operations operations{};
    operations.getattr = Getattr;
    operations.readdir = Readdir;
    operations.open = Open;
    operations.read = Read;
    operations.release = Release;
    operations.statfs = Statfs;
    // The modelled waits are a millisecond or less: sleeps may not overshoot
    // by the default slack (the server's threads inherit this).
    if (pace.Paced() || pace.openScan.count() > 0) ::prctl(PR_SET_TIMERSLACK, 1UL);
    std::string options = MountOptions();
    char* fuseArgs[] = {argv[0], argv[2], options.data(), nullptr};
    return fuse_main(3, fuseArgs, &operations, nullptr);
}
