#pragma once

#include <array>
#include <vector>

#include "ProgressView.h"
#include "RestoreWindow.h"

namespace velmira {

// A run's view of the restore window: the caption, bar and panels are the
// window's, the two folder listings are plain lists kept here. They are not
// controls in any front end, so that nothing offers thousands of names to
// an accessibility client in the middle of a run.
class RunProgressView : public ProgressView {
  public:
    explicit RunProgressView(ProgressPanels& panels) : panels_(panels) {}

    void SetCaption(const std::string& utf8Caption) override { panels_.SetCaption(utf8Caption); }
    float FrameWidth() const override { return panels_.FrameWidth(); }
    float FillWidth() const override { return panels_.FillWidth(); }
    void SetFillWidth(float twips) override { panels_.SetFillWidth(twips); }
    void ShowProgress() override { panels_.ShowProgress(); }
    void ShowInstructions() override { panels_.ShowInstructions(); }

    // A listing that fails keeps the list as it was.
    void ListFolder(int lister, const std::filesystem::path& nativeFolder) override;
    std::size_t ListCount(int lister) const override;
    ListedFile ListEntry(int lister, std::size_t index) const override;

    void Yield() override { panels_.Events().HandlePending(); }
    EventPump& Events() override { return panels_.Events(); }

  private:
    const std::vector<ListedFile>& List(int lister) const;

    ProgressPanels& panels_;
    std::array<std::vector<ListedFile>, 2> lists_;
};

}  // namespace velmira
