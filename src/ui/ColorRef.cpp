#include "ui/ColorRef.h"

#include <QWidget>

namespace velmira {

QColor FromColorRef(std::uint32_t bgr) {
    const auto channel = [bgr](int shift) { return static_cast<int>((bgr >> shift) & 0xFFU); };
    return QColor(channel(0), channel(8), channel(16));
}

void SetPaletteColor(QWidget* widget, QPalette::ColorRole role, std::uint32_t bgr) {
    QPalette palette = widget->palette();
    palette.setColor(role, FromColorRef(bgr));
    widget->setPalette(palette);
}

}  // namespace velmira
