#pragma once

#include <filesystem>

#include "bench/restore/BenchOptions.h"

namespace velmira::bench {

// The restore on a model of a clinic's PC (ModelMount), timed against the
// physical limit, every file of the job read once from the modelled stick
// with no scanner and nothing written, and against cp -a + sync of the same
// files on the same model. Each measurement mounts the model afresh.
class ModelRun {
  public:
    // `programs` holds test-stick and scanned-disk.
    ModelRun(const BenchOptions& options, std::filesystem::path programs);

    // One size: prints the restore's ratio to each baseline. Raises
    // std::runtime_error when a restore fails or the model cannot mount.
    void Run(int files) const;

  private:
    const BenchOptions& options_;
    std::filesystem::path programs_;
};

}  // namespace velmira::bench
