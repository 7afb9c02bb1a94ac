#include "commands/FramePacer.h"

#include <algorithm>

namespace velmira {

FramePacer::Pace FramePacer::Change(Clock::time_point now) {
    if (waiting_) return Pace::Waiting;
    if (now - last_ >= kFrame) {
        last_ = now;
        return Pace::Now;
    }
    waiting_ = true;
    return Pace::Later;
}

std::chrono::milliseconds FramePacer::Wait(Clock::time_point now) const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(last_ + kFrame - now);
    return std::clamp(left, std::chrono::milliseconds{1}, kFrame);
}

void FramePacer::Drawn(Clock::time_point now) {
    waiting_ = false;
    last_ = now;
}

}  // namespace velmira
