#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "base/BaseModule.h"
#include "platform/TextCodec.h"
#include "settings/SitePrefecture.h"
#include "settings/SiteRegion.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

using testing::FolderDrives;
using testing::TempDir;

constexpr std::uintmax_t kFileBytes = std::uintmax_t{100} << 20;

// Bytes this process has taken in through read() so far.
std::uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") return value;
    }
    ADD_FAILURE() << "no rchar in /proc/self/io";
    return 0;
}

// Starts the process's resident-memory high-water mark afresh from what it
// holds now, so that earlier tests do not hide growth; false when the kernel
// does not allow it.
bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

// The most resident memory this process has held since the last reset, in KiB.
long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmHWM:" && status >> value) return value;
        status.ignore(1 << 12, '\n');
    }
    ADD_FAILURE() << "no VmHWM in /proc/self/status";
    return 0;
}

class LargeSettingsFileTest : public ::testing::Test {
  protected:
    LargeSettingsFileTest() {
        drives.roots['C'] = dir.MakeDir("C");
        settings = dir.MakeDir("C/Velmira/set") / "info.ini";
        BaseModule::SitePrefecture.clear();
    }
    TempDir dir;
    FolderDrives drives;
    std::filesystem::path settings;
};

TEST_F(LargeSettingsFileTest, AFieldRunningThroughTheFileIsReadOnlyToTheCap) {
    // Sparse 100 MiB files of zero bytes after the start: neither field ends.
    const std::string ibaraki = Utf8ToCp932("茨城県");
    for (const std::string& start : {ibaraki, "\"" + ibaraki}) {
        testing::WriteFile(settings, start);
        std::filesystem::resize_file(settings, kFileBytes);
        const std::uint64_t before = BytesReadSoFar();
        LoadSitePrefecture(drives);
        EXPECT_LT(BytesReadSoFar() - before, std::uint64_t{64} << 10) << start;
        EXPECT_EQ(BaseModule::SitePrefecture.substr(0, 9), "茨城県");
        EXPECT_EQ(CurrentSiteRegion(), SiteRegion::Other);
    }
}

TEST_F(LargeSettingsFileTest, BlankLinesBeforeTheFieldAreReadInConstantMemory) {
    {
        std::ofstream out(settings, std::ios::binary);
        std::string lines;
        for (int i = 0; i < (1 << 19); ++i) lines += "\r\n";  // 1 MiB
        for (std::uintmax_t written = 0; written < kFileBytes; written += lines.size()) {
            out << lines;
        }
        out << Utf8ToCp932("鳥取県,31\r\n");
    }
    if (!ResetPeakResident()) GTEST_SKIP() << "the memory high-water mark cannot be reset here";
    const long peakBefore = PeakResidentKiB();
    const std::uint64_t readBefore = BytesReadSoFar();
    LoadSitePrefecture(drives);
    EXPECT_GE(BytesReadSoFar() - readBefore, kFileBytes);
    EXPECT_EQ(CurrentSiteRegion(), SiteRegion::Tottori);
    // Holding the file would take 100 MiB more; streaming it takes nothing.
    EXPECT_LT(PeakResidentKiB() - peakBefore, 16 * 1024);
}

}  // namespace
}  // namespace velmira
