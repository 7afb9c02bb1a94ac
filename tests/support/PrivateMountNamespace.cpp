#include "tests/support/PrivateMountNamespace.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <exception>

namespace velmira::testing {

namespace {

constexpr int kUnavailable = 77;

bool WriteFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

// As root a mount namespace alone will do; otherwise a user namespace in
// which this user is root, mapped back to itself so that files it creates
// stay its own.
bool EnterPrivateMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0) {
        const std::string uid = std::to_string(::getuid());
        const std::string gid = std::to_string(::getgid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        if (!WriteFile("/proc/self/setgroups", "deny") ||
            !WriteFile("/proc/self/uid_map", "0 " + uid + " 1") ||
            !WriteFile("/proc/self/gid_map", "0 " + gid + " 1")) {
            return false;
        }
    }
    // Nothing mounted here may reach the machine, nor anything from there
    // come in.
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

}  // namespace

std::optional<std::string> InPrivateMountNamespace(const std::function<std::string()>& check) {
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        ::close(channel[0]);
        if (!EnterPrivateMountNamespace()) ::_exit(kUnavailable);
        std::string failure;
        try {
            failure = check();
        } catch (const std::exception& error) {
            failure = std::string("exception: ") + error.what();
        }
        if (failure.empty()) ::_exit(0);
        [[maybe_unused]] const auto written = ::write(channel[1], failure.data(), failure.size());
        ::_exit(1);
    }

    ::close(channel[1]);
    std::string failure;
    char buffer[512];
    for (;;) {
        const ssize_t count = ::read(channel[0], buffer, sizeof buffer);
        if (count > 0) {
            failure.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kUnavailable) return std::nullopt;
    if (!WIFEXITED(status)) return "child ended abnormally";
    if (WEXITSTATUS(status) != 0 && failure.empty()) return "child failed";
    return failure;
}

}  // namespace velmira::testing
