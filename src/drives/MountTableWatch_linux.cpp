#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "drives/MountTableWatch.h"

namespace velmira {

namespace {

bool ReadAll(int fd, std::string& text) {
    text.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace

MountTableWatch::MountTableWatch(std::filesystem::path mountInfo)
    : mountInfo_(std::move(mountInfo)) {
    const int fd = ::open(mountInfo_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct statfs where {};
    if (::fstatfs(fd, &where) == 0 && where.f_type == PROC_SUPER_MAGIC) {
        // The kernel notes the mount namespace's change count at open and
        // flags POLLPRI once each time it has moved on since.
        kernelTable_ = fd;
    } else {
        ::close(fd);
    }
}

MountTableWatch::~MountTableWatch() {
    if (kernelTable_ >= 0) ::close(kernelTable_);
}

bool MountTableWatch::Changed() {
    const bool first = !asked_;
    asked_ = true;
    if (kernelTable_ >= 0) {
        pollfd table{kernelTable_, POLLPRI, 0};
        int ready = 0;
        do {
            ready = ::poll(&table, 1, 0);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0) return true;
        // Asking consumes the flag, so ask even on the first call.
        const bool flagged = (table.revents & (POLLPRI | POLLERR)) != 0;
        return first || flagged;
    }

    const int fd = ::open(mountInfo_.c_str(), O_RDONLY | O_CLOEXEC);
    std::string text;
    const bool read = fd >= 0 && ReadAll(fd, text);
    if (fd >= 0) ::close(fd);
    if (!read) {
        lastTextRead_ = false;
        return true;
    }
    const bool same = lastTextRead_ && text == lastText_;
    lastText_ = std::move(text);
    lastTextRead_ = true;
    return first || !same;
}

}  // namespace velmira
