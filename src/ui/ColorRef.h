#pragma once

#include <QColor>
#include <cstdint>

namespace velmira {

// Colours are kept as 0x00BBGGRR values, red in the low byte.
QColor FromColorRef(std::uint32_t bgr);

}  // namespace velmira
