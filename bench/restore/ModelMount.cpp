#include "bench/restore/ModelMount.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "bench/restore/BenchTree.h"
#include "bench/restore/ChildProcess.h"

namespace velmira::bench {

namespace fs = std::filesystem;

ModelMount::ModelMount(const BenchTree& tree, const fs::path& programs, Scanner scanner,
                       const ModelPace& pace)
    : drives_(tree.Root() / "model") {
    for (const char* drive : {"C", "F"}) fs::create_directories(drives_ / drive);
    std::ofstream(drives_ / "drives.txt") << "C fixed\nF removable\n";
    const bool scans = scanner == Scanner::On;
    try {
        Mount({(programs / "test-stick").string(), (tree.Root() / "F").string(),
               (drives_ / "F").string(),
               "--rate=" + std::to_string(static_cast<long long>(pace.stickBytesPerSecond)),
               "--request-us=" + std::to_string(pace.stickRequestUs),
               "--open-scan-us=" + std::to_string(scans ? pace.openScanUs : 0)},
              drives_ / "F");
        if (scans) {
            Mount({(programs / "scanned-disk").string(), (tree.Root() / "C").string(),
                   (drives_ / "C").string(), "--close-scan-us=" + std::to_string(pace.closeScanUs)},
                  drives_ / "C");
        }
    } catch (...) {
        Unmount();
        throw;
    }
}

ModelMount::~ModelMount() {
    Unmount();
}

fs::path ModelMount::Velmira(const std::string& folder) const {
    return drives_ / "C" / "Velmira" / folder;
}

std::string ModelMount::Describe(const ModelPace& pace) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "stick %.0f MB/s, %.1f ms a request, one at a time; scans %.1f ms at an open, "
                  "%.1f ms at a written file's close",
                  pace.stickBytesPerSecond / 1e6, pace.stickRequestUs / 1e3, pace.openScanUs / 1e3,
                  pace.closeScanUs / 1e3);
    return text;
}

void ModelMount::Mount(const std::vector<std::string>& argv, const fs::path& at) {
    const ChildProcess::Result result = ChildProcess::Run(argv);
    if (result.status != 0) {
        throw Unmountable(fs::path(argv.front()).filename().string() + " could not mount " +
                          at.string());
    }
    mounted_.push_back(at);
}

void ModelMount::Unmount() noexcept {
    for (const auto& at : mounted_) {
        try {
            // Lazily: a window that still holds a folder open does not keep
            // the model mounted.
            ChildProcess::Run({"fusermount3", "-u", "-z", at.string()});
        } catch (...) {
        }
    }
    mounted_.clear();
}

}  // namespace velmira::bench
