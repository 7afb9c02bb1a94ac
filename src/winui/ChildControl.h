#pragma once

#include <windows.h>

#include <string_view>

#include "commands/Layout.h"

namespace velmira {

// Creates one of the system's controls at its place with the given font;
// stops the program when the system refuses.
HWND ChildControl(const wchar_t* className, std::string_view utf8Text, DWORD style, HWND parent,
                  const PixelRect& at, int id, HFONT font);

// The control of a layout row: its text and place at `dotsPerInch`, fitted to
// its text where the row says so, and its row's text colour, which
// ColorStatic gives it, kept in its user data.
HWND RowControl(const wchar_t* className, const Placement& row, DWORD style, HWND parent, int id,
                HFONT font, int dotsPerInch);

// Fits a control to its one line of text in its font, keeping its corner.
void FitToText(HWND control);

// A window's answer to WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: the control's
// text in its row's colour (else the system's) over `background`.
LRESULT ColorStatic(WPARAM dc, LPARAM control, HBRUSH background);

}  // namespace velmira
