#include "tests/support/TempDir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace velmira::testing {

namespace fs = std::filesystem;

TempDir::TempDir() : TempDir(fs::temp_directory_path()) {}

TempDir::TempDir(const fs::path& parent) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = parent / ("velmira-test-" + std::to_string(random()) + "-" + std::to_string(stamp) +
                      "-" + std::to_string(counter++));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TempDir::Write(const fs::path& relative, std::string_view bytes) const {
    const fs::path target = path_ / relative;
    WriteFile(target, bytes);
    return target;
}

fs::path TempDir::MakeDir(const fs::path& relative) const {
    fs::create_directories(path_ / relative);
    return path_ / relative;
}

void WriteFile(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    // Through the buffer in bulk: byte by byte, the fault sweeps' multi-MiB
    // files took most of their time.
    std::ostringstream content;
    content << in.rdbuf();
    return std::move(content).str();
}

}  // namespace velmira::testing
