#pragma once

#include <windows.h>

#include "commands/BarPacer.h"
#include "commands/Layout.h"
#include "winui/RectangleShape.h"

namespace velmira {

// The run's bar: a progress bar control, so that screen readers are offered
// it with its value in percent, drawn as the layout's two rectangles (the
// hollow frame, the green fill over it) instead of the system's look. The
// control covers the frame; the fill is drawn within it.
class ProgressBar {
  public:
    ProgressBar(HWND parent, const Placement& frame, const Placement& fill, int id,
                HBRUSH background, int dotsPerInch);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    HWND Handle() const { return hwnd_; }
    float FrameWidth() const { return static_cast<float>(frame_.Width()); }
    float FillWidth() const { return static_cast<float>(fill_.Width()); }
    // Repaints only when the fill's pixels change, as BarPacer paces it; a
    // run sets it once per file.
    void SetFillWidth(float twips);

  private:
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    void Paint(HDC dc) const;
    int Percent() const { return BarPacer::Percent(fill_.Width(), frame_.Width()); }

    RectangleShape frame_;
    RectangleShape fill_;
    HBRUSH background_;
    int dpi_;
    PixelRect at_;
    HWND hwnd_;
    BarPacer pacer_;
};

}  // namespace velmira
