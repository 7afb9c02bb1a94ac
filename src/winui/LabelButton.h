#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "commands/Layout.h"

namespace velmira {

// An underlined label that works as a push button: an owner-drawn BUTTON,
// so that the keyboard reaches it and a screen reader offers it as a push
// button, drawn as the label it replaces (its text in its colour on the
// window's colour), with a focus rectangle while it has the focus. Enter and
// Space press it as a click does; the window receives all three as
// BN_CLICKED. The pointer moving over it is reported to `onPointer`.
class LabelButton {
  public:
    // Made as its layout row says, fitted to its text.
    LabelButton(HWND parent, const Placement& row, int id, HFONT font, int dotsPerInch,
                std::function<void()> onPointer);
    ~LabelButton();
    LabelButton(const LabelButton&) = delete;
    LabelButton& operator=(const LabelButton&) = delete;

    HWND Handle() const { return hwnd_; }
    void SetColor(std::uint32_t bgr);
    std::uint32_t Color() const;
    // Answers the window's WM_DRAWITEM for this button.
    void Draw(const DRAWITEMSTRUCT& item, HBRUSH background) const;

  private:
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);

    HWND hwnd_;
    std::function<void()> onPointer_;
    // Until the first colour is set the system's text colour shows.
    std::optional<std::uint32_t> color_;
};

}  // namespace velmira
