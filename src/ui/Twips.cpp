#include "ui/Twips.h"

namespace velmira {

QRect ToQRect(const TwipsRect& rect) {
    const PixelRect pixels = ToPixels(rect);
    return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

}  // namespace velmira
