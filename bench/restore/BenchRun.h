#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/restore/BenchOptions.h"
#include "bench/restore/BenchTree.h"
#include "bench/restore/TimedPair.h"

namespace velmira::bench {

// One benchmark run: every case on fresh temporary folders, each figure
// printed beside its baseline from the same run. Raises std::runtime_error
// when a restore does not finish or restores the wrong number of files.
class BenchRun {
  public:
    BenchRun(BenchOptions options, std::filesystem::path self);
    ~BenchRun();

    void SmallFiles() const;
    void LargeFiles() const;
    void Listing() const;
    void PeakMemory() const;
    void FirstPaint() const;
    void PumpGap() const;
    // Each size of BenchOptions::modelFiles on the model of a clinic's PC
    // (ModelRun); a machine where FUSE cannot mount skips it, saying so.
    void Model() const;

  private:
    // Restore through the window against cp -a + sync of the routed names,
    // on the same source, in alternating order.
    TimedPair CompareCopies(const std::vector<std::string>& names, std::size_t size) const;

    // A new tree that stays until the run ends: removing thousands of files
    // between cases would slow down the file creation of the next case (see
    // BenchTree::MakeFresh).
    BenchTree& NewTree() const;

    BenchOptions options_;
    std::filesystem::path self_;
    mutable std::vector<std::unique_ptr<BenchTree>> trees_;
};

}  // namespace velmira::bench
