#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "commands/Layout.h"

namespace velmira {

// A rectangle with a thin black outline, hollow or filled, drawn by its
// container. Its width can change (the bar's fill).
class RectangleShape {
  public:
    RectangleShape(const TwipsRect& twips, std::optional<std::uint32_t> fill)
        : twips_(twips), fill_(fill) {}

    void Paint(HDC dc, int dotsPerInch) const;
    PixelRect Pixels(int dotsPerInch) const { return ToPixels(twips_, dotsPerInch); }
    double Width() const { return twips_.width; }
    void SetWidth(double twips) { twips_.width = twips; }

  private:
    TwipsRect twips_;
    std::optional<std::uint32_t> fill_;
};

}  // namespace velmira
