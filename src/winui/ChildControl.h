#pragma once

#include <windows.h>

#include <string_view>

#include "commands/Layout.h"

namespace velmira {

// Creates one of the system's controls at its place with the given font;
// stops the program when the system refuses.
HWND ChildControl(const wchar_t* className, std::string_view utf8Text, DWORD style, HWND parent,
                  const PixelRect& at, int id, HFONT font);

// Fits a control to its one line of text in its font, keeping its corner.
void FitToText(HWND control);

}  // namespace velmira
