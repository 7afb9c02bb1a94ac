#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "restore/ProgressView.h"
#include "tests/support/FakeEvents.h"

namespace velmira::testing {

// A ProgressView that keeps widths exactly and records every operation in
// order, as text ("caption ...", "fill 1", "yield", ...).
class RecordingView : public ProgressView {
  public:
    void SetCaption(const std::string& utf8Caption) override;
    float FrameWidth() const override { return frameWidth; }
    float FillWidth() const override { return fill; }
    void SetFillWidth(float twips) override;
    void ShowProgress() override;
    void ShowInstructions() override;
    void ListFolder(int lister, const std::filesystem::path& nativeFolder) override;
    std::size_t ListCount(int lister) const override;
    ListedFile ListEntry(int lister, std::size_t index) const override;
    void Yield() override;
    EventPump& Events() override { return events; }

    float frameWidth = 3585.0F;
    float fill = 150.0F;
    bool progressVisible = true;
    bool instructionsVisible = true;
    std::string caption;
    std::vector<std::string> log;
    std::vector<float> fillAfterYield;
    // Called at each yield with its number (0 for the first).
    std::function<void(int)> onYield;
    // Events handled while calls of the run go on aside; not logged, since
    // they are no step of the run.
    FakeEvents events;

  private:
    std::map<int, std::vector<ListedFile>> lists_;
    int yields_ = 0;
};

}  // namespace velmira::testing
