#pragma once

#include <filesystem>
#include <vector>

namespace velmira {

// The listing rule of a backup folder: the files directly in `folder`, no
// subfolders, without hidden or system entries, sorted by name in code
// point order (byte order of the UTF-8 names on Linux, the same order for
// UTF-16 names on Windows). Returns bare names exactly as the OS gave them.
// Raises a numbered error when the folder cannot be listed.
std::vector<std::filesystem::path> ListBackupFiles(const std::filesystem::path& folder);

}  // namespace velmira
