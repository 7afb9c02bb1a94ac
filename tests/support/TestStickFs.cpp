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
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
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
    DIR* folder = ::opendir(Real(path).c_str());
    if (folder == nullptr) return -errno;
    while (const dirent* entry = ::readdir(folder)) {
        fill(buffer, entry->d_name, nullptr, 0, fuse_fill_dir_flags{});
    }
    ::closedir(folder);
    return 0;
}

int Open(const char* path, fuse_file_info* file) {
    if ((file->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
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
    const ssize_t got = ::pread(static_cast<int>(file->fh), buffer, size, at);
    return got >= 0 ? static_cast<int>(got) : -errno;
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: test-stick SOURCE MOUNTPOINT [RULE]...\n");
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
    char options[] = "-oro,fsname=test-stick";
    char* fuseArgs[] = {argv[0], argv[2], options, nullptr};
    return fuse_main(3, fuseArgs, &operations, nullptr);
}
