// Times the safe copy (new files named batch by batch after their flush)
// against a plain overwriting copy of the same files, timed in the same
// run, and prints the ratio.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "restore/CopyBatcher.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using velmira::CopyBatcher;
using velmira::testing::TempDir;

namespace {

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Compare(const char* label, int count, std::size_t size) {
    TempDir dir;
    const fs::path source = dir.MakeDir("src");
    const fs::path plain = dir.MakeDir("plain");
    const fs::path safe = dir.MakeDir("safe");
    const std::string bytes(size, 'x');
    for (int i = 0; i < count; ++i) {
        const std::string name = "K" + std::to_string(i) + ".sxd";
        dir.Write(fs::path("src") / name, bytes);
        dir.Write(fs::path("plain") / name, "old");
        dir.Write(fs::path("safe") / name, "old");
    }
    const auto each = [&](const std::function<void(const fs::path&)>& copy) {
        for (int i = 0; i < count; ++i) copy("K" + std::to_string(i) + ".sxd");
    };
    const double baseline = Seconds([&] {
        each([&](const fs::path& name) {
            fs::copy_file(source / name, plain / name, fs::copy_options::overwrite_existing);
        });
    });
    CopyBatcher copier;
    const double copying = Seconds(
        [&] { each([&](const fs::path& name) { copier.Copy(source / name, safe / name); }); });
    const double flushing = Seconds([&] { copier.Finish(); });
    std::printf("%-28s %5d files  plain %7.3f s  safe %7.3f s (ratio %4.2f)  + flush %7.3f s\n",
                label, count, baseline, copying, copying / baseline, flushing);
}

}  // namespace

int main() {
    Compare("small chart files (4 KiB)", 5000, 4096);
    Compare("large files (16 MiB)", 20, 16U << 20);
    return 0;
}
