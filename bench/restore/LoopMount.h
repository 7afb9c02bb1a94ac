#pragma once

#include <cstdint>
#include <filesystem>

namespace velmira::bench {

// A file system of its own for one case: an ext4 file system made in a new
// image file and loop-mounted, unmounted and removed with the object. Needs
// root, mkfs.ext4 and a free loop device.
class LoopMount {
  public:
    // Makes an image of `size` bytes (sparse) in a new folder in `parent`.
    // Raises std::runtime_error saying what failed when it cannot mount it;
    // nothing is left behind then.
    LoopMount(const std::filesystem::path& parent, std::uintmax_t size);
    ~LoopMount();
    LoopMount(const LoopMount&) = delete;
    LoopMount& operator=(const LoopMount&) = delete;

    const std::filesystem::path& Root() const { return mounted_; }

  private:
    void Remove() noexcept;

    std::filesystem::path folder_;
    std::filesystem::path image_;
    std::filesystem::path mounted_;
    bool isMounted_ = false;
};

}  // namespace velmira::bench
