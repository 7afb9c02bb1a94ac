#include "LabelButton.h"

#include <QMouseEvent>

namespace velmira {

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFocusPolicy(Qt::NoFocus);
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

}  // namespace velmira
