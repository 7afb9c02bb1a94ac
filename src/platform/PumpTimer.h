#pragma once

#include <chrono>
#include <functional>

namespace velmira {

// Calls a pump at most once per interval while a long operation goes on in
// pieces, so that a window stays alive without spending the copy's time on
// events.
class PumpTimer {
  public:
    static constexpr std::chrono::milliseconds kInterval{50};

    explicit PumpTimer(const std::function<void()>& pump);

    // After each piece of work: pumps when the interval has passed since
    // the start or the last pump.
    void Tick();

  private:
    const std::function<void()>& pump_;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace velmira
