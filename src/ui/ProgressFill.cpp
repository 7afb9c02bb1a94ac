#include "ui/ProgressFill.h"

#include <QAccessible>
#include <QTimer>

namespace velmira {

ProgressFill::ProgressFill(TwipsRect twips, QColor fill, const RectangleShape& frame,
                           QWidget* parent)
    : RectangleShape(twips, fill, parent), frame_(frame) {}

void ProgressFill::SetFill(float twips) {
    const float before = WidthTwips();
    KeepWidth(twips);
    const BarPacer::Step step = pacer_.Change(before, WidthTwips(), frame_.WidthTwips());
    if (step.drawNow) Place();
    if (step.drawAfter) {
        QTimer::singleShot(*step.drawAfter, this, [this] {
            Place();
            pacer_.Drawn();
        });
    }
    if (step.percent && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, *step.percent);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace velmira
