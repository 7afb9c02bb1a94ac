#pragma once

#include <QRect>

#include "commands/Layout.h"

namespace velmira {

// A layout rectangle in Qt's device-independent pixels: Qt scales those
// itself, so the layout's 96 dots per inch hold at every scale factor.
QRect ToQRect(const TwipsRect& rect);

}  // namespace velmira
