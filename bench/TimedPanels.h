#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "RestoreWindow.h"

namespace velmira::bench {

// A restore window's panels without a window: widths kept exactly, and the
// time between event pumps measured. Each gap is put down to the phase the
// run was in when the gap began: listing until the caption is set, copying
// until the bar is wider than its frame, then flushing until the
// instructions show.
class TimedPanels : public ProgressPanels {
  public:
    struct Phase {
        std::string name;
        double longestMs = 0;
    };

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
    void PumpEvents() override;

  private:
    std::size_t CurrentPhase() const;
    void EndGap();

    std::vector<Phase> phases_{{"listing"}, {"copying"}, {"flushing"}, {"showing the box"}};
    bool captionSet_ = false;
    bool instructionsShown_ = false;
    float fill_ = 0;
    std::size_t gapPhase_ = 0;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace velmira::bench
