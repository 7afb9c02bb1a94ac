#include "platform/Directory_linux.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/OsError.h"

namespace velmira {

Directory OpenDirectory(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
    Directory dir(::fdopendir(fd));
    if (!dir) {
        const int code = errno;
        ::close(fd);
        throw ErrorFromOs(code, folder.string(), LookingFor::Folder);
    }
    return dir;
}

}  // namespace velmira
