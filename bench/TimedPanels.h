#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/DriveRoots.h"
#include "restore/ProgressView.h"
#include "tests/support/FakeEvents.h"

namespace velmira::bench {

// A restore window's panels without a window: widths kept exactly, and the
// time between event pumps measured. Each gap is put down to the phase the
// run was in when the gap began: listing until the caption is set, copying
// until the bar is wider than its frame, then flushing until the
// instructions show. Time spent asleep waiting for events is no gap: an
// event would have been handled at once.
class TimedPanels : public ProgressView {
  public:
    TimedPanels();

    struct Phase {
        std::string name;
        double longestMs = 0;
    };

    // Restores the chart data of drive F into drive C through the command
    // flow's view of these panels, timing it as Start and Stop do; returns
    // the seconds it took.
    double RestoreChartData(const DriveRoots& drives);

    // The run starts now: the moment the confirmation is answered.
    void Start();
    // The run has ended: the moment the box that follows it would show.
    void Stop();

    const std::vector<Phase>& Phases() const { return phases_; }
    // The phase with the longest gap.
    const Phase& Longest() const;

    void SetCaption(const std::string&) override { captionSet_ = true; }
    float FrameWidth() const override { return 3585.0F; }
    float FillWidth() const override { return fill_; }
    void SetFillWidth(float twips) override { fill_ = twips; }
    void ShowProgress() override {}
    void ShowInstructions() override { instructionsShown_ = true; }
    EventPump& Events() override { return events_; }

  private:
    std::size_t CurrentPhase() const;
    void EndGap();

    std::vector<Phase> phases_{{"listing"}, {"copying"}, {"flushing"}, {"showing the box"}};
    bool captionSet_ = false;
    bool instructionsShown_ = false;
    bool asleep_ = false;
    float fill_ = 0;
    std::size_t gapPhase_ = 0;
    std::chrono::steady_clock::time_point last_;
    testing::FakeEvents events_;
};

}  // namespace velmira::bench
