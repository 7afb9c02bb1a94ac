#include "winui/LabelButton.h"

#include <commctrl.h>

#include <cstdio>
#include <exception>
#include <string>
#include <utility>

#include "winui/ChildControl.h"

namespace velmira {

LabelButton::LabelButton(HWND parent, const Placement& row, int id, HFONT font, int dotsPerInch,
                         std::function<void()> onPointer)
    : hwnd_(RowControl(L"BUTTON", row, BS_OWNERDRAW | WS_TABSTOP | WS_GROUP, parent, id, font,
                       dotsPerInch)),
      onPointer_(std::move(onPointer)) {
    SetWindowSubclass(hwnd_, &LabelButton::Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

LabelButton::~LabelButton() {
    RemoveWindowSubclass(hwnd_, &LabelButton::Subclass, 1);
}

void LabelButton::SetColor(std::uint32_t bgr) {
    if (color_ == bgr) return;
    color_ = bgr;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

std::uint32_t LabelButton::Color() const {
    return color_.value_or(GetSysColor(COLOR_BTNTEXT));
}

void LabelButton::Draw(const DRAWITEMSTRUCT& item, HBRUSH background) const {
    const HDC dc = item.hDC;
    RECT area = item.rcItem;
    FillRect(dc, &area, background);
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd_, text.data(), length + 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Color());
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), length, &area, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    SelectObject(dc, old);
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &area);
}

LRESULT CALLBACK LabelButton::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    auto* button = reinterpret_cast<LabelButton*>(self);
    try {
        switch (message) {
            case WM_MOUSEMOVE:
                if (button->onPointer_) button->onPointer_();
                break;
            case WM_GETDLGCODE: {
                // Enter belongs to the focused label-button, not to a default
                // button the window does not have.
                const auto* pending = reinterpret_cast<const MSG*>(lParam);
                LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
                if (pending != nullptr && pending->message == WM_KEYDOWN &&
                    pending->wParam == VK_RETURN) {
                    code |= DLGC_WANTMESSAGE;
                }
                return code;
            }
            case WM_KEYDOWN:
                if (wParam == VK_RETURN) {
                    SendMessageW(GetParent(hwnd), WM_COMMAND,
                                 MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(hwnd));
                    return 0;
                }
                break;
            case WM_CHAR:
                if (wParam == L'\r') return 0;
                break;
            default:
                break;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "label-button message %u: %s\n", message, error.what());
    } catch (...) {
        std::fprintf(stderr, "label-button message %u: unknown failure\n", message);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace velmira
