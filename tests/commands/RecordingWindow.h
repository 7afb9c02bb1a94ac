#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "commands/RestoreWindow.h"
#include "tests/support/FakeEvents.h"
#include "tests/support/LetterList.h"

namespace velmira::testing {

// A restore window without a toolkit: it logs what the commands do to it
// in order ("ask 2" for Message 2, "caption ...", "discard", ...), answers
// boxes from a list (OK once it is used up) and keeps the bar exactly.
// Event pumps are counted, not logged: long copies add them at any time.
// Keys typed ahead wait in typedAhead until discarded; a box shown while
// one waits takes it as its answer, as a Windows message box would.
class RecordingWindow : public RestoreWindow, public ProgressView {
  public:
    RecordingWindow() {
        events.onHandled = [this](int number) {
            fillAtPump.push_back(fill);
            if (onPump) onPump(number);
        };
    }

    ProgressView& Progress() override { return *this; }
    DriveLetterSink& DriveList() override { return drives; }
    std::size_t DriveCount() const override { return drives.letters.size(); }
    std::string SelectedDrive() const override { return selected; }
    void SetOptionCaptions(const std::string& first, const std::string& second) override {
        options = {first, second};
    }
    void HideOptions() override { options.clear(); }
    bool FirstOptionSelected() const override { return firstOption; }
    void SetButtonColor(int index, std::uint32_t bgr) override { colors.at(index) = bgr; }
    void DiscardPendingInput() override {
        typedAhead = 0;
        log.push_back("discard");
    }
    bool ShowMessage(Message message) override {
        const MessageText& text = TextOf(message);
        boxes.push_back(std::string(text.title) + ": " + std::string(text.text));
        log.push_back("ask " + std::to_string(static_cast<int>(message)));
        if (typedAhead > 0) {
            --typedAhead;
            ++answeredByTypeAhead;
            return true;
        }
        const bool answer = answers.empty() || answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void Close() override { log.push_back("close"); }
    void HoldShutdown(const std::string& reason) override {
        shutdownReason = reason;
        log.push_back("hold shutdown");
    }
    void ReleaseShutdown() override { log.push_back("release shutdown"); }

    void SetCaption(const std::string& utf8Caption) override {
        caption = utf8Caption;
        log.push_back("caption " + utf8Caption);
    }
    float FrameWidth() const override { return 3585.0F; }
    float FillWidth() const override { return fill; }
    void SetFillWidth(float twips) override { fill = twips; }
    void ShowProgress() override { log.push_back("show progress"); }
    void ShowInstructions() override { log.push_back("show instructions"); }
    EventPump& Events() override { return events; }

    LetterList drives;
    std::string selected;
    bool firstOption = true;
    std::vector<std::string> options{"治療簿", "カルテ"};
    std::vector<std::uint32_t> colors{0, 0};
    std::string caption = "処理中・・・・・。";
    float fill = 150.0F;
    std::deque<bool> answers;
    int typedAhead = 0;
    int answeredByTypeAhead = 0;
    std::vector<std::string> boxes;  // "title: text"
    std::string shutdownReason;
    std::vector<std::string> log;
    std::vector<float> fillAtPump;
    // Called at each pump with its number (0 for the first).
    std::function<void(int)> onPump;
    // Each handling of events is a pump.
    FakeEvents events;
};

}  // namespace velmira::testing
