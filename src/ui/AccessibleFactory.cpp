#include "ui/AccessibleFactory.h"

#include <QAccessible>

#include "ui/LabelButton.h"
#include "ui/LabelButtonAccessible.h"
#include "ui/ProgressFill.h"
#include "ui/ProgressFillAccessible.h"

namespace velmira {

namespace {

QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
    if (className == QLatin1String(LabelButton::staticMetaObject.className())) {
        return new LabelButtonAccessible(static_cast<LabelButton*>(object));
    }
    if (className == QLatin1String(ProgressFill::staticMetaObject.className())) {
        return new ProgressFillAccessible(static_cast<ProgressFill*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleFor);
        return true;
    }();
    (void)installed;
}

}  // namespace velmira
