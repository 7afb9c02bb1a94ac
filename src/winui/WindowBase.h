#pragma once

#include <windows.h>
// The run's Yield is a method here, not the 16-bit call windows.h maps away.
#undef Yield

#include "commands/Layout.h"

namespace velmira {

// A window of this program's own class: the object lives in the window's
// user data and receives its messages through OnMessage. No exception ever
// leaves the window procedure: one that reaches it is written to standard
// error and the message gets the default answer.
class WindowBase {
  public:
    WindowBase() = default;
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Handle() const { return hwnd_; }

  protected:
    // Creates the window; `background` paints its client area. Stops the
    // program when the system refuses (there is nothing to show then).
    void CreateWindowOf(DWORD exStyle, DWORD style, HWND parent, const RECT& rect,
                        HBRUSH background);
    // Creates a top-level window whose client area is `client`'s size,
    // centred over `owner` inside the work area of the owner's monitor
    // (without an owner, over the primary one's), wherever that monitor
    // lies (CentredRect).
    void CreateCentredWindow(DWORD exStyle, DWORD style, HWND owner, const PixelRect& client,
                             HBRUSH background);
    void DestroyOwnWindow();

    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace velmira
