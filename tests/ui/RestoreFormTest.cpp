#include <QCloseEvent>
#include <QRadioButton>
#include <vector>

#include "RestoreFormTestSupport.h"
#include "TempDir.h"

namespace velmira::testing {
namespace {

namespace fs = std::filesystem;

using Answer = QMessageBox::StandardButton;

// The boxes are real application-modal message boxes without an icon.
TEST_F(RestoreFormTest, EmptyDriveListIsReportedInAPlainBox) {
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

TEST_F(RestoreFormTest, ConfirmationOffersCancelInJapanese) {
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
}

// The bar is kept in exact twips and drawn rounded to whole pixels.
TEST_F(RestoreFormTest, BarIsDrawnInWholePixelsAtEveryStep) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        sandbox.Write(fs::path("F/BackUp2") / name);
    Open();
    SelectDrive("F");
    std::vector<int> drawnWidths;
    QObject::connect(form.get(), &RestoreForm::Yielding, [&] {
        const int width = Find("SyoriSp(1)")->width();
        if (drawnWidths.empty() || drawnWidths.back() != width) drawnWidths.push_back(width);
    });
    ClickStart();
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
