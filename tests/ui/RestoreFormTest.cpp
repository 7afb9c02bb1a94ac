#include <QCloseEvent>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "commands/FramePacer.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestStick.h"
#include "tests/ui/RestoreFormTestSupport.h"
#include "ui/InputDiscarder.h"

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

// The bar is kept in exact twips and drawn rounded to whole pixels, at
// every step a frame or more after the last drawing; steps that come
// faster are drawn at most once a frame, and the latest width a frame
// after the last drawing at the latest.
TEST_F(RestoreFormTest, BarIsDrawnInWholePixelsNoMoreOftenThanOnceAFrame) {
    using namespace std::chrono;
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        sandbox.Write(fs::path("F/BackUp2") / name);
    Open();
    SelectDrive("F");
    // Left edge 570 twips = 38 px; right edges round((570 + fill) / 15).
    const std::vector<int> everyStep{1, 118 - 38, 197 - 38, 277 - 38};
    for (const milliseconds perFile : {milliseconds(25), milliseconds(0)}) {
        std::vector<int> drawnWidths;
        const auto connection = QObject::connect(form.get(), &RestoreForm::Yielding, [&] {
            std::this_thread::sleep_for(perFile);
            // Once the progress panel shows.
            if (Find("WakuFrame(1)")->isVisible()) return;
            const int width = Find("SyoriSp(1)")->width();
            if (drawnWidths.empty() || drawnWidths.back() != width) drawnWidths.push_back(width);
        });
        const auto start = steady_clock::now();
        ClickStart();
        const auto frames = (steady_clock::now() - start) / FramePacer::kFrame;
        QObject::disconnect(connection);
        if (perFile > FramePacer::kFrame) {
            // The first width may already be drawn as the panel shows.
            if (drawnWidths.front() != everyStep.front())
                drawnWidths.insert(drawnWidths.begin(), 1);
            EXPECT_EQ(drawnWidths, everyStep);
        } else {
            // A slow machine may see a frame end between two steps.
            ASSERT_FALSE(drawnWidths.empty());
            EXPECT_EQ(drawnWidths.front(), 1);
            EXPECT_LE(static_cast<long>(drawnWidths.size()), 1 + frames) << frames << " frames";
        }
        QTest::qWait(50);
        EXPECT_EQ(Find("SyoriSp(1)")->width(), 277 - 38);
        // The next run starts the bar a frame later.
        QTest::qWait(20);
    }
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

// The operator keeps typing and clicking on 復元開始 at every pump of a run,
// up to those of the final flush, and more keys still wait when the run
// ends: none of it starts a second run or answers the box that follows.
TEST_F(RestoreFormTest, TypingAheadDuringARunAndItsFlushNeverAnswersTheBox) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        sandbox.Write(fs::path("F/BackUp2") / name);
    Open();
    SelectDrive("F");
    QWidget* start = Find("CmdGd(1)");
    int pumpsAtTheFullBar = 0;
    QObject::connect(form.get(), &RestoreForm::Yielding, [&] {
        if (form->FillWidth() > form->FrameWidth()) ++pumpsAtTheFullBar;
        QTest::keyClick(start, Qt::Key_Return);
        QTest::keyClick(start, Qt::Key_Space);
        QTest::mouseClick(start, Qt::LeftButton);
        // Posted while the pump runs, so still waiting after it.
        QTimer::singleShot(0, start, [start] {
            for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QCoreApplication::postEvent(start,
                                            new QKeyEvent(type, Qt::Key_Return, Qt::NoModifier));
            }
        });
    });
    ClickStart();
    EXPECT_GE(pumpsAtTheFullBar, 2);  // the last file's yield, then the flush
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFinished}));
    EXPECT_TRUE(fs::exists(sandbox.Velmira("cb/c.dat")));
    EXPECT_FALSE(form->IsRunning());
}

// Return pressed at the run's last event pump and held down: the box that
// follows shows only once the key is up, so that the key never answers it.
TEST_F(RestoreFormTest, AKeyHeldDownAsTheRunEndsKeepsTheBoxAwayUntilItIsUp) {
    sandbox.Write("F/BackUp2/a.dat");
    Open();
    SelectDrive("F");
    QWidget* start = Find("CmdGd(1)");
    bool pressed = false;
    std::size_t boxesAtRelease = 0;
    QObject::connect(form.get(), &RestoreForm::Yielding, [&] {
        if (pressed || form->FillWidth() <= form->FrameWidth()) return;
        pressed = true;
        QTest::keyPress(start, Qt::Key_Return);
        QTimer::singleShot(150, start, [&] {
            boxesAtRelease = boxes.seen().size();
            QTest::keyRelease(start, Qt::Key_Return);
        });
    });
    ClickStart();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(boxesAtRelease, 1U);  // the confirmation alone
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFinished}));
}

// A worn stick: a read that stalls for seconds while the kernel retries,
// then returns its data or fails, or the stick pulled at it. Questions
// queued to the window from another thread, as a screen reader asks them,
// are answered throughout; the run ends in its box, a failure with the
// files before the failing one restored and it and the rest old.
TEST_F(RestoreFormTest, AnAgeingStickNeitherStopsTheWindowNorLeavesHarm) {
    using namespace std::chrono;
    for (const StickCase& stickCase : kStickCases) {
        SCOPED_TRACE(stickCase.name);
        const TempDir source;
        WriteChartBackup(source.path(), sandbox.Velmira("H15"));
        const TestStick stick(source.path(), sandbox.MakeDir("F"), stickCase.rule);
        ASSERT_TRUE(stick.Mounted());
        Open();
        QTest::mouseClick(Find("SentakuOp(1)"), Qt::LeftButton);  // カルテ
        SelectDrive("F");
        boxes.Clear();
        std::atomic<bool> running{true};
        steady_clock::duration longest{};
        std::thread asker([&] {
            for (auto last = steady_clock::now(); running;) {
                const auto answered = std::make_shared<std::atomic<bool>>(false);
                QMetaObject::invokeMethod(
                    form.get(), [answered] { *answered = true; }, Qt::QueuedConnection);
                while (!*answered && running) std::this_thread::sleep_for(milliseconds(1));
                if (!*answered) break;
                longest = std::max(longest, steady_clock::now() - last);
                last = steady_clock::now();
                std::this_thread::sleep_for(milliseconds(2));
            }
        });
        ClickStart();
        running = false;
        asker.join();
        const auto longestMs = duration_cast<milliseconds>(longest).count();
        std::printf("[ ui       ] %s: longest gap %lld ms\n", stickCase.name,
                    static_cast<long long>(longestMs));
        EXPECT_LT(longest, kLongestGap) << longestMs << " ms without an answer";
        const QString ending = stickCase.ending == Ending::Finished ? kFinished
                               : stickCase.ending == Ending::Failed ? kFailed
                                                                    : kNoMedium;
        EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, ending}));
        ExpectChartFolder(sandbox.Velmira("H15"), stickCase.ending == Ending::Finished);
    }
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

// Counts the events that reach a widget.
class Counter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) ++keys;
        if (event->type() == QEvent::MouseButtonPress) ++clicks;
        if (event->type() == QEvent::User) ++others;
        return false;
    }
    int keys = 0;
    int clicks = 0;
    int others = 0;
};

// What the commands call before the box that follows a run: keys and
// clicks typed ahead are dropped, everything else still arrives.
TEST(InputDiscarder, DropsPendingKeysAndClicksOnly) {
    QWidget widget;
    Counter counter;
    widget.installEventFilter(&counter);
    QCoreApplication::postEvent(&widget,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QCoreApplication::postEvent(
        &widget, new QMouseEvent(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1),
                                 Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    InputDiscarder::DiscardPending();
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.keys, 0);
    EXPECT_EQ(counter.clicks, 0);
    EXPECT_EQ(counter.others, 1);
}

}  // namespace
}  // namespace velmira::testing
