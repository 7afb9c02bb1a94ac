#pragma once

#include <dirent.h>

#include <filesystem>
#include <memory>

namespace velmira {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// An open folder for reading its entries, closed on every exit.
using Directory = std::unique_ptr<DIR, DirCloser>;

// Opens a folder for reading its entries; raises the numbered error of a
// folder that cannot be opened (76 when it is missing).
Directory OpenDirectory(const std::filesystem::path& folder);

}  // namespace velmira
