#include "PumpGapMeter.h"

#include <algorithm>

#include "Stopwatch.h"

namespace velmira::bench {

PumpGapMeter::PumpGapMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Fired(); });
}

void PumpGapMeter::Start() {
    last_ = MonotonicNanos();
    longest_ = 0;
    firings_ = 0;
    timer_.start();
}

void PumpGapMeter::Stop() {
    timer_.stop();
    Fired();
}

void PumpGapMeter::Fired() {
    const std::int64_t now = MonotonicNanos();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
    ++firings_;
}

}  // namespace velmira::bench
