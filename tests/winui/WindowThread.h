#pragma once

#include <windows.h>
// winbase.h defines Yield() as nothing, which would erase ProgressView::Yield.
#undef Yield

#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "DriveSource.h"
#include "Layout.h"
#include "MainForm.h"
#include "WindowsDrives_win.h"

namespace velmira::testing {

// A message box as another thread sees it: its title, the text of its
// Static child 0xFFFF, its buttons by id.
struct BoxView {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::wstring title;
    std::wstring text;
    bool ok = false;
    bool cancel = false;
    bool icon = false;
    bool topmost = false;
    bool ownerEnabled = true;
};

// The chart system's folders on C: with a settings file naming 茨城県, C:
// the current drive, and the screen's DPI seen as it is, as the program's
// manifest asks.
void MakeChartSystem();

// A visible top-level window of class `className` belonging to `threadId`
// (or, when 0, to process `processId`), owned by `owner` unless that is
// null. FindWindowOf looks once, WaitForWindow up to ten seconds.
HWND FindWindowOf(const wchar_t* className, HWND owner, DWORD threadId, DWORD processId = 0);
HWND WaitForWindow(const wchar_t* className, HWND owner, DWORD threadId, DWORD processId = 0);
bool WaitGone(HWND window);
// The message box owned by `owner` (null: any of the process), read.
BoxView WaitForBox(HWND owner, DWORD threadId, DWORD processId = 0);
// Presses a box's button by its id and waits until the box has gone.
bool Answer(const BoxView& box, int id);
// The descendant of `top` with control id `id`.
HWND Child(HWND top, int id);
// `control`'s rectangle in its container's client area.
PixelRect PlaceOf(HWND control);
std::wstring WindowText(HWND window);

// The program's windows on a thread of their own, made and pumped as the
// program does, driven from the test's thread by messages.
class WindowThread {
  public:
    // Over the machine's drives, or over `driveSource`'s list of them.
    explicit WindowThread(DriveSource* driveSource = nullptr);
    // Closes the start window, which ends every loop that is still running.
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND Main() const { return main_; }
    DWORD Id() const { return id_; }
    WindowsDrives& Drives() { return drives_; }

    // Runs `task` on the window thread between two of its messages.
    void Call(const std::function<void()>& task) const;
    // Returns once every message posted to the window thread before has
    // been handled.
    void Settle() const;
    // Clicks 次に進む; the restore window once it shows, else null.
    HWND OpenRestoreForm() const;
    RestoreForm* Restore() const;
    HWND Focus() const;
    BoxView WaitForBox(HWND owner) const { return testing::WaitForBox(owner, id_); }

  private:
    WindowsDrives drives_;
    DWORD id_ = 0;
    HWND main_ = nullptr;
    HWND calls_ = nullptr;
    MainForm* form_ = nullptr;
    std::thread thread_;
};

}  // namespace velmira::testing

namespace velmira {
inline void PrintTo(const PixelRect& rect, std::ostream* out) {
    *out << rect.left << ',' << rect.top << ' ' << rect.width << 'x' << rect.height;
}
}  // namespace velmira
