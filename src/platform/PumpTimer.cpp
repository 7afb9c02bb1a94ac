#include "PumpTimer.h"

namespace velmira {

PumpTimer::PumpTimer(const std::function<void()>& pump)
    : pump_(pump), last_(std::chrono::steady_clock::now()) {}

void PumpTimer::Tick() {
    if (!pump_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kInterval) return;
    pump_();
    // Time spent in the pump is not copy time.
    last_ = std::chrono::steady_clock::now();
}

}  // namespace velmira
