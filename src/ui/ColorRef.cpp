#include "ColorRef.h"

namespace velmira {

QColor FromColorRef(std::uint32_t bgr) {
    const auto channel = [bgr](int shift) { return static_cast<int>((bgr >> shift) & 0xFFU); };
    return QColor(channel(0), channel(8), channel(16));
}

}  // namespace velmira
