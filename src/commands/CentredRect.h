#pragma once

#include "commands/Layout.h"

namespace velmira {

// A window of `width` by `height` pixels centred over `owner`, then moved
// into `workArea` (the work area of the owner's monitor) so that it shows
// whole where it fits, and its top left corner with the title bar where it
// does not. Coordinates are the virtual screen's: negative on a monitor to
// the left of or above the primary one.
PixelRect CentredRect(int width, int height, const PixelRect& owner, const PixelRect& workArea);

}  // namespace velmira
