#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

#include "commands/FramePacer.h"

namespace velmira {

// The run's bar as both front ends take a change of it: drawn no more often
// than a screen shows (FramePacer), and told to screen readers only when its
// whole percentage changes, not at every file.
class BarPacer {
  public:
    struct Step {
        bool drawNow = false;
        // Draw after this wait, then call Drawn.
        std::optional<std::chrono::milliseconds> drawAfter;
        // The new percentage, when it changed.
        std::optional<int> percent;
    };

    // The bar's value for screen readers: the fill's share of the frame in
    // whole percent, 0 at the bar's 1-twip start, 100 once it covers it.
    static int Percent(double fillTwips, double frameTwips);

    // The fill went from `before` to `after` twips of a `frame` twips wide;
    // `shows` whether that changes the drawing at all.
    Step Change(double before, double after, double frame, bool shows = true);
    // The drawing that waited has been made.
    void Drawn() { pacer_.Drawn(FramePacer::Clock::now()); }

  private:
    FramePacer pacer_;
};

inline int BarPacer::Percent(double fillTwips, double frameTwips) {
    if (!(frameTwips > 0)) return 0;
    const double share = (fillTwips - 1.0) / frameTwips;
    if (!std::isfinite(share)) return 0;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * 100.0));
}

inline BarPacer::Step BarPacer::Change(double before, double after, double frame, bool shows) {
    Step step;
    const int percent = Percent(after, frame);
    if (percent != Percent(before, frame)) step.percent = percent;
    if (!shows) return step;
    const auto now = FramePacer::Clock::now();
    switch (pacer_.Change(now)) {
        case FramePacer::Pace::Now:
            step.drawNow = true;
            break;
        case FramePacer::Pace::Later:
            step.drawAfter = pacer_.Wait(now);
            break;
        case FramePacer::Pace::Waiting:
            break;
    }
    return step;
}

}  // namespace velmira
