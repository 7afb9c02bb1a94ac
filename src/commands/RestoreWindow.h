#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/Message.h"
#include "drives/DriveLetterSink.h"
#include "restore/ProgressView.h"

namespace velmira {

// What the restore window's commands need of a window. Implemented by each
// front end; the commands never touch a control otherwise.
class RestoreWindow {
  public:
    virtual ~RestoreWindow() = default;

    // What a run shows: the caption, the bar and the panels.
    virtual ProgressView& Progress() = 0;

    // The drive list: filled at load, read by the Start command.
    virtual DriveLetterSink& DriveList() = 0;
    virtual std::size_t DriveCount() const = 0;
    // The selected entry's text; empty when none is selected.
    virtual std::string SelectedDrive() const = 0;

    // The data-kind option group: its two captions, or hidden.
    virtual void SetOptionCaptions(const std::string& first, const std::string& second) = 0;
    virtual void HideOptions() = 0;
    virtual bool FirstOptionSelected() const = 0;

    // Text colour (0x00BBGGRR) of label-button 0 ("閉る") or 1 ("復元開始").
    virtual void SetButtonColor(int index, std::uint32_t bgr) = 0;

    // Waits, the window answering meanwhile, until no key is held down (for
    // kMostKeyWait at most: a key that seems held for ever must not keep the
    // box away), then drops the keys and clicks waiting to be processed, so
    // that input typed during a run never answers the box that follows it.
    virtual void DiscardPendingInput() = 0;
    static constexpr std::chrono::seconds kMostKeyWait{10};

    // For the length of a run: the system is asked not to shut down or end
    // the session under it, and is given `reason` (UTF-8) to show. Released
    // when the run has ended, whichever way.
    virtual void HoldShutdown(const std::string& reason) = 0;
    virtual void ReleaseShutdown() = 0;

    // Shows the box of `message`, a question or a notice, and returns when
    // it closes: true for OK, false for Cancel or the box closed by its frame.
    virtual bool ShowMessage(Message message) = 0;

    // Unloads the window; control returns to the start window.
    virtual void Close() = 0;
};

}  // namespace velmira
