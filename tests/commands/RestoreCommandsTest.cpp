#include <gtest/gtest.h>

#include <algorithm>

#include "base/BaseModule.h"
#include "commands/Layout.h"
#include "commands/RestoreCommands.h"
#include "platform/NumberedError.h"
#include "tests/commands/RecordingWindow.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"

namespace velmira::testing {
namespace {

// The machine's drives as a fixed table.
class TableDriveSource : public DriveSource {
  public:
    void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) override {
        for (const DriveEntry& entry : entries) visit(entry);
    }
    std::vector<DriveEntry> entries{{'C', DriveType::Fixed},
                                    {'D', DriveType::CdRom},
                                    {'F', DriveType::Removable},
                                    {'G', DriveType::Removable}};
};

// Drive C with the chart system's four folders and drive F, both in a
// temporary folder; G is listed but has no medium.
class CommandsTest : public ::testing::Test {
  protected:
    CommandsTest() {
        for (const char* folder : {"H15", "set", "cb", "kdata"}) dir.MakeDir(Velmira(folder));
        dir.MakeDir("F");
        drives.roots = {{'C', dir.path() / "C"}, {'F', dir.path() / "F"}};
        BaseModule::SitePrefecture = "茨城県";
    }

    std::filesystem::path Velmira(const std::filesystem::path& relative) const {
        return dir.path() / "C" / "Velmira" / relative;
    }
    void Write(const std::filesystem::path& relative, std::string_view bytes = "data") const {
        dir.Write(relative, bytes);
    }

    TempDir dir;
    FolderDrives drives;
    TableDriveSource source;
    RecordingWindow window;
    RestoreCommands commands{window, drives, source};
};

namespace fs = std::filesystem;
using Steps = std::vector<std::string>;

const std::string kDriveListEmpty =
    "確認: バックアップ機器が接続されていません。\r\nまたは電源が入っていません。";
const std::string kNoDriveSelected = "確認: バックアップドライブを指定してください。";
const std::string kConfirm = "復元処理: 処理を開始します。";
const std::string kFinished = "確認: 終了しました。";
const std::string kNoMedium = "エラー: ディスクが挿入されていない。または、ディスクが違います。";
const std::string kFailed = "エラー: 復元が正常に終了しませんでした。";

TEST_F(CommandsTest, LoadSetsTheOptionsByRegionAndListsRemovableDrives) {
    commands.Form_Load();
    EXPECT_EQ(window.options, (Steps{"治療簿", "カルテ"}));
    EXPECT_EQ(window.drives.letters, (Steps{"F", "G"}));

    BaseModule::SitePrefecture = "鳥取県";
    commands.Form_Load();
    EXPECT_EQ(window.options, (Steps{"カルテ", "検案書"}));

    BaseModule::SitePrefecture = "茨城";
    commands.Form_Load();
    EXPECT_TRUE(window.options.empty());
    EXPECT_TRUE(window.boxes.empty());
}

// A drive source that fails after its first removable drive.
class FailingDriveSource : public DriveSource {
  public:
    void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) override {
        visit(DriveEntry{'E', DriveType::Removable});
        throw NumberedError(ErrorNumber::DeviceIoError, "drive table");
    }
};

TEST_F(CommandsTest, FailedDriveListingEndsTheLoadSilently) {
    FailingDriveSource failing;
    RestoreCommands failingCommands(window, drives, failing);
    failingCommands.Form_Load();
    EXPECT_EQ(window.drives.letters, Steps{"E"});
    EXPECT_TRUE(window.boxes.empty());
    failingCommands.CmdGd_MouseMove(1);
    EXPECT_EQ(window.colors[1], colors::kHighlightColor);
}

TEST_F(CommandsTest, HoverHighlightsOneButtonAndTheBareWindowResetsBoth) {
    commands.Form_Load();
    commands.CmdGd_MouseMove(1);
    commands.CmdGd_MouseMove(0);
    commands.CmdGd_MouseMove(2);
    EXPECT_EQ(window.colors[0], colors::kHighlightColor);
    EXPECT_EQ(window.colors[1], colors::kHighlightColor);
    commands.Form_MouseMove();
    EXPECT_EQ(window.colors[0], colors::kBlack);
    EXPECT_EQ(window.colors[1], colors::kBlack);
}

TEST_F(CommandsTest, ChecksComeBeforeTheConfirmation) {
    source.entries = {{'C', DriveType::Fixed}};
    commands.Form_Load();
    commands.CmdGd_Click(1);
    EXPECT_EQ(window.boxes, Steps{kDriveListEmpty});

    window.boxes.clear();
    source.entries = {{'F', DriveType::Removable}};
    commands.Form_Load();
    commands.CmdGd_Click(1);
    EXPECT_EQ(window.boxes, Steps{kNoDriveSelected});
    EXPECT_FALSE(commands.IsRunning());
}

TEST_F(CommandsTest, CancelAtTheConfirmationListsAndCopiesNothing) {
    Write("F/BackUp2/T0001.dat");
    commands.Form_Load();
    window.selected = "F";
    window.answers = {false};
    commands.CmdGd_Click(1);
    EXPECT_EQ(window.log, Steps{"ask 2"});
    EXPECT_FALSE(fs::exists(Velmira("cb/T0001.dat")));
}

struct JobCase {
    const char* prefecture;
    bool firstOption;
    const char* caption;
    // Where T0001.dat of BackUp2 lands, or "" for the chart job.
    const char* bookFolder;
};

class SuccessfulRestore : public CommandsTest, public ::testing::WithParamInterface<JobCase> {};

TEST_P(SuccessfulRestore, CopiesTheJobsFilesThenReportsCompletion) {
    const JobCase& job = GetParam();
    BaseModule::SitePrefecture = job.prefecture;
    Write("F/BackUp/K0001.sxd", "chart");
    Write("F/BackUp/base.ini", "base");
    Write("F/BackUp/readme.txt");
    Write("F/BackUp2/T0001.dat", "book");
    Write("C/Velmira/H15/K0001.sxd", "old chart");
    commands.Form_Load();
    window.selected = "F";
    window.firstOption = job.firstOption;
    commands.CmdGd_Click(1);

    const std::string caption = std::string("caption ") + job.caption;
    const std::string bookFolder = job.bookFolder;
    EXPECT_EQ(window.log, (Steps{"ask 2", "hold shutdown", caption, "show progress",
                                 "show instructions", "release shutdown", "discard", "ask 3"}));
    EXPECT_EQ(window.boxes, (Steps{kConfirm, kFinished}));
    if (bookFolder.empty()) {
        EXPECT_EQ(ReadAll(Velmira("H15/K0001.sxd")), "chart");
        EXPECT_EQ(ReadAll(Velmira("set/base.ini")), "base");
        EXPECT_TRUE(fs::is_empty(Velmira("cb")));
    } else {
        EXPECT_EQ(ReadAll(Velmira(fs::path(bookFolder) / "T0001.dat")), "book");
        EXPECT_EQ(ReadAll(Velmira("H15/K0001.sxd")), "old chart");
    }
    // The bar ends one twip wider than its frame: 1 + 3585 twips.
    EXPECT_FLOAT_EQ(window.fill, 3586.0F);
    EXPECT_FALSE(commands.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(
    EveryRegionAndOption, SuccessfulRestore,
    ::testing::Values(JobCase{"茨城県", true, "治療簿データを復元中････", "cb"},
                      JobCase{"茨城県", false, "カルテデータを復元中････", ""},
                      JobCase{"鳥取県", true, "カルテデータを復元中････", ""},
                      JobCase{"鳥取県", false, "検案書データを復元中････", "kdata"},
                      JobCase{"東京都", true, "カルテデータを復元中････", ""}));

// The box after a run is chosen by the error's number: 68 is the missing
// medium, anything else is a failed restore.
TEST_F(CommandsTest, ErrorsChooseTheirMessageByNumber) {
    BaseModule::SitePrefecture = "東京都";
    commands.Form_Load();
    window.selected = "G";  // no medium
    commands.CmdGd_Click(1);
    EXPECT_EQ(window.boxes, (Steps{kConfirm, kNoMedium}));
    EXPECT_EQ(window.log.back(), "ask 4");
    EXPECT_EQ(window.log.end()[-2], "discard");

    window.boxes.clear();
    window.selected = "F";  // no backup folder
    commands.CmdGd_Click(1);
    EXPECT_EQ(window.boxes, (Steps{kConfirm, kFailed}));
    EXPECT_EQ(window.caption, "処理中・・・・・。");

    // An empty folder divides by zero after the chart job's panel switch.
    window.boxes.clear();
    dir.MakeDir("F/BackUp");
    commands.CmdGd_Click(1);
    EXPECT_EQ(window.boxes, (Steps{kConfirm, kFailed}));
    EXPECT_EQ(window.log.end()[-4], "show progress");
    EXPECT_EQ(window.log.end()[-3], "release shutdown");
    EXPECT_FALSE(commands.IsRunning());
}

// Long copies pump events in between too, so the bar is read at each
// change rather than at each pump.
TEST_F(CommandsTest, BarGrowsOneEqualStepPerFileAndCommandsDuringTheRunAreDropped) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) Write(fs::path("F/BackUp2") / name);
    commands.Form_Load();
    window.selected = "F";
    bool mayCloseDuringRun = true;
    window.onPump = [&](int pump) {
        if (pump != 1) return;
        mayCloseDuringRun = commands.MayClose();
        commands.CmdGd_Click(1);
        commands.CmdGd_Click(0);
    };
    commands.CmdGd_Click(1);
    EXPECT_FALSE(mayCloseDuringRun);
    EXPECT_EQ(window.log.back(), "ask 3");
    EXPECT_EQ(window.boxes, (Steps{kConfirm, kFinished}));
    std::vector<float> fills = window.fillAtPump;
    // Pumps while the folder is listed still see the bar the last run left.
    fills.erase(fills.begin(), std::find(fills.begin(), fills.end(), 1.0F));
    fills.erase(std::unique(fills.begin(), fills.end()), fills.end());
    const float step = 3585.0F / 3.0F;
    ASSERT_EQ(fills.size(), 4U);
    EXPECT_FLOAT_EQ(fills[0], 1.0F);
    EXPECT_FLOAT_EQ(fills[1], 1.0F + step);
    EXPECT_FLOAT_EQ(fills[2], 1.0F + step + step);
    EXPECT_FLOAT_EQ(fills[3], 1.0F + 3585.0F);

    EXPECT_TRUE(commands.MayClose());
    commands.CmdGd_Click(0);
    EXPECT_EQ(window.log.back(), "close");
}

// Keys typed at every pump of a run, up to the last one in the final flush,
// still wait when the run ends: none of them answers the completion box.
TEST_F(CommandsTest, KeysTypedDuringTheRunAndItsFlushNeverAnswerTheCompletionBox) {
    for (const char* name : {"a.dat", "b.dat"}) Write(fs::path("F/BackUp2") / name);
    commands.Form_Load();
    window.selected = "F";
    int pumpsAtTheFullBar = 0;
    window.onPump = [&](int) {
        window.typedAhead = 1;
        if (window.fill == 3586.0F) ++pumpsAtTheFullBar;
    };
    commands.CmdGd_Click(1);
    // The last file's yield, then the wait for the copies and the flush.
    EXPECT_GE(pumpsAtTheFullBar, 2);
    EXPECT_EQ(window.boxes, (Steps{kConfirm, kFinished}));
    EXPECT_EQ(window.answeredByTypeAhead, 0);
}

// The same for the error box of a copy that fails: the flush of the files
// before it pumps too.
TEST_F(CommandsTest, KeysTypedDuringAFailingRunNeverAnswerTheErrorBox) {
    for (const char* name : {"a.dat", "b.dat"}) Write(fs::path("F/BackUp2") / name);
    Write("C/Velmira/cb/b.dat", "old");
    fs::permissions(Velmira("cb/b.dat"), fs::perms::owner_read);
    commands.Form_Load();
    window.selected = "F";
    window.onPump = [&](int) { window.typedAhead = 1; };
    commands.CmdGd_Click(1);
    EXPECT_EQ(window.boxes, (Steps{kConfirm, kFailed}));
    EXPECT_EQ(window.answeredByTypeAhead, 0);
}

}  // namespace
}  // namespace velmira::testing
