#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <string>

#include "drives/MountTableWatch.h"
#include "tests/support/PrivateMountNamespace.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(MountTableWatchTest, AnOrdinaryFileIsComparedByContent) {
    TempDir dir;
    const fs::path table = dir.Write("mountinfo", "100 1 8:17 / /media/a rw - vfat /dev/sdb1 rw\n");
    MountTableWatch watch(table);
    EXPECT_TRUE(watch.Changed());
    EXPECT_FALSE(watch.Changed());
    EXPECT_FALSE(watch.Changed());

    // Rewritten at once with the same size: time and size alike tell nothing.
    dir.Write("mountinfo", "100 1 8:17 / /media/b rw - vfat /dev/sdb1 rw\n");
    EXPECT_TRUE(watch.Changed());
    EXPECT_FALSE(watch.Changed());

    // Gone: the reader must meet the error, every time.
    fs::remove(table);
    EXPECT_TRUE(watch.Changed());
    EXPECT_TRUE(watch.Changed());
    dir.Write("mountinfo", "100 1 8:17 / /media/b rw - vfat /dev/sdb1 rw\n");
    EXPECT_TRUE(watch.Changed());
    EXPECT_FALSE(watch.Changed());
}

TEST(MountTableWatchTest, TheKernelsTableReportsMountsAndUnmounts) {
    TempDir dir;
    const fs::path point = dir.MakeDir("point");
    const auto failure = testing::InPrivateMountNamespace([&point]() -> std::string {
        MountTableWatch watch("/proc/self/mountinfo");
        if (!watch.Changed()) return "first call reported no change";
        if (watch.Changed()) return "unchanged table reported as changed";
        if (::mount("none", point.c_str(), "tmpfs", 0, nullptr) != 0) return "mount failed";
        if (!watch.Changed()) return "mount not reported";
        if (watch.Changed()) return "mount reported twice";
        if (::umount(point.c_str()) != 0) return "umount failed";
        if (!watch.Changed()) return "unmount not reported";
        return "";
    });
    if (!failure) GTEST_SKIP() << "no private mount namespace on this machine";
    EXPECT_EQ(*failure, "");
}

}  // namespace
}  // namespace velmira
