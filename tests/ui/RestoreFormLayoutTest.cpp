#include <QFrame>
#include <QRadioButton>
#include <QWindow>

#include "tests/ui/RestoreFormTestSupport.h"
#include "ui/ColorRef.h"
#include "ui/JapaneseFont.h"
#include "ui/LineShape.h"

namespace velmira::testing {
namespace {

TEST(ColorRef, RedIsTheLowByte) {
    EXPECT_EQ(FromColorRef(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(FromColorRef(0x00D4D4FF), QColor(255, 212, 212));
    EXPECT_EQ(FromColorRef(0x00FF8080), QColor(128, 128, 255));
}

TEST(JapaneseFont, SizesArePixelsForTheLayoutsDpi) {
    const QFont big = JapaneseFont(14.25, true);
    EXPECT_EQ(big.pixelSize(), 19);
    EXPECT_TRUE(big.underline());
    EXPECT_EQ(big.weight(), QFont::Normal);
    EXPECT_EQ(big.families(),
              (QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                           QStringLiteral("Noto Sans CJK JP")}));
    EXPECT_EQ(JapaneseFont(9.75, true).pixelSize(), 13);
    EXPECT_FALSE(JapaneseFont(9).underline());
}

TEST_F(RestoreFormTest, ControlsSitWhereTheLayoutPutsThem) {
    Open();
    EXPECT_EQ(form->size(), QSize(324, 325));
    EXPECT_EQ(Find("CmdGd(1)")->pos(), QPoint(235, 156));
    EXPECT_EQ(Find("CmdGd(0)")->pos(), QPoint(287, 198));
    EXPECT_EQ(DrvList()->geometry(), QRect(111, 154, 30, 74));
    EXPECT_EQ(Find("WakuFrame(2)")->geometry(), QRect(148, 149, 83, 55));
    EXPECT_EQ(Find("SentakuOp(1)")->geometry(), QRect(10, 34, 69, 14));
    EXPECT_EQ(Find("Label1(3)")->geometry(), QRect(10, 16, 291, 60));
    EXPECT_EQ(Find("Line1(0)")->geometry(), QRect(6, 24, 308, 1));
    EXPECT_EQ(Find("Line1(1)")->geometry(), QRect(8, 144, 308, 1));
    // The load lays the instructions panel over the progress panel.
    EXPECT_EQ(Find("WakuFrame(0)")->geometry(), QRect(6, 25, 315, 116));
    EXPECT_EQ(Find("WakuFrame(1)")->geometry(), Find("WakuFrame(0)")->geometry());
    EXPECT_TRUE(ProgressShowing());
    EXPECT_TRUE(InstructionsShowing());
    QWidget* front = form->childAt(QPoint(300, 130));
    EXPECT_EQ(front, Find("WakuFrame(1)"));
}

TEST_F(RestoreFormTest, TextsFitAndLabelButtonsUseTheirFonts) {
    Open();
    for (const char* name : {"Label1(0)", "Label1(1)", "Label1(2)", "CmdGd(0)", "CmdGd(1)"}) {
        auto* label = Find<QLabel>(name);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
        EXPECT_GE(label->height(), label->fontMetrics().height()) << name;
    }
    for (const char* name : {"Label1(3)", "Label1(4)"}) {
        auto* label = Find<QLabel>(name);
        EXPECT_TRUE(label->wordWrap()) << name;
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name;
    }
    // Option captions in their boxes.
    for (const char* name : {"SentakuOp(0)", "SentakuOp(1)"}) {
        auto* option = Find<QRadioButton>(name);
        EXPECT_LE(option->sizeHint().width(), option->width()) << name;
    }
    auto* start = Find<QLabel>("CmdGd(1)");
    EXPECT_EQ(start->font().pixelSize(), 19);
    EXPECT_TRUE(start->font().underline());
    EXPECT_EQ(Find<QLabel>("CmdGd(0)")->font().pixelSize(), 13);
}

TEST_F(RestoreFormTest, LoadColoursTheWindowAndItsPanels) {
    Open();
    const QColor pink(255, 212, 212);
    EXPECT_EQ(form->palette().color(QPalette::Window), pink);
    for (const char* name : {"WakuFrame(0)", "WakuFrame(1)", "WakuFrame(2)", "SentakuOp(0)"}) {
        QWidget* widget = Find(name);
        EXPECT_EQ(widget->palette().color(widget->backgroundRole()), pink) << name;
        EXPECT_TRUE(widget->autoFillBackground()) << name;
    }
    EXPECT_EQ(Find<QFrame>("WakuFrame(0)")->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(Find<QFrame>("WakuFrame(1)")->frameShape(), QFrame::NoFrame);
    EXPECT_NE(Find<QFrame>("WakuFrame(2)")->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(Find("Label1(2)")->palette().color(QPalette::WindowText), QColor(128, 128, 255));
    EXPECT_EQ(Find<LineShape>("Line1(0)")->color(), QColor(128, 128, 255));
    EXPECT_EQ(Find<LineShape>("Line1(1)")->color(), QColor(192, 192, 192));
}

// Drive list, the option group at its selected option, 復元開始, 閉る and
// round again; Enter or Space on a label-button is its click, and a click
// leaves the focus where it was.
TEST_F(RestoreFormTest, KeyboardReachesEveryCommandInOrder) {
    Open();
    EXPECT_EQ(form->focusWidget(), DrvList());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList{"SentakuOp(0)", "CmdGd(1)", "CmdGd(0)", "DrvList"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Find("CmdGd(0)"));

    QTest::mouseClick(Find("SentakuOp(1)"), Qt::LeftButton);
    QTest::mousePress(Find("CmdGd(1)"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Find("SentakuOp(1)"));
    QTest::mouseRelease(Find("CmdGd(1)"), Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_TRUE(boxes.seen().empty());
    QTest::keyClick(Find("CmdGd(1)"), Qt::Key_Return);
    QTest::keyClick(Find("CmdGd(1)"), Qt::Key_Space);
    EXPECT_EQ(boxes.Texts(), (QStringList{kNoDriveSelected, kNoDriveSelected}));
    QTest::keyClick(Find("CmdGd(0)"), Qt::Key_Space);
    EXPECT_FALSE(form->isVisible());
}

// Hover: a label-button turns red under the pointer and only the bare
// window (or a line on it) turns both black again.
class HoverTest : public RestoreFormTest {
  protected:
    void MoveTo(QPoint point) { QTest::mouseMove(form->windowHandle(), point); }
    void MoveOnto(const char* name) {
        QWidget* widget = Find(name);
        MoveTo(widget->mapTo(form.get(), widget->rect().center()));
    }
    QColor ColorOf(const char* name) { return Find(name)->palette().color(QPalette::WindowText); }

    const QColor red{255, 0, 0};
    const QColor black{0, 0, 0};
};

TEST_F(HoverTest, LabelButtonsTurnRedAndTheBareWindowResetsThem) {
    Open();
    EXPECT_FALSE(Find("CmdGd(1)")->testAttribute(Qt::WA_SetPalette));
    MoveOnto("CmdGd(1)");
    EXPECT_EQ(ColorOf("CmdGd(1)"), red);
    EXPECT_FALSE(Find("CmdGd(0)")->testAttribute(Qt::WA_SetPalette));

    MoveTo(QPoint(50, 250));  // bare window below the drive caption
    EXPECT_EQ(ColorOf("CmdGd(1)"), black);
    EXPECT_EQ(ColorOf("CmdGd(0)"), black);

    MoveOnto("CmdGd(0)");
    EXPECT_EQ(ColorOf("CmdGd(0)"), red);
    MoveTo(QPoint(60, 144));  // on Line1(1)
    EXPECT_EQ(ColorOf("CmdGd(0)"), black);
    MoveOnto("CmdGd(1)");
    MoveTo(QPoint(100, 24));  // on Line1(0)
    EXPECT_EQ(ColorOf("CmdGd(1)"), black);
}

TEST_F(HoverTest, OtherControlsAndFramesKeepTheHighlight) {
    Open();
    MoveOnto("CmdGd(1)");
    for (const char* name : {"DrvList", "SentakuOp(0)", "Label1(0)", "Label1(2)", "Label1(4)"}) {
        MoveOnto(name);
        EXPECT_EQ(ColorOf("CmdGd(1)"), red) << name;
    }
    MoveTo(QPoint(229, 170));  // inside the option frame, beside the options
    EXPECT_EQ(ColorOf("CmdGd(1)"), red);
    MoveTo(QPoint(315, 130));  // the instructions panel's own background
    EXPECT_EQ(ColorOf("CmdGd(1)"), red);

    // Straight from one label-button to the other leaves both red.
    MoveOnto("CmdGd(0)");
    EXPECT_EQ(ColorOf("CmdGd(1)"), red);
    EXPECT_EQ(ColorOf("CmdGd(0)"), red);
}

}  // namespace
}  // namespace velmira::testing
