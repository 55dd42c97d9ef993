#include "ShapeAccessible.h"

#include <forms/ShapeControl.h>

namespace forms {

ShapeAccessible::ShapeAccessible(ShapeControl *shape)
    : QAccessibleWidget(shape, QAccessible::StatusBar)
{
}

void ShapeAccessible::meaningChanged(ShapeControl *shape)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent name(shape, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    QAccessibleValueChangeEvent value(shape, shape->meaningIndex());
    QAccessible::updateAccessibility(&value);
}

void *ShapeAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QVariant ShapeAccessible::currentValue() const
{
    return static_cast<ShapeControl *>(widget())->meaningIndex();
}

QVariant ShapeAccessible::maximumValue() const
{
    return static_cast<ShapeControl *>(widget())->meaningCount() - 1;
}

QVariant ShapeAccessible::minimumValue() const
{
    return 0;
}

QString ShapeAccessible::text(QAccessible::Text t) const
{
    const QString meaning = static_cast<ShapeControl *>(widget())->meaning();
    switch (t) {
    case QAccessible::Name:
        return meaning.isEmpty() ? widget()->accessibleName() : meaning;
    case QAccessible::Value:
        return meaning;
    default:
        return QAccessibleWidget::text(t);
    }
}

} // namespace forms

