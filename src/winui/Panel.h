#pragma once

#include "commands/Layout.h"
#include "winui/WindowBase.h"

namespace velmira {

// A frame: a container of controls in the window's colour, with an etched
// border or none. Its controls' notifications go on to the window, which
// handles them all.
class Panel : public WindowBase {
  public:
    Panel(HWND parent, const PixelRect& at, HBRUSH background, bool bordered);

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    HWND parent_;
    bool bordered_;
};

}  // namespace velmira
