#pragma once

#include <QWidget>
#include <array>

#include "commands/MainCommands.h"
#include "ui/UiContext.h"

class QLabel;
class QPushButton;

namespace velmira {

// The start window: it explains the program, warns the operator, reads the
// site prefecture at load, and leads on to the restore window or ends. Its
// buttons forward to MainCommands.
class MainForm : public QWidget, public MainWindow {
    Q_OBJECT

  public:
    explicit MainForm(UiContext context, QWidget* parent = nullptr);

    // Fills the labels, then reads the site prefecture. A failure to read it
    // escapes as a numbered error; the window must then not be shown.
    void Load() { commands_.Form_Load(); }

    // MainWindow
    void SetLabelTexts(const std::string& label1, const std::string& label2) override;
    void ShowRestoreWindow() override;
    void Close() override;

  protected:
    // Refused while the restore window is open.
    void closeEvent(QCloseEvent* event) override;

  private:
    UiContext context_;
    MainCommands commands_;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    std::array<QPushButton*, 2> command1_{};
};

}  // namespace velmira
