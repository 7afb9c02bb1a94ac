#pragma once

#include <string>

#include "platform/DriveRoots.h"

namespace velmira {

// What the start window's commands need of a window.
class MainWindow {
  public:
    virtual ~MainWindow() = default;
    // Label1 and Label2 (UTF-8, CR LF line breaks).
    virtual void SetLabelTexts(const std::string& label1, const std::string& label2) = 0;
    // Creates a restore window anew, loads it, shows it modally and returns
    // when it has closed.
    virtual void ShowRestoreWindow() = 0;
    // Unloads the start window, which ends the program.
    virtual void Close() = 0;
};

// The start window's behaviour without a toolkit; a front end forwards its
// events to the handlers named for their control and event.
class MainCommands {
  public:
    MainCommands(MainWindow& window, const DriveRoots& drives) : window_(window), drives_(drives) {}

    // Fills the labels, then reads the site prefecture. A failure to read it
    // escapes as a numbered error; the window must then not be shown.
    void Form_Load();

    // Command1(0) "次に進む": the restore window, modally; any other index
    // ("終了"): close, ending the program.
    void Command1_Click(int index);

    // Whether the window may close now (by its frame or another program):
    // not while the restore window is open, so that a run and the box that
    // reports it are never cut short.
    bool MayClose() const { return !restoreWindowOpen_; }

  private:
    MainWindow& window_;
    const DriveRoots& drives_;
    bool restoreWindowOpen_ = false;
};

}  // namespace velmira
