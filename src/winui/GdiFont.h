#pragma once

#include <windows.h>

#include "commands/Layout.h"

namespace velmira {

// An owned HFONT: a layout font of kControlFace for the screen's DPI;
// another Japanese face where this PC lacks that one.
class GdiFont {
  public:
    GdiFont(const TextFont& font, int dotsPerInch);
    ~GdiFont();
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

    HFONT Handle() const { return font_; }

  private:
    HFONT font_;
};

}  // namespace velmira
