#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "BenchOptions.h"

namespace velmira::bench {

// One benchmark run: every case on fresh temporary folders, each figure
// printed beside its baseline from the same run. Raises std::runtime_error
// when a restore does not finish or restores the wrong number of files.
class BenchRun {
  public:
    BenchRun(BenchOptions options, std::filesystem::path self);

    void SmallFiles() const;
    void LargeFiles() const;
    void Listing() const;
    void PeakMemory() const;
    void FirstPaint() const;
    void PumpGap() const;

  private:
    struct Pair {
        std::vector<double> restore;
        std::vector<double> baseline;
    };

    // Restore through the window against cp -a + sync of the routed names,
    // on the same source, in alternating order.
    Pair CompareCopies(const std::vector<std::string>& names, std::size_t size) const;
    static void PrintPair(const std::string& label, const char* restoreName,
                          const char* baselineName, const Pair& pair);

    BenchOptions options_;
    std::filesystem::path self_;
};

}  // namespace velmira::bench
