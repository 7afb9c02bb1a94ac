#include "ui/RectangleShape.h"

#include <QPainter>
#include <algorithm>

namespace velmira {

RectangleShape::RectangleShape(TwipsRect twips, std::optional<QColor> fill, QWidget* parent)
    : QWidget(parent), twips_(twips), width_(static_cast<float>(twips.width)), fill_(fill) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    Place();
}

void RectangleShape::SetWidthTwips(float twips) {
    width_ = twips;
    Place();
}

void RectangleShape::Place() {
    TwipsRect shown = twips_;
    // A width under half a pixel (the 1-twip start of the bar) still shows as
    // a one-pixel sliver; a negative width is shown as none at all.
    shown.width = std::max(0.0, static_cast<double>(width_));
    QRect pixels = ToQRect(shown);
    if (pixels.width() < 1) pixels.setWidth(1);
    // A bar step under a pixel changes nothing on the screen; repainting
    // for it would cost more than copying a small file. A new geometry
    // repaints by itself.
    if (pixels != geometry()) setGeometry(pixels);
}

void RectangleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (fill_) painter.fillRect(rect(), *fill_);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace velmira
