#include "bench/TimedPanels.h"

#include <algorithm>

#include "restore/RestoreRun.h"

namespace velmira::bench {

TimedPanels::TimedPanels() {
    events_.onHandled = [this](int) {
        // Woken from a sleep: the gap begins now.
        if (asleep_) last_ = std::chrono::steady_clock::now();
        asleep_ = false;
        EndGap();
    };
    events_.onSleep = [this] {
        EndGap();
        asleep_ = true;
    };
}

double TimedPanels::RestoreChartData(const DriveRoots& drives) {
    const auto start = std::chrono::steady_clock::now();
    Start();
    RunRestoreJob(RestoreJob::ChartJob, 'F', *this, drives);
    Stop();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void TimedPanels::Start() {
    captionSet_ = false;
    instructionsShown_ = false;
    for (auto& phase : phases_) phase.longestMs = 0;
    gapPhase_ = CurrentPhase();
    last_ = std::chrono::steady_clock::now();
}

void TimedPanels::Stop() {
    EndGap();
}

const TimedPanels::Phase& TimedPanels::Longest() const {
    return *std::max_element(phases_.begin(), phases_.end(), [](const Phase& a, const Phase& b) {
        return a.longestMs < b.longestMs;
    });
}

std::size_t TimedPanels::CurrentPhase() const {
    if (!captionSet_) return 0;
    if (instructionsShown_) return 3;
    return fill_ > FrameWidth() ? 2 : 1;
}

void TimedPanels::EndGap() {
    const auto now = std::chrono::steady_clock::now();
    Phase& phase = phases_[gapPhase_];
    phase.longestMs =
        std::max(phase.longestMs, std::chrono::duration<double, std::milli>(now - last_).count());
    last_ = now;
    gapPhase_ = CurrentPhase();
}

}  // namespace velmira::bench
