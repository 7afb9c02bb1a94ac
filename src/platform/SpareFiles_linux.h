#pragma once

#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace velmira {

// Unnamed new files made ahead on the copier's thread in the folder small
// files are being copied into, so that the window thread only fills and
// names them: making a file is a good part of a small copy. A spare that
// cannot be made is simply not there; the copy then makes its own file and
// reports what fails. Made on one thread, taken on another.
class SpareFiles {
  public:
    SpareFiles() = default;
    // Closes the spares never taken; having no name, they are gone.
    ~SpareFiles();
    SpareFiles(const SpareFiles&) = delete;
    SpareFiles& operator=(const SpareFiles&) = delete;

    // A spare made in `folder`, or -1 when none is ready.
    int Take(const std::filesystem::path& folder);
    // How many spares made in `folder` are ready.
    std::size_t Count(const std::filesystem::path& folder);

    // Spares of any other folder go, at once: were they left for the
    // copier's thread to drop, whether a copy finds one would depend on how
    // far that thread has got.
    void Use(const std::filesystem::path& folder);
    // Makes up to `count` more spares in the folder last given to Use.
    void Make(std::size_t count);

  private:
    std::mutex mutex_;
    std::string folder_;
    std::vector<int> fds_;
};

}  // namespace velmira
