#include "RecordingWindow.h"

namespace velmira::testing {

namespace {

constexpr const char* kMessageNames[] = {"DriveListEmpty", "NoDriveSelected",   "ConfirmStart",
                                         "Finished",       "DeviceUnavailable", "RestoreFailed"};

}  // namespace

void RecordingWindow::SetOptionCaptions(const std::string& first, const std::string& second) {
    options = {first, second};
}

void RecordingWindow::SetButtonColor(int index, std::uint32_t bgr) {
    buttonColors[index] = bgr;
}

bool RecordingWindow::Ask(Message message) {
    asked.push_back(message);
    log.push_back(std::string("ask ") + kMessageNames[static_cast<int>(message)]);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingWindow::Close() {
    closed = true;
    log.push_back("close");
}

void RecordingWindow::SetCaption(const std::string& utf8Caption) {
    caption = utf8Caption;
    log.push_back("caption " + utf8Caption);
}

void RecordingWindow::ShowProgress() {
    progressVisible = true;
    instructionsVisible = false;
    log.push_back("show progress");
}

void RecordingWindow::ShowInstructions() {
    instructionsVisible = true;
    progressVisible = false;
    log.push_back("show instructions");
}

void RecordingWindow::PumpEvents() {
    log.push_back("pump");
    fillAtPump.push_back(fill);
    if (onPump) onPump(pumps_);
    ++pumps_;
}

std::vector<std::string> RecordingWindow::Boxes() const {
    std::vector<std::string> boxes;
    for (Message message : asked) {
        const MessageText& text = TextOf(message);
        boxes.push_back(std::string(text.title) + ": " + std::string(text.text));
    }
    return boxes;
}

std::vector<std::string> RecordingWindow::Steps() const {
    std::vector<std::string> steps;
    for (const std::string& entry : log) {
        if (entry != "pump") steps.push_back(entry);
    }
    return steps;
}

}  // namespace velmira::testing
