#include "TempDir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>

namespace velmira::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() / ("velmira-test-" + std::to_string(random()) + "-" +
                                         std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TempDir::Write(const fs::path& relative, std::string_view bytes) const {
    const fs::path target = path_ / relative;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return target;
}

fs::path TempDir::MakeDir(const fs::path& relative) const {
    fs::create_directories(path_ / relative);
    return path_ / relative;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velmira::testing
