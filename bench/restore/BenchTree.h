#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace velmira::bench {

// A temporary folder laid out as drives (see SandboxDrives): C with the chart
// system's four folders, F a removable drive with BackUp and BackUp2. Removed
// with its content when the object goes.
class BenchTree {
  public:
    explicit BenchTree(const std::filesystem::path& parent);
    ~BenchTree();
    BenchTree(const BenchTree&) = delete;
    BenchTree& operator=(const BenchTree&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path BackUp() const { return root_ / "F" / "BackUp"; }
    // A folder below C/Velmira, e.g. "H15".
    std::filesystem::path Velmira(const std::string& folder) const;

    // Writes each name into `folder` with `size` bytes.
    static void WriteFiles(const std::filesystem::path& folder,
                           const std::vector<std::string>& names, std::size_t size);
    // Makes the folder again, empty. A folder of many files is moved out of
    // the way into the tree's spent folder and stays until the tree goes:
    // ext4 without a journal skips inodes freed in the last minutes when it
    // makes new files, at a cost charged to whichever copy comes next.
    void MakeFresh(const std::filesystem::path& folder);
    // Puts everything written so far on the disk, so that a timed copy
    // starts without someone else's dirty pages to flush.
    void Sync() const;

  private:
    std::filesystem::path root_;
    int spent_ = 0;
};

// `count` chart-job names in the routing mix of a backup folder: seven in ten
// .sxd, one .ini, one .hxd and one that the restore skips.
std::vector<std::string> ChartMix(int count);

// The names of `names` that the chart job copies.
std::vector<std::string> RoutedNames(const std::vector<std::string>& names);

}  // namespace velmira::bench
