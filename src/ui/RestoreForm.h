#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "ProgressView.h"
#include "UiContext.h"

class QFrame;
class QLabel;
class QListWidget;
class QRadioButton;

namespace velmira {

class FileListBox;
class LabelButton;
class LineShape;
class RectangleShape;

// The working window: the operator picks the backup drive and, for two
// regions, the kind of data, then starts the restore with the label-button
// "復元開始". A run draws its progress here through ProgressView. The window
// is created anew at every opening and shown modally.
class RestoreForm : public QDialog, public ProgressView {
    Q_OBJECT

  public:
    explicit RestoreForm(UiContext context, QWidget* parent = nullptr);
    ~RestoreForm() override;

    // Colours the window, lays the panels on one rectangle, sets the options
    // by region and fills the drive list. Errors end it silently.
    void Form_Load();

    // 0: close the window; 1: the Start command.
    void CmdGd_Click(int index);
    // Pointer over a label-button: it takes the highlight colour.
    void CmdGd_MouseMove(int index);
    // Pointer over the bare window: every label-button turns black.
    void Form_MouseMove();

    // True while a Start command is in progress.
    bool IsRunning() const { return running_; }

    // ProgressView
    void SetCaption(const std::string& utf8Caption) override;
    float FrameWidth() const override;
    float FillWidth() const override;
    void SetFillWidth(float twips) override;
    void ShowProgress() override;
    void ShowInstructions() override;
    void ListFolder(int lister, const std::filesystem::path& nativeFolder) override;
    std::size_t ListCount(int lister) const override;
    ListedFile ListEntry(int lister, std::size_t index) const override;
    void Yield() override;
    void PumpEvents() override;

  signals:
    // Emitted at every yield of a run, before pending events are processed.
    void Yielding();

  public slots:
    // Closing by the window frame (and so Escape) is refused during a run.
    void reject() override;

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void StartCommand();
    void SetCmdGdColor(int index, std::uint32_t bgr);

    UiContext context_;
    std::uint32_t highlightColor_ = 0;
    bool running_ = false;

    std::array<QLabel*, 5> label1_{};
    std::array<LineShape*, 2> line1_{};
    std::array<QFrame*, 3> wakuFrame_{};
    std::array<RectangleShape*, 2> syoriSp_{};
    QListWidget* drvList_ = nullptr;
    std::array<QRadioButton*, 2> sentakuOp_{};
    std::array<LabelButton*, 2> cmdGd_{};
    std::array<FileListBox*, 2> backUpFileList_{};
};

}  // namespace velmira
