#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmira::bench {

class BenchTree;

// The model's figures; test-stick and scanned-disk say how each is kept.
struct ModelPace {
    double stickBytesPerSecond = 30e6;
    int stickRequestUs = 1000;
    int openScanUs = 1000;
    int closeScanUs = 5000;
};

// A clinic's PC modelled over a BenchTree for one timed measurement: the
// tree's F served at a USB 2.0 stick's pace (test-stick) and its C through
// a virus scanner's waits (scanned-disk), mounted in a drive folder of their
// own beside the tree's and unmounted with the object, so that each
// measurement starts with nothing of either in the kernel's caches.
class ModelMount {
  public:
    enum class Scanner { On, Off };
    // This machine cannot mount the model.
    struct Unmountable : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // `programs` holds test-stick and scanned-disk. Without the scanner
    // only the stick is mounted, and it scans nothing at an open. Raises
    // Unmountable when either cannot be mounted.
    ModelMount(const BenchTree& tree, const std::filesystem::path& programs, Scanner scanner,
               const ModelPace& pace = {});
    ~ModelMount();
    ModelMount(const ModelMount&) = delete;
    ModelMount& operator=(const ModelMount&) = delete;

    // The drive folder (see SandboxDrives): C and F as the model serves them.
    const std::filesystem::path& Drives() const { return drives_; }
    std::filesystem::path BackUp() const { return drives_ / "F" / "BackUp"; }
    // A folder below C/Velmira through the scanner's view, e.g. "H15".
    std::filesystem::path Velmira(const std::string& folder) const;

    // What the pace says, for the benchmark's lines.
    static std::string Describe(const ModelPace& pace);

  private:
    void Mount(const std::vector<std::string>& argv, const std::filesystem::path& at);
    void Unmount() noexcept;

    std::filesystem::path drives_;
    std::vector<std::filesystem::path> mounted_;
};

}  // namespace velmira::bench
