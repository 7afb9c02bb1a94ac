#pragma once

#include <QRect>
#include <span>
#include <string_view>

namespace velmira {

// The windows are laid out in twips, 15 to a pixel at 96 dpi. Qt places
// widgets in device-independent pixels, so the same ratio holds at every
// scale factor.
inline constexpr double kTwipsPerPixel = 15.0;

struct TwipsRect {
    double left;
    double top;
    double width;
    double height;
};

// One coordinate in pixels, rounded half away from zero.
int TwipsToPixels(double twips);

// Edges are rounded, not sizes, so that controls which touch in twips still
// touch in pixels.
QRect ToPixels(const TwipsRect& rect);

// One row of a window's layout table: a control's name and its rectangle in
// twips, relative to its container.
struct Placement {
    std::string_view name;
    TwipsRect twips;
};

// The row of `name`; a name missing from the table is a programming error
// and stops the program.
const TwipsRect& TwipsOf(std::span<const Placement> table, std::string_view name);

}  // namespace velmira
