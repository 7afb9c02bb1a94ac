#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>

#include "DriveListSink.h"
#include "HeldKeys.h"
#include "RestoreCommands.h"
#include "RestoreWindow.h"
#include "UiContext.h"
#include "WindowEvents.h"

class QFrame;
class QLabel;
class QListWidget;
class QRadioButton;

namespace velmira {

class LabelButton;
class LineShape;
class ProgressFill;
class RectangleShape;

// The working window: the operator picks the backup drive and, for two
// regions, the kind of data, then starts the restore with the label-button
// "復元開始". Its controls forward their events to RestoreCommands, which
// decides everything. The window is created anew at every opening and
// shown modally.
class RestoreForm : public QDialog, public RestoreWindow, public ProgressView {
    Q_OBJECT

  public:
    explicit RestoreForm(UiContext context, QWidget* parent = nullptr);
    ~RestoreForm() override;

    // Colours the window, lays the panels on one rectangle, then loads the
    // commands: options by region and the drive list.
    void Form_Load();

    // 0: close the window; 1: the Start command.
    void CmdGd_Click(int index) { commands_.Click(index); }
    void CmdGd_MouseMove(int index) { commands_.PointerOverButton(index); }
    void Form_MouseMove() { commands_.PointerOverWindow(); }

    // True while a Start command is in progress.
    bool IsRunning() const { return commands_.IsRunning(); }
    RestoreCommands& Commands() { return commands_; }

    // RestoreWindow
    ProgressView& Progress() override { return *this; }
    DriveLetterSink& DriveList() override { return *driveSink_; }
    std::size_t DriveCount() const override;
    std::string SelectedDrive() const override;
    void SetOptionCaptions(const std::string& first, const std::string& second) override;
    void HideOptions() override;
    bool FirstOptionSelected() const override;
    void SetButtonColor(int index, std::uint32_t bgr) override;
    void DiscardPendingInput() override;
    void HoldShutdown(const std::string& reason) override;
    void ReleaseShutdown() override;
    bool Ask(Message message) override;
    void Close() override;

    // ProgressView
    void SetCaption(const std::string& utf8Caption) override;
    float FrameWidth() const override;
    float FillWidth() const override;
    void SetFillWidth(float twips) override;
    void ShowProgress() override;
    void ShowInstructions() override;
    EventPump& Events() override { return events_; }

  signals:
    // Emitted whenever a run has the window's events handled, before they
    // are: at its yields and while a call of it goes on aside.
    void Yielding();

  public slots:
    // Closing by the window frame (and so Escape) is refused during a run.
    void reject() override;

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void PlaceOverOwner();

    std::array<QLabel*, 5> label1_{};
    std::array<LineShape*, 2> line1_{};
    std::array<QFrame*, 3> wakuFrame_{};
    RectangleShape* syoriSp0_ = nullptr;  // the bar's frame
    ProgressFill* syoriSp1_ = nullptr;    // its fill
    QListWidget* drvList_ = nullptr;
    std::array<QRadioButton*, 2> sentakuOp_{};
    std::array<LabelButton*, 2> cmdGd_{};

    std::unique_ptr<DriveListSink> driveSink_;
    HeldKeys heldKeys_;
    bool holdsShutdown_ = false;
    // Commands stay ignored while these are handled: the run is still going.
    WindowEvents events_{[this] { emit Yielding(); }};
    RestoreCommands commands_;
};

}  // namespace velmira
