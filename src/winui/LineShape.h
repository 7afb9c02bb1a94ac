#pragma once

#include <windows.h>

#include <cstdint>

#include "commands/Layout.h"

namespace velmira {

// A one-pixel line drawn by its container, from (left, top) to
// (left + width, top) of its layout row.
class LineShape {
  public:
    explicit LineShape(const Placement& row) : twips_(row.twips), color_(row.color.value()) {}
    void Paint(HDC dc, int dotsPerInch) const;

  private:
    TwipsRect twips_;
    std::uint32_t color_;
};

}  // namespace velmira
