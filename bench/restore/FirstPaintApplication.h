#pragma once

#include <QApplication>
#include <cstdint>

namespace velmira::bench {

// An application that notes when the start window has handled its first
// paint, and then quits.
class FirstPaintApplication : public QApplication {
  public:
    FirstPaintApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override;
    // MonotonicNanos() after the first paint, or 0 when there was none.
    std::int64_t firstPaint() const { return firstPaint_; }

  private:
    std::int64_t firstPaint_ = 0;
};

}  // namespace velmira::bench
