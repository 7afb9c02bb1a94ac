#pragma once

#include <windows.h>
// The run's Yield is a method here, not the 16-bit call windows.h maps away.
#undef Yield

#include <array>

#include "commands/MainCommands.h"
#include "drives/DriveSource.h"
#include "platform/DriveRoots.h"
#include "winui/GdiFont.h"
#include "winui/WindowBase.h"

namespace velmira {

class RestoreForm;

// The start window on Windows: three labels and two push buttons, their
// clicks forwarded to MainCommands. Closing it ends the thread's message
// loop.
class MainForm : public WindowBase, public MainWindow {
  public:
    // Control ids, named as the controls' texts are in texts::.
    enum Id : int {
        kNext = 1000,  // Command1(0)
        kQuit = 1001,  // Command1(1)
        kMainLabel1 = 1010,
        kMainLabel2 = 1011,
        kMainLabel3 = 1012,
    };

    MainForm(const DriveRoots& drives, DriveSource& driveSource);
    ~MainForm() override;

    // Fills the labels and reads the site prefecture; a failure escapes as
    // a numbered error and the window must not be shown.
    void Load() { commands_.Form_Load(); }
    void Show();

    HWND Item(Id id) const { return GetDlgItem(Handle(), id); }
    bool IsClosed() const { return closed_; }
    // The restore window while it is open, else null.
    RestoreForm* OpenRestoreForm() const { return restoreForm_; }

    // MainWindow
    void SetLabelTexts(const std::string& label1, const std::string& label2) override;
    void ShowRestoreWindow() override;
    void Close() override;

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    const DriveRoots& drives_;
    DriveSource& driveSource_;
    const int dpi_;
    GdiFont font_;
    bool closed_ = false;
    RestoreForm* restoreForm_ = nullptr;
    MainCommands commands_;
};

}  // namespace velmira
