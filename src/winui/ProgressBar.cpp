#include "winui/ProgressBar.h"

#include <commctrl.h>

#include <algorithm>

#include "winui/ChildControl.h"

namespace velmira {

namespace {

// The timer that draws a change a frame after the last drawing; the
// control's own timers are never let through.
constexpr UINT_PTR kLaterTimer = 0x7E11;

HWND CreateBar(HWND parent, const PixelRect& at, int id) {
    static const bool registered = [] {
        const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    return ChildControl(PROGRESS_CLASSW, "", 0, parent, at, id, nullptr);
}

}  // namespace

ProgressBar::ProgressBar(HWND parent, const Placement& frame, const Placement& fill, int id,
                         HBRUSH background, int dotsPerInch)
    : frame_(frame.twips, std::nullopt),
      fill_(fill.twips, fill.color),
      background_(background),
      dpi_(dotsPerInch),
      at_(frame_.Pixels(dotsPerInch)),
      hwnd_(CreateBar(parent, at_, id)) {
    SendMessageW(hwnd_, PBM_SETRANGE32, 0, 100);
    SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(Percent()), 0);
    SetWindowSubclass(hwnd_, &ProgressBar::Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

ProgressBar::~ProgressBar() {
    RemoveWindowSubclass(hwnd_, &ProgressBar::Subclass, 1);
}

void ProgressBar::SetFillWidth(float twips) {
    const double width = fill_.Width();
    const PixelRect before = fill_.Pixels(dpi_);
    fill_.SetWidth(twips);
    const PixelRect after = fill_.Pixels(dpi_);
    const BarPacer::Step step =
        pacer_.Change(width, fill_.Width(), frame_.Width(), after != before);
    if (step.percent) SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(*step.percent), 0);
    if (step.drawNow) {
        const RECT dirty{before.left - at_.left, before.top - at_.top,
                         before.left - at_.left + std::max({before.width, after.width, 1}) + 1,
                         before.top - at_.top + before.height + 1};
        InvalidateRect(hwnd_, &dirty, FALSE);
    }
    if (step.drawAfter) {
        SetTimer(hwnd_, kLaterTimer, static_cast<UINT>(step.drawAfter->count()), nullptr);
    }
}

void ProgressBar::Paint(HDC dc) const {
    RECT area{0, 0, at_.width, at_.height};
    FillRect(dc, &area, background_);
    // The shapes are placed in the panel; the control sits at the frame.
    POINT origin;
    SetViewportOrgEx(dc, -at_.left, -at_.top, &origin);
    frame_.Paint(dc, dpi_);
    fill_.Paint(dc, dpi_);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

LRESULT CALLBACK ProgressBar::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    auto* bar = reinterpret_cast<ProgressBar*>(self);
    switch (message) {
        // The system's own look animates by timer: never shown.
        case WM_TIMER:
            if (wParam == kLaterTimer) {
                KillTimer(hwnd, kLaterTimer);
                InvalidateRect(hwnd, nullptr, FALSE);
                bar->pacer_.Drawn();
            }
            return 0;
        // The control's own redrawing for a new value: the value is for
        // screen readers, the drawing is paced above.
        case PBM_SETPOS: {
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            ValidateRect(hwnd, nullptr);
            return result;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(hwnd, &paint);
            bar->Paint(dc);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            bar->Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return DefSubclassProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace velmira
