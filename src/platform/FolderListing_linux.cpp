#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/Directory_linux.h"
#include "platform/FolderListing.h"
#include "platform/OsError.h"

namespace velmira {

namespace {

// Hidden is a name starting with "."; system is anything that is not a
// regular file. Links are never followed: one on a backup medium can point
// anywhere, and opening a FIFO would block. Only a name that has gone since
// it was read is passed over; a medium that cannot say what a name is
// fails the listing, so that no file is skipped unnoticed.
bool IsListed(int dirFd, const std::filesystem::path& folder, const char* name,
              std::uintmax_t& size) {
    if (name[0] == '.') return false;
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return false;
        throw ErrorFromOs(errno, (folder / name).string());
    }
    size = static_cast<std::uintmax_t>(st.st_size);
    return S_ISREG(st.st_mode);
}

}  // namespace

std::vector<ListedFile> ListBackupFiles(const std::filesystem::path& folder) {
    const Directory dir = OpenDirectory(folder);
    const int fd = ::dirfd(dir.get());
    std::vector<ListedFile> files;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
            break;
        }
        std::uintmax_t size = 0;
        if (IsListed(fd, folder, entry->d_name, size)) files.push_back({entry->d_name, size});
    }
    // Byte order of UTF-8 names is code point order.
    std::sort(files.begin(), files.end(), [](const ListedFile& left, const ListedFile& right) {
        return left.name.native() < right.name.native();
    });
    return files;
}

}  // namespace velmira
