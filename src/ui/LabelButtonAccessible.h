#pragma once

#include <QAccessibleWidget>

namespace velmira {

class LabelButton;

// A label-button as screen readers see it: a push button named by its text
// with a press action.
class LabelButtonAccessible : public QAccessibleWidget {
  public:
    explicit LabelButtonAccessible(LabelButton* button);

    QString text(QAccessible::Text kind) const override;
    QStringList actionNames() const override;
    // The press is queued: the command may open a modal box, and the
    // reader's call must not wait for the operator to answer it.
    void doAction(const QString& action) override;
};

}  // namespace velmira
