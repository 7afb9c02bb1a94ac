#include "bench/restore/WindowRestore.h"

#include <QListWidget>
#include <QTest>
#include <stdexcept>

#include "bench/restore/BenchTree.h"
#include "bench/restore/HandCopy.h"
#include "bench/restore/Stopwatch.h"
#include "ui/RestoreForm.h"
#include "ui/UiContext.h"

namespace velmira::bench {

namespace {

const QString kFinished = QStringLiteral("終了しました。");

template <typename Widget = QWidget>
Widget* Control(const RestoreForm& form, const char* name) {
    auto* widget = form.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return widget;
}

}  // namespace

WindowRestore::WindowRestore(const std::filesystem::path& driveFolder) : drives_(driveFolder) {}

WindowRestore::~WindowRestore() = default;

void WindowRestore::Open() {
    form_ = std::make_unique<RestoreForm>(UiContext{drives_, drives_});
    form_->Load();
    form_->show();
    if (!QTest::qWaitForWindowExposed(form_.get())) {
        throw std::runtime_error("the restore window was not shown");
    }
    QTest::mouseClick(Control(*form_, "CmdGd(1)"), Qt::LeftButton);
    boxes_.Clear();
}

WindowRestore::Outcome WindowRestore::Restore() {
    auto* list = Control<QListWidget>(*form_, "DrvList");
    const auto items = list->findItems(QStringLiteral("F"), Qt::MatchExactly);
    if (items.size() != 1) throw std::runtime_error("drive F is not in the drive list");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.front()).center());
    boxes_.Clear();

    const std::int64_t clicked = MonotonicNanos();
    QTest::mouseClick(Control(*form_, "CmdGd(1)"), Qt::LeftButton);

    Outcome outcome;
    if (boxes_.seen().empty()) throw std::runtime_error("the Start command showed no message");
    const BoxAnswerer::Box& last = boxes_.seen().back();
    outcome.lastBox = last.text;
    outcome.finished = last.text == kFinished;
    outcome.seconds = SecondsBetween(clicked, last.shownAt);
    return outcome;
}

double RestoreThroughWindow(WindowRestore& window, const BenchTree& tree, std::size_t expected) {
    const WindowRestore::Outcome outcome = window.Restore();
    if (!outcome.finished) {
        throw std::runtime_error("the restore did not finish: " + outcome.lastBox.toStdString());
    }
    const std::size_t restored =
        CountEntries(tree.Velmira("H15")) + CountEntries(tree.Velmira("set"));
    if (restored != expected) {
        throw std::runtime_error("restored " + std::to_string(restored) + " files, expected " +
                                 std::to_string(expected));
    }
    return outcome.seconds;
}

}  // namespace velmira::bench
