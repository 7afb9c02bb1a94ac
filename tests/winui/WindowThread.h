#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// winbase.h defines Yield() as nothing, which would erase ProgressView::Yield.
#undef Yield

#include <functional>
#include <initializer_list>
#include <ostream>
#include <span>
#include <string>
#include <thread>

#include "commands/Layout.h"
#include "drives/WindowsDrives_win.h"
#include "winui/MainForm.h"

namespace velmira::testing {

// A message box as another thread sees it: its title, the text of its
// Static child 0xFFFF, its buttons by id.
struct BoxView {
    HWND hwnd = nullptr;
    std::wstring title, text;
    bool ok = false, cancel = false, icon = false, topmost = false, ownerEnabled = true;
};

// Tests of the windows under Wine, in the prefix of scripts/test-windows: the
// chart system's folders on C: with a settings file naming 茨城県, C: the
// current drive, the screen's DPI seen as the program's manifest asks.
class WineWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// A visible top-level window of `className` of thread `threadId` (when 0:
// of process `processId`), owned by `owner` unless that is null; waited
// for up to ten seconds unless `wait` is false.
HWND WindowOf(const wchar_t* className, HWND owner, DWORD threadId, DWORD processId = 0,
              bool wait = true);
BoxView WaitForBox(HWND owner, DWORD threadId, DWORD processId = 0);
bool WaitGone(HWND window);
// Presses a box's button by its id; true once the box has gone.
bool Answer(const BoxView& box, int id);
// The descendant of `top` with control id `id`.
HWND Child(HWND top, int id);
std::wstring WindowText(HWND window);
// Each control `id` of `top` sits at its `row` of `table`, at the screen's
// DPI, in its `container` row if any; one that `fits` its text only with its
// corner. The window's client area is the table's first row.
struct Place {
    int id;
    const char* row;
    const char* container = nullptr;
    bool fits = false;
};
void ExpectPlaces(HWND top, std::span<const Placement> table, std::initializer_list<Place> places);

// The program's windows on a thread of their own, made and pumped as the
// program does, over the machine's drives or `driveSource`'s list of them.
class WindowThread {
  public:
    explicit WindowThread(DriveSource* driveSource = nullptr);
    // A quit message ends every loop that still runs.
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND Main() const { return main_; }
    DWORD Id() const { return id_; }
    // Runs `task` on the window thread between two of its messages.
    void Call(const std::function<void()>& task) const;
    // Returns once the messages posted to the window thread are handled.
    void Settle() const;
    // Clicks 次に進む; the restore window once it shows and has the focus.
    HWND OpenRestoreForm() const;
    RestoreForm* Restore() const;
    HWND Focus() const;

  private:
    WindowsDrives drives_;
    DWORD id_ = 0;
    HWND main_ = nullptr;
    MainForm* form_ = nullptr;
    std::thread thread_;
};

}  // namespace velmira::testing

namespace velmira {
inline void PrintTo(const PixelRect& rect, std::ostream* out) {
    *out << rect.left << ',' << rect.top << ' ' << rect.width << 'x' << rect.height;
}
}  // namespace velmira
