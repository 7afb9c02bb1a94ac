#include "platform/DriveRoots.h"

namespace velmira {

std::filesystem::path DriveRoots::ToNative(const DrivePath& path) const {
    std::filesystem::path native = Root(path.letter);
    for (const auto& folder : path.folders) native /= folder;
    if (path.fileName) native /= *path.fileName;
    return native;
}

}  // namespace velmira
