#pragma once

#include <algorithm>
#include <cmath>

namespace velmira {

// The bar's value for screen readers: the fill's share of the frame in
// whole percent, 0 at the bar's 1-twip start, 100 once it covers the frame.
inline int BarPercent(double fillTwips, double frameTwips) {
    if (!(frameTwips > 0)) return 0;
    const double share = (fillTwips - 1.0) / frameTwips;
    if (!std::isfinite(share)) return 0;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * 100.0));
}

}  // namespace velmira
