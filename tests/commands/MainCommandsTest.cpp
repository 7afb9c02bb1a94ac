#include <gtest/gtest.h>

#include "base/BaseModule.h"
#include "commands/Layout.h"
#include "commands/MainCommands.h"
#include "commands/StartupReport.h"
#include "platform/NumberedError.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/TempDir.h"

namespace velmira::testing {
namespace {

class RecordingMainWindow : public MainWindow {
  public:
    void SetLabelTexts(const std::string& label1, const std::string& label2) override {
        labels = {label1, label2};
    }
    void ShowRestoreWindow() override { log.push_back("restore window"); }
    void Close() override { log.push_back("close"); }

    std::vector<std::string> labels;
    std::vector<std::string> log;
};

class MainCommandsTest : public ::testing::Test {
  protected:
    MainCommandsTest() {
        drives.roots = {{'C', dir.path()}};
        BaseModule::SitePrefecture.clear();
    }

    TempDir dir;
    FolderDrives drives;
    RecordingMainWindow window;
    MainCommands commands{window, drives};
};

TEST_F(MainCommandsTest, LoadFillsTheLabelsThenReadsThePrefecture) {
    dir.Write("Velmira/set/info.ini", "\x92\xb9\x8e\xe6\x8c\xa7,1\r\n");  // 鳥取県 in CP932
    commands.Form_Load();
    ASSERT_EQ(window.labels.size(), 2U);
    EXPECT_EQ(window.labels[0].rfind("このプログラムはバックアップされたカルテデータ･\r\n", 0), 0U);
    EXPECT_EQ(BaseModule::SitePrefecture, "鳥取県");
}

TEST_F(MainCommandsTest, MissingSettingsFileEscapesTheLoadAfterTheLabels) {
    try {
        commands.Form_Load();
        FAIL() << "the load went through";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.code(), 76);
        const std::string report = StartupReport::Text(error, drives);
        EXPECT_EQ(
            report.rfind("起動できません。\n\nエラー 76: パスが見つかりません。\n設定ファイル: "
                         "C:\\Velmira\\set\\info.ini\n(",
                         0),
            0U)
            << report;
    }
    EXPECT_EQ(window.labels.size(), 2U);
    EXPECT_TRUE(BaseModule::SitePrefecture.empty());
}

TEST_F(MainCommandsTest, NextOpensTheRestoreWindowAndQuitCloses) {
    commands.Command1_Click(0);
    commands.Command1_Click(1);
    EXPECT_EQ(window.log, (std::vector<std::string>{"restore window", "close"}));
}

TEST(Layout, EdgesAreRoundedSoNeighboursStayFlushAtAnyDpi) {
    EXPECT_EQ(ToPixels({570, 885, 3585, 135}), (PixelRect{38, 59, 239, 9}));
    EXPECT_EQ(ToPixels({570, 885, 3585, 135}, 144), (PixelRect{57, 89, 359, 13}));
    // 1000 twips is 66.7 px: rounding sizes would leave a gap or overlap.
    const PixelRect left = ToPixels({0, 0, 1000, 100});
    const PixelRect right = ToPixels({1000, 0, 1000, 100});
    EXPECT_EQ(left.left + left.width, right.left);
    EXPECT_EQ(TwipsToPixels(7.5), 1);
    EXPECT_EQ(TwipsToPixels(7.4), 0);
}

}  // namespace
}  // namespace velmira::testing
