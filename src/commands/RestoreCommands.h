#pragma once

#include <cstdint>

#include "commands/RestoreWindow.h"
#include "drives/DriveSource.h"
#include "platform/DriveRoots.h"

namespace velmira {

// The restore window's behaviour without a toolkit: its load, the two
// label-button commands, the hover colours and the guard that drops
// commands during a run. A front end forwards its events to the handlers,
// each named for its control and event; a control group's handler takes the
// member's index.
class RestoreCommands {
  public:
    RestoreCommands(RestoreWindow& window, const DriveRoots& drives, DriveSource& driveSource);

    // Sets the highlight colour, the options by the site's region and fills
    // the drive list. Errors end the load silently.
    void Form_Load();

    // CmdGd(0) "閉る": close the window; CmdGd(1) "復元開始": the Start
    // command; others: nothing. Dropped while a Start command is in progress.
    void CmdGd_Click(int index);

    // Pointer over label-button `index`: it takes HighlightColor_.
    void CmdGd_MouseMove(int index);
    // Pointer over the bare window: every label-button turns black.
    void Form_MouseMove();

    // Whether the window may close now (by its frame or the system): never
    // under a running Start command.
    bool MayClose() const { return !running_; }
    bool IsRunning() const { return running_; }

  private:
    void Start();
    void Run();
    // The box after a run: input typed meanwhile must not answer it.
    void Report(Message message);

    RestoreWindow& window_;
    const DriveRoots& drives_;
    DriveSource& driveSource_;
    // A hovered label-button's colour, from the load on.
    std::uint32_t HighlightColor_ = 0;
    bool running_ = false;
};

}  // namespace velmira
