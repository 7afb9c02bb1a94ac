#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace velmira {

// Colours are kept as 0x00BBGGRR values, red in the low byte.
QColor FromColorRef(std::uint32_t bgr);

// Sets one colour role of a widget's palette from a 0x00BBGGRR value.
void SetPaletteColor(QWidget* widget, QPalette::ColorRole role, std::uint32_t bgr);

}  // namespace velmira
