#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace velmira {

// One listed file: its bare name exactly as the OS gave it, and its size at
// the moment of listing, so that a file that changes before it is copied
// can be told from the file that was listed.
struct ListedFile {
    std::filesystem::path name;
    std::uintmax_t size = 0;

    bool operator==(const ListedFile&) const = default;
};

// The listing rule of a backup folder: the files directly in `folder`, no
// subfolders, without hidden or system entries, sorted by name in code
// point order (byte order of the UTF-8 names on Linux, the same order for
// UTF-16 names on Windows). Raises a numbered error when the folder cannot
// be listed.
std::vector<ListedFile> ListBackupFiles(const std::filesystem::path& folder);

}  // namespace velmira
