#include "platform/FileRead.h"

namespace velmira {

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::string bytes;
    ReadFileChunks(path, [&bytes](std::string_view chunk) {
        bytes.append(chunk);
        return true;
    });
    return bytes;
}

}  // namespace velmira
