#pragma once

#include <filesystem>
#include <string>

namespace velmira {

// Reads a whole (small) file as bytes, opened for reading only. Raises a
// numbered error when it cannot be opened or read: 53 for a missing file,
// 76 for a missing folder on the way, 70/75 for access.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace velmira
