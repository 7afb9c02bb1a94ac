#include "SpareFiles_linux.h"

#include <unistd.h>

#include "NewFile_linux.h"

namespace velmira {

SpareFiles::~SpareFiles() {
    for (const int fd : fds_) ::close(fd);
}

int SpareFiles::Take(const std::filesystem::path& folder) {
    const std::lock_guard lock(mutex_);
    if (fds_.empty() || folder.native() != folder_) return -1;
    const int fd = fds_.back();
    fds_.pop_back();
    return fd;
}

std::size_t SpareFiles::Count(const std::filesystem::path& folder) {
    const std::lock_guard lock(mutex_);
    return folder.native() == folder_ ? fds_.size() : 0;
}

void SpareFiles::Use(const std::filesystem::path& folder) {
    std::vector<int> dropped;
    {
        const std::lock_guard lock(mutex_);
        if (folder.native() == folder_) return;
        dropped.swap(fds_);
        folder_ = folder.native();
    }
    for (const int fd : dropped) ::close(fd);
}

void SpareFiles::Make(std::size_t count) {
    std::string folder;
    {
        const std::lock_guard lock(mutex_);
        folder = folder_;
    }
    std::vector<int> made;
    while (made.size() < count) {
        const int fd = NewFile::MakeUnnamed(folder);
        if (fd < 0) break;
        made.push_back(fd);
    }
    const std::lock_guard lock(mutex_);
    fds_.insert(fds_.end(), made.begin(), made.end());
}

}  // namespace velmira
