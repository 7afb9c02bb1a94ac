#include "Twips.h"

#include <QtGlobal>
#include <cmath>
#include <string>

namespace velmira {

int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

QRect ToPixels(const TwipsRect& rect) {
    const int left = TwipsToPixels(rect.left);
    const int top = TwipsToPixels(rect.top);
    const int right = TwipsToPixels(rect.left + rect.width);
    const int bottom = TwipsToPixels(rect.top + rect.height);
    return QRect(left, top, right - left, bottom - top);
}

const TwipsRect& TwipsOf(std::span<const Placement> table, std::string_view name) {
    for (const auto& row : table) {
        if (row.name == name) return row.twips;
    }
    qFatal("no layout row for %s", std::string(name).c_str());
}

}  // namespace velmira
