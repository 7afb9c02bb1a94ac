#pragma once

#include <filesystem>
#include <set>

namespace velmira {

// Copies files so that a failure never harms what was there: the bytes go to
// a temporary file in the destination folder, which replaces the destination
// name only once complete. The destination folder is never created.
class FileCopier {
  public:
    // Copies source over destination. Raises a numbered error on failure,
    // leaving any earlier destination file exactly as it was and no
    // temporary file behind.
    void CopyReplacing(const std::filesystem::path& source,
                       const std::filesystem::path& destination);

    // Forces everything copied so far onto the disk, once per destination
    // folder. Raises a numbered error when the data cannot be flushed.
    void Flush();

  private:
    std::set<std::filesystem::path> written_folders_;
};

}  // namespace velmira
