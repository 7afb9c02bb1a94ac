#include "bench/restore/PumpGapMeter.h"

#include <algorithm>

#include "bench/restore/Stopwatch.h"

namespace velmira::bench {

PumpGapMeter::PumpGapMeter(std::function<std::string()> phase) : phase_(std::move(phase)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Fired(); });
}

void PumpGapMeter::Start() {
    phases_.clear();
    spent_.clear();
    gapStart_ = lookedAt_ = MonotonicNanos();
    looked_ = phase_();
    timer_.start();
}

void PumpGapMeter::Stop() {
    timer_.stop();
    Fired();
}

void PumpGapMeter::Note() {
    if (timer_.isActive()) Look(MonotonicNanos());
}

const PumpGapMeter::Phase* PumpGapMeter::Longest() const {
    const auto longest =
        std::max_element(phases_.begin(), phases_.end(),
                         [](const Phase& a, const Phase& b) { return a.longestMs < b.longestMs; });
    return longest == phases_.end() ? nullptr : &*longest;
}

// The time since the last look goes to the phase seen then.
void PumpGapMeter::Look(std::int64_t now) {
    auto spent = std::find_if(spent_.begin(), spent_.end(),
                              [this](const auto& entry) { return entry.first == looked_; });
    if (spent == spent_.end()) spent = spent_.insert(spent_.end(), {looked_, 0});
    spent->second += now - lookedAt_;
    lookedAt_ = now;
    looked_ = phase_();
}

void PumpGapMeter::Fired() {
    const std::int64_t now = MonotonicNanos();
    Look(now);
    const auto mostly =
        std::max_element(spent_.begin(), spent_.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    auto phase = std::find_if(phases_.begin(), phases_.end(),
                              [&](const Phase& seen) { return seen.name == mostly->first; });
    if (phase == phases_.end()) phase = phases_.insert(phases_.end(), Phase{mostly->first, 0});
    phase->longestMs = std::max(phase->longestMs, static_cast<double>(now - gapStart_) / 1e6);
    spent_.clear();
    gapStart_ = now;
}

}  // namespace velmira::bench
