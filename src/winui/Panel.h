#pragma once

#include <vector>

#include "Layout.h"
#include "LineShape.h"
#include "RectangleShape.h"
#include "WindowBase.h"

namespace velmira {

// A frame: a container of controls in the window's colour, with an etched
// border or none, that draws its own shapes. Its controls' notifications go
// on to the window, which handles them all.
class Panel : public WindowBase {
  public:
    Panel(HWND parent, const PixelRect& at, HBRUSH background, bool bordered);

    void SetBordered(bool bordered);
    void Add(const LineShape* line) { lines_.push_back(line); }
    void Add(const RectangleShape* rectangle) { rectangles_.push_back(rectangle); }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    HWND parent_;
    bool bordered_;
    std::vector<const LineShape*> lines_;
    std::vector<const RectangleShape*> rectangles_;
};

}  // namespace velmira
