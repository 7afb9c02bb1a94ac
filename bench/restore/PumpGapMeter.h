#pragma once

#include <QTimer>
#include <cstdint>

namespace velmira::bench {

// The longest time the window thread went without processing events,
// measured from outside the code under test: a 1 ms timer can only fire
// when events are processed, so the longest interval between its firings is
// the longest gap between two event-pump runs.
class PumpGapMeter {
  public:
    PumpGapMeter();

    void Start();
    // Stops, counting the time from the last firing to the stop.
    void Stop();
    // The longest interval between firings, in milliseconds.
    double Longest() const { return static_cast<double>(longest_) / 1e6; }
    int Firings() const { return firings_; }

  private:
    void Fired();

    QTimer timer_;
    std::int64_t last_ = 0;
    std::int64_t longest_ = 0;
    int firings_ = 0;
};

}  // namespace velmira::bench
