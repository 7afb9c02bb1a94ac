#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>

#include "commands/RestoreCommands.h"
#include "commands/RestoreWindow.h"
#include "ui/DriveListSink.h"
#include "ui/HeldKeys.h"
#include "ui/UiContext.h"
#include "ui/WindowEvents.h"

class QFrame;
class QLabel;
class QListWidget;
class QRadioButton;

namespace velmira {

class LabelButton;
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
    void Load();

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
    bool ShowMessage(Message message) override;
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
    // The constructor's steps, in the order the controls are made.
    void SetUpWindow();
    void PlaceOverOwner();
    void MakePanels();
    void MakeDriveList();
    void MakeOptions();
    // Then the keyboard's order: drive list, options, 復元開始, 閉る.
    void MakeButtons();

    QLabel* caption_ = nullptr;
    QFrame* progress_ = nullptr;
    QFrame* instructions_ = nullptr;
    QFrame* options_ = nullptr;
    RectangleShape* barFrame_ = nullptr;
    ProgressFill* barFill_ = nullptr;
    QListWidget* driveList_ = nullptr;
    std::array<QRadioButton*, 2> option_{};
    std::array<LabelButton*, 2> buttons_{};

    std::unique_ptr<DriveListSink> driveSink_;
    HeldKeys heldKeys_;
    bool holdsShutdown_ = false;
    // Commands stay ignored while these are handled: the run is still going.
    WindowEvents events_{[this] { emit Yielding(); }};
    RestoreCommands commands_;
};

}  // namespace velmira
