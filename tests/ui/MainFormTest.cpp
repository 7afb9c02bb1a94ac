#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "base/BaseModule.h"
#include "platform/TextCodec.h"
#include "tests/ui/MessageBoxAnswerer.h"
#include "tests/ui/UiSandbox.h"
#include "ui/MainForm.h"
#include "ui/RestoreForm.h"

namespace velmira::testing {
namespace {

// Runs `step` once a restore window is the active modal window, from inside
// its modal loop.
void WhenRestoreFormOpens(const std::function<void(RestoreForm&)>& step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        auto* form = qobject_cast<RestoreForm*>(QApplication::activeModalWidget());
        if (form == nullptr || !form->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        step(*form);
    });
    timer->start();
}

QStringList Entries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) entries << list->item(row)->text();
    return entries;
}

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseModule::SitePrefecture.clear();
        sandbox.Write("C/Velmira/set/info.ini", Utf8ToCp932("鳥取県,1\r\n"));
    }

    template <typename Widget = QWidget>
    Widget* Find(const char* name) const {
        auto* widget = main.findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) ADD_FAILURE() << "no control " << name;
        return widget;
    }

    UiSandbox sandbox;
    MessageBoxAnswerer boxes;
    MainForm main{sandbox.Context()};
};

TEST_F(MainFormTest, WindowLayout) {
    main.Load();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_EQ(main.windowTitle(), QStringLiteral("バックアップデータ復元 Ver2.0"));
    EXPECT_EQ(main.size(), QSize(303, 186));
    EXPECT_EQ(Find("Command1(0)")->geometry(), QRect(163, 151, 126, 27));
    EXPECT_EQ(Find("Command1(1)")->geometry(), QRect(33, 151, 59, 27));
    EXPECT_EQ(main.focusWidget(), Find("Command1(0)"));
    auto* warning = Find<QLabel>("Label3");
    EXPECT_EQ(warning->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_GE(warning->width(), warning->fontMetrics().horizontalAdvance(warning->text()));
    EXPECT_LE(warning->geometry().right(), main.width());
    auto* notice = Find<QLabel>("Label2");
    EXPECT_EQ(notice->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_GT(notice->geometry().right(), main.width());
    // The five lines fit; the closing line break only adds an empty line.
    auto* intro = Find<QLabel>("Label1");
    const QRect introText =
        intro->fontMetrics().boundingRect(intro->rect(), Qt::TextWordWrap, intro->text().trimmed());
    EXPECT_EQ(introText.height(), 5 * intro->fontMetrics().height());
    EXPECT_LE(introText.height(), intro->height());
}

// Each opening builds a new window: a drive plugged in meanwhile is listed
// and the option is back on the first one.
TEST_F(MainFormTest, NextOpensAFreshModalRestoreWindowEachTime) {
    main.Load();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    sandbox.MakeDir("F");

    QPointer<RestoreForm> first;
    WhenRestoreFormOpens([&](RestoreForm& form) {
        first = &form;
        EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(Entries(form.findChild<QListWidget*>("DrvList")), (QStringList{"F", "G"}));
        QTest::mouseClick(form.findChild<QRadioButton*>("SentakuOp(1)"), Qt::LeftButton);
        QTest::mouseClick(form.findChild<QLabel*>("CmdGd(0)"), Qt::LeftButton);
    });
    QTest::mouseClick(Find("Command1(0)"), Qt::LeftButton);
    EXPECT_TRUE(first.isNull());

    sandbox.SetDrives("C fixed\nF removable\nH removable\n");
    bool opened = false;
    WhenRestoreFormOpens([&](RestoreForm& form) {
        opened = true;
        EXPECT_EQ(Entries(form.findChild<QListWidget*>("DrvList")), (QStringList{"F", "H"}));
        EXPECT_TRUE(form.findChild<QRadioButton*>("SentakuOp(0)")->isChecked());
        EXPECT_EQ(form.findChild<QRadioButton*>("SentakuOp(0)")->text(), QStringLiteral("カルテ"));
        form.Commands().CmdGd_Click(0);
    });
    QTest::mouseClick(Find("Command1(0)"), Qt::LeftButton);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(MainFormTest, QuitClosesTheWindow) {
    main.Load();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QTest::mouseClick(Find("Command1(1)"), Qt::LeftButton);
    EXPECT_FALSE(main.isVisible());
}

// Tab reaches "終了" after "次に進む", and Enter presses the focused button.
TEST_F(MainFormTest, KeyboardReachesQuit) {
    main.Load();
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Find("Command1(1)"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(main.isVisible());
}

}  // namespace
}  // namespace velmira::testing
