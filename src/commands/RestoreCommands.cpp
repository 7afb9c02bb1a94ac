#include "commands/RestoreCommands.h"

#include <exception>

#include "commands/Layout.h"
#include "commands/ScopedFlag.h"
#include "commands/WindowTexts.h"
#include "drives/RemovableDriveList.h"
#include "platform/NumberedError.h"
#include "restore/JobRules.h"
#include "restore/RestoreRun.h"
#include "settings/SiteRegion.h"

namespace velmira {

namespace {

constexpr int kButtonCount = 2;

// Asks the system not to shut down for as long as it lives.
class ShutdownHold {
  public:
    explicit ShutdownHold(RestoreWindow& window) : window_(window) {
        window_.HoldShutdown(std::string(texts::kShutdownReason));
    }
    ~ShutdownHold() { window_.ReleaseShutdown(); }
    ShutdownHold(const ShutdownHold&) = delete;
    ShutdownHold& operator=(const ShutdownHold&) = delete;

  private:
    RestoreWindow& window_;
};

}  // namespace

RestoreCommands::RestoreCommands(RestoreWindow& window, const DriveRoots& drives,
                                 DriveSource& driveSource)
    : window_(window), drives_(drives), driveSource_(driveSource) {}

void RestoreCommands::Form_Load() {
    // Silent trap: whatever fails, the window shows what the load had done
    // so far. Only the drive listing can fail.
    try {
        HighlightColor_ = colors::kHighlightColor;
        switch (CurrentSiteRegion()) {
            case SiteRegion::Ibaraki:
                window_.SetOptionCaptions(std::string(texts::kIbarakiOption0),
                                          std::string(texts::kIbarakiOption1));
                break;
            case SiteRegion::Tottori:
                window_.SetOptionCaptions(std::string(texts::kTottoriOption0),
                                          std::string(texts::kTottoriOption1));
                break;
            case SiteRegion::Other:
                window_.HideOptions();
                break;
        }
        RemovableDriveList(window_.DriveList(), driveSource_);
    } catch (const std::exception&) {
        // Nothing to tell and nothing to undo: a drive list that could not
        // be read shows what it got, and the Start command's checks find
        // a missing drive.
    }
}

void RestoreCommands::CmdGd_Click(int index) {
    // Commands that arrive during a run's event pumps wait for nobody: they
    // are dropped, so there is never a run inside a run and the window is
    // never closed under one.
    if (running_) return;
    if (index == 0) {
        window_.Close();
    } else if (index == 1) {
        Start();
    }
}

void RestoreCommands::CmdGd_MouseMove(int index) {
    if (index < 0 || index >= kButtonCount) return;
    window_.SetButtonColor(index, HighlightColor_);
}

void RestoreCommands::Form_MouseMove() {
    for (int index = 0; index < kButtonCount; ++index) {
        window_.SetButtonColor(index, colors::kBlack);
    }
}

void RestoreCommands::Start() {
    const ScopedFlag running(running_);
    try {
        if (window_.DriveCount() == 0) {
            window_.ShowMessage(Message::DriveListEmpty);
            return;
        }
        if (window_.SelectedDrive().empty()) {
            window_.ShowMessage(Message::NoDriveSelected);
            return;
        }
        if (!window_.ShowMessage(Message::ConfirmStart)) return;
        Run();
    } catch (const NumberedError& error) {
        Report(error.number() == ErrorNumber::DeviceUnavailable ? Message::DeviceUnavailable
                                                                : Message::RestoreFailed);
        return;
    } catch (const std::exception&) {
        Report(Message::RestoreFailed);
        return;
    }
    Report(Message::Finished);
}

void RestoreCommands::Run() {
    // Until every file is old or new on the disk; the box that follows may
    // wait for its reader while the PC shuts down.
    const ShutdownHold hold(window_);
    const RestoreJob job = SelectJob(CurrentSiteRegion(), window_.FirstOptionSelected());
    RunRestoreJob(job, window_.SelectedDrive().front(), window_.Progress(), drives_);
}

void RestoreCommands::Report(Message message) {
    window_.DiscardPendingInput();
    window_.ShowMessage(message);
}

}  // namespace velmira
