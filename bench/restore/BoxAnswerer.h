#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace velmira::bench {

// Answers every message box with OK as soon as it shows, and notes when it
// showed, so that a timed restore ends at its completion message without
// waiting for a polling operator.
class BoxAnswerer : public QObject {
  public:
    struct Box {
        QString text;
        std::int64_t shownAt = 0;  // MonotonicNanos()
    };

    BoxAnswerer();
    ~BoxAnswerer() override;

    const std::vector<Box>& seen() const { return seen_; }
    void Clear() { seen_.clear(); }

    // Called with a box's text when it shows, and when it has been answered.
    std::function<void(const QString&)> onShown;
    std::function<void(const QString&)> onAnswered;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<Box> seen_;
};

}  // namespace velmira::bench
