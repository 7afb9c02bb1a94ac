#include "PumpGapMeter.h"

#include <algorithm>

#include "Stopwatch.h"

namespace velmira::bench {

PumpGapMeter::PumpGapMeter(std::function<std::string()> phase) : phase_(std::move(phase)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Fired(); });
}

void PumpGapMeter::Start() {
    last_ = MonotonicNanos();
    lastPhase_ = phase_();
    phases_.clear();
    timer_.start();
}

void PumpGapMeter::Stop() {
    timer_.stop();
    Fired();
}

void PumpGapMeter::Note() {
    if (timer_.isActive()) lastPhase_ = phase_();
}

const PumpGapMeter::Phase* PumpGapMeter::Longest() const {
    const auto longest =
        std::max_element(phases_.begin(), phases_.end(),
                         [](const Phase& a, const Phase& b) { return a.longestMs < b.longestMs; });
    return longest == phases_.end() ? nullptr : &*longest;
}

void PumpGapMeter::Fired() {
    const std::int64_t now = MonotonicNanos();
    const double gapMs = static_cast<double>(now - last_) / 1e6;
    auto phase = std::find_if(phases_.begin(), phases_.end(),
                              [this](const Phase& seen) { return seen.name == lastPhase_; });
    if (phase == phases_.end()) phase = phases_.insert(phases_.end(), Phase{lastPhase_, 0});
    phase->longestMs = std::max(phase->longestMs, gapMs);
    last_ = now;
    lastPhase_ = phase_();
}

}  // namespace velmira::bench
