#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmira::bench {

// The longest time the window thread went without processing events,
// measured from outside the code under test: a 1 ms timer can only fire
// when events are processed, so the longest interval between its firings is
// the longest gap between two event-pump runs. Each gap is put down to the
// phase of the run it mostly fell in: `phase` is asked at each firing and
// at each Note, and the time between two looks goes to the phase seen at
// the first.
class PumpGapMeter {
  public:
    explicit PumpGapMeter(std::function<std::string()> phase);

    void Start();
    // Stops, counting the time from the last firing to the stop.
    void Stop();
    // Looks at the phase between firings: where the run is about to pump,
    // the timer may not be due yet.
    void Note();

    struct Phase {
        std::string name;
        double longestMs = 0;
    };
    // Every phase a gap was put down to, in the order first seen.
    const std::vector<Phase>& Phases() const { return phases_; }
    // The phase with the longest gap; null before the first gap.
    const Phase* Longest() const;

  private:
    void Look(std::int64_t now);
    void Fired();

    std::function<std::string()> phase_;
    QTimer timer_;
    std::int64_t gapStart_ = 0;
    std::int64_t lookedAt_ = 0;
    std::string looked_;
    // Time of the current gap spent in each phase seen during it.
    std::vector<std::pair<std::string, std::int64_t>> spent_;
    std::vector<Phase> phases_;
};

}  // namespace velmira::bench
