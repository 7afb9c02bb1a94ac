#include "ui/LabelButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace velmira {

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent) {
    // By the keyboard only: a click leaves the focus where it was, so the
    // mouse sees no focus rectangle appear.
    setFocusPolicy(Qt::TabFocus);
    // Movement without a button pressed must reach the label, not its window.
    setMouseTracking(true);
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    event->accept();
}

// A click is a press and a release of the left button over the label.
void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) pressed_ = false;
    event->accept();
    if (click) emit clicked();
}

void LabelButton::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit pointerMoved();
}

// A held key repeats: only its first press counts, so that the repeats
// cannot answer the box the command opens.
void LabelButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            event->accept();
            if (!event->isAutoRepeat()) emit clicked();
            return;
        default:
            QLabel::keyPressEvent(event);
    }
}

void LabelButton::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace velmira
