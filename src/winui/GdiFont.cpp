#include "winui/GdiFont.h"

#include <cmath>
#include <string>

#include "winui/JapaneseFace.h"
#include "winui/WideText.h"

namespace velmira {

GdiFont::GdiFont(std::string_view utf8Face, double points, int dotsPerInch, bool underline) {
    const std::wstring face = JapaneseFace(WideText(utf8Face)).Name();
    const int height = -static_cast<int>(std::lround(points * dotsPerInch / 72.0));
    font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE,
                        SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        VARIABLE_PITCH | FF_SWISS, face.c_str());
    // Without the face the system's own GUI font still draws the texts.
    if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

GdiFont::~GdiFont() {
    if (font_ != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font_);
}

}  // namespace velmira
