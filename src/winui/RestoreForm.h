#pragma once

#include <windows.h>
// The run's Yield is a method here, not the 16-bit call windows.h maps away.
#undef Yield

#include <array>
#include <memory>
#include <string>

#include "commands/RestoreCommands.h"
#include "commands/RestoreWindow.h"
#include "drives/DriveSource.h"
#include "platform/DriveRoots.h"
#include "winui/DriveListBox.h"
#include "winui/GdiFont.h"
#include "winui/LabelButton.h"
#include "winui/LineShape.h"
#include "winui/Panel.h"
#include "winui/ProgressBar.h"
#include "winui/SolidBrush.h"
#include "winui/WindowBase.h"
#include "winui/WindowEvents.h"

namespace velmira {

// The working window on Windows: controls made from the shared layout, the
// events forwarded to RestoreCommands, the run's progress drawn here. Shown
// modally over its owner; created anew at every opening.
class RestoreForm : public WindowBase, public RestoreWindow, public ProgressView {
  public:
    // Control ids, for the window's own notifications and for whoever drives
    // the window by messages; a label's named as its text is in texts::.
    enum Id : int {
        kDrvList = 100,
        kOption0 = 110,
        kOption1 = 111,
        kCloseButton = 120,     // CmdGd(0) "閉る"
        kStartButton = 121,     // CmdGd(1) "復元開始"
        kRestoreHeading = 130,  // Label1(2)
        kIdleCaption = 131,     // Label1(1)
        kDriveListLabel = 132,  // Label1(0)
        kInsertDisk = 133,      // Label1(3)
        kPickLowest = 134,      // Label1(4)
        kBar = 135,             // SyoriSp(0) and SyoriSp(1)
    };

    RestoreForm(HWND owner, const DriveRoots& drives, DriveSource& driveSource);
    ~RestoreForm() override;

    void Load() { commands_.Form_Load(); }
    // Shows the window, keeps its owner disabled and returns when it closes.
    void ShowModal();

    HWND Item(Id id) const;
    HWND ProgressPanel() const { return progress_->Handle(); }
    HWND InstructionsPanel() const { return instructions_->Handle(); }
    HWND OptionsPanel() const { return options_->Handle(); }
    std::uint32_t ButtonColor(int index) const;
    bool IsRunning() const { return commands_.IsRunning(); }
    // Whether a run asks the system not to shut down now.
    bool HoldsShutdown() const { return holdsShutdown_; }

    // RestoreWindow
    ProgressView& Progress() override { return *this; }
    DriveLetterSink& DriveList() override { return *driveList_; }
    std::size_t DriveCount() const override { return driveList_->Count(); }
    std::string SelectedDrive() const override { return driveList_->Selected(); }
    void SetOptionCaptions(const std::string& first, const std::string& second) override;
    void HideOptions() override;
    bool FirstOptionSelected() const override;
    void SetButtonColor(int index, std::uint32_t bgr) override;
    void DiscardPendingInput() override;
    void HoldShutdown(const std::string& reason) override;
    void ReleaseShutdown() override;
    bool ShowMessage(Message message) override;
    void Close() override { closed_ = true; }

    // ProgressView
    void SetCaption(const std::string& utf8Caption) override;
    float FrameWidth() const override { return bar_->FrameWidth(); }
    float FillWidth() const override { return bar_->FillWidth(); }
    void SetFillWidth(float twips) override { bar_->SetFillWidth(twips); }
    void ShowProgress() override;
    void ShowInstructions() override;
    EventPump& Events() override { return events_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint();

    const int dpi_;
    SolidBrush background_;
    GdiFont font_;
    GdiFont startFont_;
    GdiFont closeFont_;
    HWND owner_;
    bool closed_ = false;
    bool holdsShutdown_ = false;
    WindowEvents events_;

    LineShape topLine_;
    LineShape lowerLine_;
    std::unique_ptr<Panel> instructions_;
    std::unique_ptr<Panel> progress_;
    std::unique_ptr<ProgressBar> bar_;
    std::unique_ptr<Panel> options_;
    HWND caption_ = nullptr;
    std::unique_ptr<DriveListBox> driveList_;
    std::array<HWND, 2> option_{};
    std::array<std::unique_ptr<LabelButton>, 2> buttons_;
    RestoreCommands commands_;
};

}  // namespace velmira
