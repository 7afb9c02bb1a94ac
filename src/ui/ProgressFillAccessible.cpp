#include "ui/ProgressFillAccessible.h"

#include "ui/ProgressFill.h"

namespace velmira {

ProgressFillAccessible::ProgressFillAccessible(ProgressFill* fill)
    : QAccessibleWidget(fill, QAccessible::ProgressBar) {}

void* ProgressFillAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString ProgressFillAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) return QString::number(fill().Percent()) + QLatin1Char('%');
    return QAccessibleWidget::text(kind);
}

QVariant ProgressFillAccessible::currentValue() const {
    return fill().Percent();
}

const ProgressFill& ProgressFillAccessible::fill() const {
    return *static_cast<const ProgressFill*>(widget());
}

}  // namespace velmira
