// scanned-disk: a clinic PC's disk under a virus scanner's real-time
// protection, for the benchmarks' model of that PC. It passes a folder
// through FUSE read-write and, as the scanner looks at a newly written file
// when the writer closes it, makes the close of a file written through it
// wait:
//
//   scanned-disk SOURCE MOUNTPOINT [--close-scan-us=US]
//
// The first close (flush) after a write through an open file waits US
// microseconds (default 5,000); later closes of the same open file, such as
// a copy of its descriptor, wait again only after another write. Closes of
// different files wait at once, as a scanner's threads scan several files:
// the view serves on several threads. The command returns once the view is
// mounted and serves it in the background until unmounted (fusermount3 -u).
//
// What the kernel does not hand to a FUSE server: O_TMPFILE (a server of
// this libfuse answers it as unsupported, and the writer makes a named
// temporary file instead) and syncfs (answered by the kernel itself, which
// writes the view's dirty pages; the view keeps none, every write goes
// through to SOURCE as it comes).
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <stdio.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::string source;
std::chrono::microseconds closeScan{5000};

std::string Real(const char* path) {
    return source + path;
}

int Result(int status) {
    return status == 0 ? 0 : -errno;
}

// One open file of the view: the descriptor on SOURCE and whether it was
// written since its last scan.
struct OpenFile {
    int fd;
    std::atomic<bool> written{false};
};

OpenFile& Of(fuse_file_info* file) {
    return *reinterpret_cast<OpenFile*>(file->fh);
}

int Keep(int fd, fuse_file_info* file, bool written) {
    if (fd < 0) return -errno;
    auto* open = new OpenFile{fd};
    open->written = written;
    file->fh = reinterpret_cast<std::uint64_t>(open);
    return 0;
}

int Getattr(const char* path, struct stat* status, fuse_file_info* file) {
    if (file != nullptr) return Result(::fstat(Of(file).fd, status));
    return Result(::lstat(Real(path).c_str(), status));
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

int Mkdir(const char* path, mode_t mode) {
    return Result(::mkdir(Real(path).c_str(), mode));
}

int Rmdir(const char* path) {
    return Result(::rmdir(Real(path).c_str()));
}

int Unlink(const char* path) {
    return Result(::unlink(Real(path).c_str()));
}

int Rename(const char* from, const char* to, unsigned int flags) {
    return Result(::renameat2(AT_FDCWD, Real(from).c_str(), AT_FDCWD, Real(to).c_str(), flags));
}

int Link(const char* from, const char* to) {
    return Result(::link(Real(from).c_str(), Real(to).c_str()));
}

int Symlink(const char* target, const char* path) {
    return Result(::symlink(target, Real(path).c_str()));
}

int Readlink(const char* path, char* buffer, size_t size) {
    const ssize_t length = ::readlink(Real(path).c_str(), buffer, size - 1);
    if (length < 0) return -errno;
    buffer[length] = '\0';
    return 0;
}

int Chmod(const char* path, mode_t mode, fuse_file_info* file) {
    if (file != nullptr) return Result(::fchmod(Of(file).fd, mode));
    return Result(::chmod(Real(path).c_str(), mode));
}

int Chown(const char* path, uid_t owner, gid_t group, fuse_file_info* file) {
    if (file != nullptr) return Result(::fchown(Of(file).fd, owner, group));
    return Result(::lchown(Real(path).c_str(), owner, group));
}

int Truncate(const char* path, off_t size, fuse_file_info* file) {
    if (file != nullptr) return Result(::ftruncate(Of(file).fd, size));
    return Result(::truncate(Real(path).c_str(), size));
}

int Utimens(const char* path, const timespec times[2], fuse_file_info* file) {
    if (file != nullptr) return Result(::futimens(Of(file).fd, times));
    return Result(::utimensat(AT_FDCWD, Real(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int Create(const char* path, mode_t mode, fuse_file_info* file) {
    return Keep(::open(Real(path).c_str(), file->flags | O_CLOEXEC, mode), file, true);
}

int Open(const char* path, fuse_file_info* file) {
    // A truncating open changes the file as a write does.
    return Keep(::open(Real(path).c_str(), file->flags | O_CLOEXEC), file,
                (file->flags & O_TRUNC) != 0);
}

int Read(const char*, char* buffer, size_t size, off_t at, fuse_file_info* file) {
    const ssize_t got = ::pread(Of(file).fd, buffer, size, at);
    return got >= 0 ? static_cast<int>(got) : -errno;
}

int Write(const char*, const char* buffer, size_t size, off_t at, fuse_file_info* file) {
    OpenFile& open = Of(file);
    const ssize_t put = ::pwrite(open.fd, buffer, size, at);
    if (put < 0) return -errno;
    open.written = true;
    return static_cast<int>(put);
}

int Fallocate(const char*, int mode, off_t at, off_t length, fuse_file_info* file) {
    return Result(::fallocate(Of(file).fd, mode, at, length));
}

// The writer's close waits here while the scanner looks at what it wrote.
int Flush(const char*, fuse_file_info* file) {
    if (Of(file).written.exchange(false)) std::this_thread::sleep_for(closeScan);
    return 0;
}

int Release(const char*, fuse_file_info* file) {
    OpenFile* open = &Of(file);
    ::close(open->fd);
    delete open;
    return 0;
}

int Fsync(const char*, int dataOnly, fuse_file_info* file) {
    return Result(dataOnly ? ::fdatasync(Of(file).fd) : ::fsync(Of(file).fd));
}

int Statfs(const char*, struct statvfs* status) {
    return Result(::statvfs(source.c_str(), status));
}

fuse_operations Operations() {
    fuse_operations operations{};
    operations.getattr = Getattr;
    operations.readdir = Readdir;
    operations.mkdir = Mkdir;
    operations.rmdir = Rmdir;
    operations.unlink = Unlink;
    operations.rename = Rename;
    operations.link = Link;
    operations.symlink = Symlink;
    operations.readlink = Readlink;
    operations.chmod = Chmod;
    operations.chown = Chown;
    operations.truncate = Truncate;
    operations.utimens = Utimens;
    operations.create = Create;
    operations.open = Open;
    operations.read = Read;
    operations.write = Write;
    operations.fallocate = Fallocate;
    operations.flush = Flush;
    operations.release = Release;
    operations.fsync = Fsync;
    operations.statfs = Statfs;
    return operations;
}

// SOURCE's inode numbers, so that a hard link made through the view shows
// as one file under both names.
void* Init(fuse_conn_info*, fuse_config* config) {
    config->use_ino = 1;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::strncmp(argv[3], "--close-scan-us=", 16) != 0)) {
        std::fprintf(stderr, "usage: scanned-disk SOURCE MOUNTPOINT [--close-scan-us=US]\n");
        return 2;
    }
    if (argc == 4) closeScan = std::chrono::microseconds(std::atoll(argv[3] + 16));
    // The server outlives the command: it must hold none of its caller's
    // descriptors, such as the pipe a test runner reads to its end.
    ::close_range(3, ~0U, 0);
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        std::fprintf(stderr, "scanned-disk: /dev/fuse: %s: this machine cannot mount the view\n",
                     std::strerror(errno));
        return 2;
    }
    char real[PATH_MAX];
    if (::realpath(argv[1], real) == nullptr) {
        std::fprintf(stderr, "scanned-disk: %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    source = real;
    // Modes arrive already masked by the writer's umask; the view's own
    // would mask them again.
    ::umask(0);
    // A scan of a few milliseconds may not overshoot by the default slack.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    fuse_operations operations = Operations();
    operations.init = Init;
    char options[] = "-ofsname=scanned-disk";
    char* fuseArgs[] = {argv[0], argv[2], options, nullptr};
    return fuse_main(3, fuseArgs, &operations, nullptr);
}
