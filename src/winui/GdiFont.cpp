#include "winui/GdiFont.h"

#include <cmath>
#include <string>

#include "winui/JapaneseFace.h"
#include "winui/WideText.h"

namespace velmira {

GdiFont::GdiFont(const TextFont& font, int dotsPerInch) {
    const std::wstring face = JapaneseFace(WideText(kControlFace)).Name();
    const int height = -static_cast<int>(std::lround(font.points * dotsPerInch / 72.0));
    font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, font.underline ? TRUE : FALSE, FALSE,
                        SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        VARIABLE_PITCH | FF_SWISS, face.c_str());
    // Without the face the system's own GUI font still draws the texts.
    if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

GdiFont::~GdiFont() {
    if (font_ != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font_);
}

}  // namespace velmira
