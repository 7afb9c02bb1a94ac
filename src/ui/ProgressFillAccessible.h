#pragma once

#include <QAccessibleWidget>

namespace velmira {

class ProgressFill;

// The progress bar as screen readers see it: its value in percent.
class ProgressFillAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit ProgressFillAccessible(ProgressFill* fill);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    const ProgressFill& fill() const;
};

}  // namespace velmira
