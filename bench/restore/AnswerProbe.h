#pragma once

#include <QAccessibleInterface>
#include <QWidget>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmira::bench {

// Asks a window questions from another thread, as a screen reader does
// over the accessibility bus: each question is handed to the window
// thread's event loop, answered there, and timed from the asking. Every
// few milliseconds one cheap question (the window's number of children);
// every so often a walk of the window's whole accessible tree, one
// question per element, as a screen reader makes when the focus changes.
class AnswerProbe {
  public:
    struct Figures {
        double medianMs = 0;
        double longestMs = 0;
        double longestWalkMs = 0;
        std::size_t questions = 0;
        std::size_t walks = 0;
    };

    explicit AnswerProbe(QWidget& window);
    // Stops the asking.
    ~AnswerProbe();
    AnswerProbe(const AnswerProbe&) = delete;
    AnswerProbe& operator=(const AnswerProbe&) = delete;

    // Starts asking afresh; what was timed before is dropped.
    void Start();
    // Stops asking and returns what was timed since Start.
    Figures Stop();

  private:
    void Ask();
    // The milliseconds from asking to the answer.
    double Time(const std::function<void()>& question);
    double Walk(QAccessibleInterface* element);

    QWidget& window_;
    std::atomic<bool> asking_{false};
    std::atomic<bool> done_{true};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<double> answers_;
    std::vector<double> walks_;
};

}  // namespace velmira::bench
