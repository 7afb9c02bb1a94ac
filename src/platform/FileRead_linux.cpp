#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Descriptor_linux.h"
#include "platform/FileRead.h"
#include "platform/OsError.h"

namespace velmira {

namespace {

// A not-found whose parent folder is missing too is a path error (76), a
// not-found in a present folder a missing file (53).
LookingFor WhatIsMissing(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path.parent_path(), ignored) ? LookingFor::File
                                                                      : LookingFor::Folder;
}

}  // namespace

void ReadFileChunks(const std::filesystem::path& path,
                    const std::function<bool(std::string_view)>& take) {
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        const int code = errno;
        throw ErrorFromOs(code, path.string(),
                          code == ENOENT ? WhatIsMissing(path) : LookingFor::File);
    }
    char buffer[kReadChunkBytes];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0) return;
        if (got < 0) {
            if (errno == EINTR) continue;
            // EISDIR and the like: the path names no readable file.
            throw ErrorFromOs(errno, path.string());
        }
        if (!take(std::string_view(buffer, static_cast<std::size_t>(got)))) return;
    }
}

}  // namespace velmira
