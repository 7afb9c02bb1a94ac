#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "LetterList.h"
#include "RestoreWindow.h"

namespace velmira::testing {

// A restore window without a toolkit: it records what the commands do to
// it, in order, as text ("ask ConfirmStart", "caption ...", "pump", ...),
// answers boxes from a list (OK once it is used up) and keeps the bar's
// widths exactly.
class RecordingWindow : public RestoreWindow, public ProgressPanels {
  public:
    // RestoreWindow
    ProgressPanels& Panels() override { return *this; }
    DriveLetterSink& DriveList() override { return drives; }
    std::size_t DriveCount() const override { return drives.letters.size(); }
    std::string SelectedDrive() const override { return selected; }
    void SetOptionCaptions(const std::string& first, const std::string& second) override;
    void HideOptions() override { optionsVisible = false; }
    bool FirstOptionSelected() const override { return firstOption; }
    void SetButtonColor(int index, std::uint32_t bgr) override;
    void DiscardPendingInput() override { log.push_back("discard"); }
    bool Ask(Message message) override;
    void Close() override;

    // ProgressPanels
    void SetCaption(const std::string& utf8Caption) override;
    float FrameWidth() const override { return 3585.0F; }
    float FillWidth() const override { return fill; }
    void SetFillWidth(float twips) override { fill = twips; }
    void ShowProgress() override;
    void ShowInstructions() override;
    void PumpEvents() override;

    // The boxes' texts as "title: text", in order.
    std::vector<std::string> Boxes() const;
    // The log without the pumps.
    std::vector<std::string> Steps() const;

    LetterList drives;
    std::string selected;
    bool firstOption = true;
    std::vector<std::string> options{"治療簿", "カルテ"};
    bool optionsVisible = true;
    std::uint32_t buttonColors[2] = {0, 0};
    std::string caption = "処理中・・・・・。";
    float fill = 150.0F;
    bool progressVisible = true;
    bool instructionsVisible = true;
    bool closed = false;
    std::deque<bool> answers;
    std::vector<Message> asked;
    std::vector<std::string> log;
    std::vector<float> fillAtPump;
    // Called at each pump with its number (0 for the first).
    std::function<void(int)> onPump;

  private:
    int pumps_ = 0;
};

}  // namespace velmira::testing
