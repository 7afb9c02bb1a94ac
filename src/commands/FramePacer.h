#pragma once

#include <chrono>

namespace velmira {

// Keeps a control that changes faster than a screen can show from being
// drawn more often than once a frame: a change is drawn at once when the
// last drawing is a frame old, else it waits for the end of that frame,
// when the latest state is drawn, once.
class FramePacer {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kFrame{16};

    enum class Pace {
        Now,      // draw now
        Later,    // draw after Wait(), then call Drawn
        Waiting,  // a drawing is already waiting; it will show this change
    };

    // A change at `now`, and when to draw it. Now counts as drawn.
    Pace Change(Clock::time_point now);
    // How long a Later drawing waits, from `now`.
    std::chrono::milliseconds Wait(Clock::time_point now) const;
    // The waiting drawing was made at `now`.
    void Drawn(Clock::time_point now);

  private:
    Clock::time_point last_{};
    bool waiting_ = false;
};

}  // namespace velmira
