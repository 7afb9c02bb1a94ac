#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "FolderListing.h"
#include "OsError.h"

namespace velmira {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Hidden is a name starting with "."; system is anything that is not a
// regular file. Links are never followed: one on a backup medium can point
// anywhere, and opening a FIFO would block.
bool IsListed(int dirFd, const char* name) {
    if (name[0] == '.') return false;
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return S_ISREG(st.st_mode);
}

}  // namespace

std::vector<std::filesystem::path> ListBackupFiles(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        const int code = errno;
        ::close(fd);
        throw ErrorFromOs(code, folder.string(), LookingFor::Folder);
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
            break;
        }
        if (IsListed(fd, entry->d_name)) names.emplace_back(entry->d_name);
    }
    // Byte order of UTF-8 names is code point order.
    std::sort(names.begin(), names.end());
    return {names.begin(), names.end()};
}

}  // namespace velmira
