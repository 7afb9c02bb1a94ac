#include "commands/BarPacer.h"

#include <algorithm>
#include <cmath>

namespace velmira {

int BarPacer::Percent(double fillTwips, double frameTwips) {
    if (!(frameTwips > 0)) return 0;
    const double share = (fillTwips - 1.0) / frameTwips;
    if (!std::isfinite(share)) return 0;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * 100.0));
}

BarPacer::Step BarPacer::Change(double before, double after, double frame, bool shows) {
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
