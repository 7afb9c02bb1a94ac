#include "bench/restore/AnswerProbe.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <chrono>

namespace velmira::bench {

namespace {

constexpr auto kQuestionEvery = std::chrono::milliseconds(5);
constexpr int kQuestionsPerWalk = 40;

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

AnswerProbe::AnswerProbe(QWidget& window) : window_(window) {}

AnswerProbe::~AnswerProbe() {
    Stop();
}

void AnswerProbe::Start() {
    Stop();
    {
        const std::lock_guard lock(mutex_);
        answers_.clear();
        walks_.clear();
    }
    asking_ = true;
    done_ = false;
    thread_ = std::thread([this] {
        Ask();
        done_ = true;
    });
}

AnswerProbe::Figures AnswerProbe::Stop() {
    asking_ = false;
    // The question on its way waits for this thread's event loop.
    while (thread_.joinable() && !done_) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (thread_.joinable()) thread_.join();
    const std::lock_guard lock(mutex_);
    Figures figures;
    figures.medianMs = Median(answers_);
    figures.longestMs = answers_.empty() ? 0 : *std::max_element(answers_.begin(), answers_.end());
    figures.longestWalkMs = walks_.empty() ? 0 : *std::max_element(walks_.begin(), walks_.end());
    figures.questions = answers_.size();
    figures.walks = walks_.size();
    return figures;
}

void AnswerProbe::Ask() {
    QAccessibleInterface* top = nullptr;
    Time([&] { top = QAccessible::queryAccessibleInterface(&window_); });
    for (int asked = 0; asking_; ++asked) {
        if (asked % kQuestionsPerWalk == kQuestionsPerWalk - 1) {
            const double walk = Walk(top);
            const std::lock_guard lock(mutex_);
            walks_.push_back(walk);
        } else {
            const double answer = Time([&] { (void)top->childCount(); });
            const std::lock_guard lock(mutex_);
            answers_.push_back(answer);
        }
        std::this_thread::sleep_for(kQuestionEvery);
    }
}

double AnswerProbe::Time(const std::function<void()>& question) {
    const auto asked = std::chrono::steady_clock::now();
    QMetaObject::invokeMethod(&window_, question, Qt::BlockingQueuedConnection);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - asked)
        .count();
}

double AnswerProbe::Walk(QAccessibleInterface* element) {
    double spent = 0;
    int children = 0;
    spent += Time([&] {
        (void)element->text(QAccessible::Name);
        (void)element->role();
        children = element->childCount();
    });
    for (int i = 0; i < children && asking_; ++i) {
        QAccessibleInterface* child = nullptr;
        spent += Time([&] { child = element->child(i); });
        if (child != nullptr) spent += Walk(child);
    }
    return spent;
}

}  // namespace velmira::bench
