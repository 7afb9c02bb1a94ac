#include "winui/ChildControl.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "winui/WideText.h"

namespace velmira {

HWND ChildControl(const wchar_t* className, std::string_view utf8Text, DWORD style, HWND parent,
                  const PixelRect& at, int id, HFONT font) {
    const std::wstring text = WideText(utf8Text);
    const HWND control = CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                         at.left, at.top, at.width, at.height, parent,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        std::fprintf(stderr, "CreateWindowExW(%ls) failed: %lu\n", className, GetLastError());
        std::abort();
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HWND RowControl(const wchar_t* className, const Placement& row, DWORD style, HWND parent, int id,
                HFONT font, int dotsPerInch) {
    const HWND control = ChildControl(className, row.text, style, parent,
                                      ToPixels(row.twips, dotsPerInch), id, font);
    // One above the colour, so that 0 stays "none".
    if (row.color) SetWindowLongPtrW(control, GWLP_USERDATA, LONG_PTR{*row.color} + 1);
    if (row.sizing == Sizing::FitsText) FitToText(control);
    return control;
}

void FitToText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    const HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT size{0, 0, 0, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &size, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    SetWindowPos(control, nullptr, 0, 0, size.right, size.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ColorStatic(WPARAM dc, LPARAM control, HBRUSH background) {
    const auto context = reinterpret_cast<HDC>(dc);
    const LONG_PTR kept = GetWindowLongPtrW(reinterpret_cast<HWND>(control), GWLP_USERDATA);
    SetBkMode(context, TRANSPARENT);
    SetTextColor(context,
                 kept != 0 ? static_cast<COLORREF>(kept - 1) : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(background);
}

}  // namespace velmira
