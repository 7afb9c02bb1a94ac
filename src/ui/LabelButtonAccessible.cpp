#include "ui/LabelButtonAccessible.h"

#include <QPointer>
#include <QTimer>

#include "ui/LabelButton.h"

namespace velmira {

LabelButtonAccessible::LabelButtonAccessible(LabelButton* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

QString LabelButtonAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name) return static_cast<const LabelButton*>(widget())->text();
    return QAccessibleWidget::text(kind);
}

QStringList LabelButtonAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void LabelButtonAccessible::doAction(const QString& action) {
    if (action != pressAction()) {
        QAccessibleWidget::doAction(action);
        return;
    }
    QPointer<LabelButton> button = static_cast<LabelButton*>(widget());
    QTimer::singleShot(0, button, [button] {
        if (button) button->Press();
    });
}

}  // namespace velmira
