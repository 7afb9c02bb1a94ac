#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <fstream>
#include <functional>
#include <set>

#include "app/ProgramStart.h"
#include "app/StartupBox.h"
#include "app/demo/DemoSandbox.h"
#include "drives/SandboxDrives.h"
#include "tests/support/TempDir.h"
#include "ui/MainForm.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

QApplication& App() {
    return *qApp;
}

// Calls `act` on the first window that `find` picks while the event loop
// runs. A window that never comes ends the loops after a few seconds, so a
// test fails instead of hanging.
class WhenShown {
  public:
    WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
        QObject::connect(&poll_, &QTimer::timeout, [this, find, act] {
            if (QWidget* window = find()) {
                poll_.stop();
                act(window);
            } else if (++ticks_ == 500) {
                poll_.stop();
                QCoreApplication::exit(kGaveUp);
            }
        });
        poll_.start(10);
    }

    static constexpr int kGaveUp = 99;

  private:
    QTimer poll_;
    int ticks_ = 0;
};

QWidget* ActiveMessageBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

QWidget* VisibleMainForm() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<MainForm*>(window) != nullptr && window->isVisible()) return window;
    }
    return nullptr;
}

bool AnyWindowVisible() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) return true;
    }
    return false;
}

class ProgramStartTest : public ::testing::Test {
  protected:
    ProgramStartTest()
        : start(App(), [this](const QString& text) {
              reports.push_back(text);
              windowAtReport = windowAtReport || AnyWindowVisible();
          }) {}

    TempDir parent;
    std::vector<QString> reports;
    bool windowAtReport = false;
    ProgramStart start;
};

TEST_F(ProgramStartTest, FixesJapaneseForQtsOwnTexts) {
    EXPECT_EQ(QLocale().language(), QLocale::Japanese);
    ASSERT_TRUE(start.HasJapaneseTexts());
    QMessageBox box(QMessageBox::NoIcon, "t", "m", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

TEST_F(ProgramStartTest, IconIsA32By32PictureInTheSixteenClassicColours) {
    const QImage image(QStringLiteral(":/velmira/velmira-restore.xpm"));
    ASSERT_EQ(image.size(), QSize(32, 32));
    const std::set<QRgb> classic = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000,
                                    0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
                                    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                                    0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            EXPECT_TRUE(classic.count(pixel)) << x << "," << y << std::hex << " " << pixel;
        }
    }
    EXPECT_FALSE(QApplication::windowIcon().isNull());
}

TEST_F(ProgramStartTest, ShowsTheStartWindowAndEndsWhenItCloses) {
    SandboxDrives drives(DemoSandbox::Create(parent.path()));
    bool shown = false;
    const WhenShown closeIt(VisibleMainForm, [&](QWidget* form) {
        shown = true;
        form->close();
    });
    EXPECT_EQ(start.Run(drives, drives), 0);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(reports.empty());
}

// A settings file that cannot be read: no window, a report naming the
// error and the file, a non-zero status.
TEST_F(ProgramStartTest, CannotStartWithoutItsSettings) {
    struct Case {
        std::function<void(const fs::path& setFolder)> spoil;
        const char* error;
    };
    const Case cases[] = {
        {[](const fs::path& set) { fs::remove(set / "info.ini"); },
         "エラー 53: ファイルが見つかりません。"},
        {[](const fs::path& set) { fs::remove_all(set); }, "エラー 76: パスが見つかりません。"},
        {[](const fs::path& set) { std::ofstream(set / "info.ini") << " \r\n"; }, "エラー 62: "},
    };
    for (const Case& c : cases) {
        reports.clear();
        const fs::path dir = DemoSandbox::Create(parent.path());
        c.spoil(dir / "C/Velmira/set");
        SandboxDrives drives(dir);

        EXPECT_NE(start.Run(drives, drives), 0);
        EXPECT_FALSE(windowAtReport);
        EXPECT_FALSE(AnyWindowVisible());
        ASSERT_EQ(reports.size(), 1U);
        const std::string report = reports[0].toStdString();
        EXPECT_NE(report.find(c.error), std::string::npos) << report;
        EXPECT_NE(report.find("C:\\Velmira\\set\\info.ini"), std::string::npos) << report;
        EXPECT_NE(report.find((dir / "C/Velmira/set/info.ini").string()), std::string::npos)
            << report;
    }
}

TEST(StartupBoxTest, ShowsAPlainBoxAndWritesTheSameToStandardError) {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::RichText;
    const WhenShown answer(ActiveMessageBox, [&](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        format = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    ::testing::internal::CaptureStderr();
    StartupBox::Show(QStringLiteral("起動できません。"));
    const std::string written = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(title, QStringLiteral("バックアップデータ復元"));
    EXPECT_EQ(text, QStringLiteral("起動できません。"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(format, Qt::PlainText);
    // The offscreen platform may add its own chatter after it.
    EXPECT_EQ(written.rfind("起動できません。\n", 0), 0U) << written;
}

}  // namespace
}  // namespace velmira
