#include "ui/ProgressFill.h"

#include <QAccessible>
#include <QTimer>

namespace velmira {

ProgressFill::ProgressFill(TwipsRect twips, QColor fill, const RectangleShape& frame,
                           QWidget* parent)
    : RectangleShape(twips, fill, parent), frame_(frame) {}

void ProgressFill::SetFill(float twips) {
    const int before = Percent();
    KeepWidth(twips);
    const auto now = FramePacer::Clock::now();
    switch (pacer_.Change(now)) {
        case FramePacer::Pace::Now:
            Place();
            break;
        case FramePacer::Pace::Later:
            QTimer::singleShot(pacer_.Wait(now), this, [this] {
                Place();
                pacer_.Drawn(FramePacer::Clock::now());
            });
            break;
        case FramePacer::Pace::Waiting:
            break;
    }
    const int after = Percent();
    if (after != before && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, after);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace velmira
