#include "ui/LineShape.h"

#include <QPainter>

namespace velmira {

LineShape::LineShape(TwipsRect twips, QColor color, QWidget* parent)
    : QWidget(parent), color_(color) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    QRect pixels = ToQRect(twips);
    pixels.setHeight(1);
    setGeometry(pixels);
}

void LineShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
}

}  // namespace velmira
