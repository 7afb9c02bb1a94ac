#include "commands/CentredRect.h"

#include <algorithm>

namespace velmira {

namespace {

// The start of a span of `size` centred over `extent` from `start`, kept
// within `areaExtent` from `areaStart`; the area's start wins when the
// span is longer.
int Centred(int size, int start, int extent, int areaStart, int areaExtent) {
    const int centred = start + (extent - size) / 2;
    return std::max(areaStart, std::min(centred, areaStart + areaExtent - size));
}

}  // namespace

PixelRect CentredRect(int width, int height, const PixelRect& owner, const PixelRect& workArea) {
    return {Centred(width, owner.left, owner.width, workArea.left, workArea.width),
            Centred(height, owner.top, owner.height, workArea.top, workArea.height), width, height};
}

}  // namespace velmira
