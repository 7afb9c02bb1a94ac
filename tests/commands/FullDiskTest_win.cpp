// A restore into a full disk under Wine, through the command flow: drive C's
// Velmira\H15 is a file system of 1 MiB of its own, mounted by
// scripts/test-windows-installer, which sets VELMIRA_TEST_FULL_DISK. Not a
// CTest test: it needs that mount.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/RestoreCommands.h"
#include "drives/WindowsDrives_win.h"
#include "tests/commands/RecordingWindow.h"
#include "tests/support/TempDir.h"

namespace velmira::testing {
namespace {

namespace fs = std::filesystem;
using Steps = std::vector<std::string>;

TEST(FullDisk, AFileThatDoesNotFitFailsTheRestoreAndKeepsItsOldContent) {
    if (std::getenv("VELMIRA_TEST_FULL_DISK") == nullptr) {
        GTEST_SKIP() << "needs C:\\Velmira\\H15 on a small file system of its own";
    }
    const fs::path h15 = L"C:\\Velmira\\H15";
    const fs::path backup = L"F:\\BackUp";
    for (const auto& entry : fs::directory_iterator(h15)) fs::remove_all(entry.path());
    fs::remove_all(backup);
    // K0003 does not fit beside its old copy; K0002 and K0004 have old ones.
    const std::string bigOld(200 * 1024, 'o');
    const std::string bigNew(2 * 1024 * 1024, 'n');
    WriteFile(backup / "K0001.sxd", "new 1");
    WriteFile(backup / "K0002.sxd", "new 2");
    WriteFile(backup / "K0003.sxd", bigNew);
    WriteFile(backup / "K0004.sxd", "new 4");
    WriteFile(h15 / "K0002.sxd", "old 2");
    WriteFile(h15 / "K0003.sxd", bigOld);
    WriteFile(h15 / "K0004.sxd", "old 4");

    WindowsDrives drives;
    RecordingWindow window;
    window.drives.letters = {"F"};
    window.selected = "F";
    RestoreCommands commands(window, drives, drives);
    commands.CmdGd_Click(1);

    EXPECT_EQ(window.boxes,
              (Steps{"復元処理: 処理を開始します。", "エラー: 復元が正常に終了しませんでした。"}));
    EXPECT_EQ(ReadAll(h15 / "K0001.sxd"), "new 1");
    EXPECT_EQ(ReadAll(h15 / "K0002.sxd"), "new 2");
    EXPECT_TRUE(ReadAll(h15 / "K0003.sxd") == bigOld) << "K0003.sxd is not its old content";
    EXPECT_EQ(ReadAll(h15 / "K0004.sxd"), "old 4");
    EXPECT_EQ(FolderEntries(h15), (Steps{"K0001.sxd", "K0002.sxd", "K0003.sxd", "K0004.sxd"}));
}

}  // namespace
}  // namespace velmira::testing
