#pragma once

#include <windows.h>

#include <string_view>

namespace velmira {

// An owned HFONT: a Japanese face at a size in points, for the screen's DPI;
// another Japanese face where this PC lacks the one asked for.
class GdiFont {
  public:
    GdiFont(std::string_view utf8Face, double points, int dotsPerInch, bool underline = false);
    ~GdiFont();
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

    HFONT Handle() const { return font_; }

  private:
    HFONT font_;
};

}  // namespace velmira
