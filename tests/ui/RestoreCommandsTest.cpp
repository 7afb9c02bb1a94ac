#include <QCloseEvent>
#include <QRadioButton>
#include <vector>

#include "RestoreFormTestSupport.h"
#include "TempDir.h"

namespace velmira::testing {
namespace {

namespace fs = std::filesystem;

using Answer = QMessageBox::StandardButton;

TEST_F(RestoreFormTest, EmptyDriveListIsReportedBeforeAnyConfirmation) {
    sandbox.SetDrives("C fixed\nD cdrom\n");
    Open();
    ClickStart();
    ASSERT_EQ(boxes.Texts(), QStringList{kDriveListEmpty});
    const SeenBox& box = boxes.seen().front();
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.defaultButton, QMessageBox::Ok);
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
}

// The list has the focus and so a current entry, but nothing is selected.
TEST_F(RestoreFormTest, ListedDrivesWithoutSelectionAskForOne) {
    Open();
    ASSERT_EQ(DrvList()->count(), 2);
    ClickStart();
    EXPECT_EQ(boxes.Texts(), QStringList{kNoDriveSelected});
}

TEST_F(RestoreFormTest, CancelAtConfirmationListsAndCopiesNothing) {
    sandbox.Write("F/BackUp2/T0001.dat");
    Open();
    SelectDrive("F");
    boxes.Answer({Answer::Cancel});
    ClickStart();
    ASSERT_EQ(boxes.Texts(), QStringList{kConfirm});
    const SeenBox& box = boxes.seen().front();
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.defaultButton, QMessageBox::Ok);
    EXPECT_EQ(box.cancelText, QStringLiteral("キャンセル"));
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
    EXPECT_FALSE(fs::exists(sandbox.Velmira("cb/T0001.dat")));
    EXPECT_EQ(Find<QListWidget>("BackUpFileList(1)")->count(), 0);
    EXPECT_EQ(Caption(), QStringLiteral("処理中・・・・・。"));
}

struct JobCase {
    const char* prefecture;
    int option;  // the option the operator clicks; -1 when the group is hidden
    const char* caption;
    // Where T0001.dat of BackUp2 lands, or "" for the chart job.
    const char* bookFolder;
};

class SuccessfulRestore : public RestoreFormTest, public ::testing::WithParamInterface<JobCase> {
  protected:
    void SetUp() override { BaseModule::SitePrefecture = GetParam().prefecture; }
};

TEST_P(SuccessfulRestore, CopiesTheJobsFilesAndReportsCompletion) {
    const JobCase& job = GetParam();
    sandbox.Write("F/BackUp/K0001.sxd", "chart");
    sandbox.Write("F/BackUp/base.ini", "base");
    sandbox.Write("F/BackUp/tmpl.hxd", "template");
    sandbox.Write("F/BackUp/readme.txt");
    sandbox.Write("F/BackUp/BASE.INI");
    sandbox.Write("F/BackUp2/T0001.dat", "book");
    sandbox.Write("F/BackUp2/K0002.sxd", "book chart");
    sandbox.Write("C/Velmira/H15/K0001.sxd", "old chart");
    Open();
    if (job.option >= 0) {
        const std::string name = "SentakuOp(" + std::to_string(job.option) + ")";
        QTest::mouseClick(Find(name.c_str()), Qt::LeftButton);
    }
    SelectDrive("F");
    ClickStart();

    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFinished}));
    EXPECT_EQ(Caption(), QString::fromUtf8(job.caption));
    EXPECT_TRUE(InstructionsShowing());
    EXPECT_FALSE(ProgressShowing());
    const std::string bookFolder = job.bookFolder;
    if (bookFolder.empty()) {
        EXPECT_EQ(ReadAll(sandbox.Velmira("H15/K0001.sxd")), "chart");
        EXPECT_EQ(ReadAll(sandbox.Velmira("set/base.ini")), "base");
        EXPECT_EQ(ReadAll(sandbox.Velmira("set/tmpl.hxd")), "template");
        for (const char* skipped : {"readme.txt", "BASE.INI"}) {
            for (const char* folder : {"H15", "set", "cb", "kdata"}) {
                EXPECT_FALSE(fs::exists(sandbox.Velmira(fs::path(folder) / skipped)));
            }
        }
        EXPECT_TRUE(fs::is_empty(sandbox.Velmira("cb")));
        EXPECT_TRUE(fs::is_empty(sandbox.Velmira("kdata")));
    } else {
        EXPECT_EQ(ReadAll(sandbox.Velmira(fs::path(bookFolder) / "T0001.dat")), "book");
        EXPECT_EQ(ReadAll(sandbox.Velmira(fs::path(bookFolder) / "K0002.sxd")), "book chart");
        EXPECT_EQ(ReadAll(sandbox.Velmira("H15/K0001.sxd")), "old chart");
        EXPECT_FALSE(fs::exists(sandbox.Velmira("set/base.ini")));
    }
    // The bar ends one twip wider than its frame: 1 + 3585 twips.
    EXPECT_FLOAT_EQ(form->FillWidth(), 3586.0F);
}

INSTANTIATE_TEST_SUITE_P(EveryRegionAndOption, SuccessfulRestore,
                         ::testing::Values(JobCase{"茨城県", 0, "治療簿データを復元中････", "cb"},
                                           JobCase{"茨城県", 1, "カルテデータを復元中････", ""},
                                           JobCase{"鳥取県", 0, "カルテデータを復元中････", ""},
                                           JobCase{"鳥取県", 1, "検案書データを復元中････",
                                                   "kdata"},
                                           JobCase{"東京都", -1, "カルテデータを復元中････", ""}));

TEST_F(RestoreFormTest, DriveWithoutMediumGivesTheDiskMessage) {
    Open();
    SelectDrive("G");
    ClickStart();
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kNoMedium}));
}

TEST_F(RestoreFormTest, MediumWithoutBackupFolderGivesTheOtherErrorMessage) {
    BaseModule::SitePrefecture = "東京都";
    sandbox.MakeDir("F");
    Open();
    SelectDrive("F");
    ClickStart();
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFailed}));
    // Listing failed before the run touched the window.
    EXPECT_EQ(Caption(), QStringLiteral("処理中・・・・・。"));
    EXPECT_TRUE(InstructionsShowing());
}

// The chart job switches panels before it divides by the count, so an empty
// folder leaves the progress panel up; the other jobs fail before the switch.
TEST_F(RestoreFormTest, EmptyBackupFolderFailsAndLeavesThePanelsWhereTheRunStopped) {
    sandbox.MakeDir("F/BackUp");
    sandbox.MakeDir("F/BackUp2");
    Open();
    SelectDrive("F");
    ClickStart();  // treatment-book job
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFailed}));
    EXPECT_EQ(Caption(), QStringLiteral("治療簿データを復元中････"));
    EXPECT_TRUE(InstructionsShowing());
    EXPECT_TRUE(ProgressShowing());

    boxes.Clear();
    QTest::mouseClick(Find("SentakuOp(1)"), Qt::LeftButton);
    ClickStart();  // chart job
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFailed}));
    EXPECT_TRUE(ProgressShowing());
    EXPECT_FALSE(InstructionsShowing());
    // Drive and option stay as the operator chose them.
    ASSERT_EQ(DrvList()->selectedItems().size(), 1);
    EXPECT_EQ(DrvList()->selectedItems().front()->text(), QStringLiteral("F"));
    EXPECT_TRUE(Find<QRadioButton>("SentakuOp(1)")->isChecked());
}

TEST_F(RestoreFormTest, FailedCopyKeepsProgressUntilTheNextCompleteRun) {
    BaseModule::SitePrefecture = "東京都";
    sandbox.Write("F/BackUp/K0001.sxd", "one");
    sandbox.Write("F/BackUp/K0002.sxd", "two");
    fs::remove(sandbox.Velmira("H15"));
    Open();
    SelectDrive("F");
    ClickStart();
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFailed}));
    EXPECT_TRUE(ProgressShowing());
    EXPECT_FALSE(InstructionsShowing());

    boxes.Clear();
    fs::create_directory(sandbox.Velmira("H15"));
    ClickStart();
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFinished}));
    EXPECT_TRUE(InstructionsShowing());
    EXPECT_FALSE(ProgressShowing());
    EXPECT_EQ(ReadAll(sandbox.Velmira("H15/K0002.sxd")), "two");
}

// Every yield lets the window repaint and take input; the bar is kept in
// exact twips and drawn rounded to whole pixels.
TEST_F(RestoreFormTest, BarGrowsOneEqualStepPerFile) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        sandbox.Write(fs::path("F/BackUp2") / name);
    Open();
    SelectDrive("F");
    std::vector<float> fills;
    std::vector<int> drawnWidths;
    QObject::connect(form.get(), &RestoreForm::Yielding, [&] {
        fills.push_back(form->FillWidth());
        drawnWidths.push_back(Find("SyoriSp(1)")->width());
    });
    ClickStart();
    const float step = 3585.0F / 3.0F;
    ASSERT_EQ(fills.size(), 4U);
    EXPECT_FLOAT_EQ(fills[0], 1.0F);
    EXPECT_FLOAT_EQ(fills[1], 1.0F + step);
    EXPECT_FLOAT_EQ(fills[2], 1.0F + step + step);
    EXPECT_FLOAT_EQ(fills[3], 1.0F + 3585.0F);
    // Left edge 570 twips = 38 px; right edges round((570 + fill) / 15).
    EXPECT_EQ(drawnWidths, (std::vector<int>{1, 118 - 38, 197 - 38, 277 - 38}));
    EXPECT_EQ(Find("SyoriSp(0)")->geometry(), QRect(38, 59, 239, 9));
}

TEST_F(RestoreFormTest, CommandsAndClosingDuringARunAreIgnored) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        sandbox.Write(fs::path("F/BackUp2") / name);
    Open();
    SelectDrive("F");
    int yields = 0;
    bool runningAtYield = false;
    bool closeAccepted = true;
    QObject::connect(form.get(), &RestoreForm::Yielding, [&] {
        if (++yields != 2) return;
        runningAtYield = form->IsRunning();
        ClickStart();
        ClickClose();
        QCloseEvent close;
        QCoreApplication::sendEvent(form->windowHandle(), &close);
        closeAccepted = close.isAccepted();
        QTest::keyClick(form.get(), Qt::Key_Escape);
    });
    ClickStart();
    EXPECT_TRUE(runningAtYield);
    EXPECT_FALSE(closeAccepted);
    EXPECT_EQ(yields, 4);
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFinished}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(fs::exists(sandbox.Velmira("cb/c.dat")));
    EXPECT_FALSE(form->IsRunning());

    // Once the run is over the same commands work again.
    ClickClose();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(RestoreFormTest, ClosingByTheFrameWorksWhenNoRunIsInProgress) {
    Open();
    QCloseEvent close;
    QCoreApplication::sendEvent(form->windowHandle(), &close);
    EXPECT_TRUE(close.isAccepted());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(RestoreFormTest, EscapeDoesNotCloseTheWindow) {
    Open();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QTest::keyClick(DrvList(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
}

}  // namespace
}  // namespace velmira::testing
