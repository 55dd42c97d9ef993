#pragma once
// How a ShapeControl shows itself to assistive technology: a status
// indicator whose name and value text are the meaning of its current colour
// (or, without one, the name set with setAccessibleName()). Its numeric value
// is the place of that meaning among those given, in the order they were
// given (-1 for none), so a change of meaning is a change of value.

#include <QAccessibleWidget>

namespace forms {

class ShapeControl;

class ShapeAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit ShapeAccessible(ShapeControl *shape);

    // The meaning changed: raises the name and value changes.
    static void meaningChanged(ShapeControl *shape);

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }
};

} // namespace forms
