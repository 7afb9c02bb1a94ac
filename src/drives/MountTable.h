#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmira {

// One line of the kernel's mount table, escapes (\040 and the like) decoded.
struct MountEntry {
    unsigned devMajor = 0;
    unsigned devMinor = 0;
    // The folder of the file system that is mounted: "/" for a whole file
    // system, something deeper for a bind mount of a subfolder.
    std::string fsRoot;
    std::filesystem::path target;
    std::string source;
};

// Reads a mountinfo file (normally /proc/self/mountinfo), in its order.
// Raises the numbered error of the OS when it cannot be read.
std::vector<MountEntry> ReadMountTable(const std::filesystem::path& mountInfo);

}  // namespace velmira
