#include "LabelAccessible.h"

#include <QLabel>

namespace forms {

LabelAccessible::LabelAccessible(QLabel *label)
    : ReadOnlyTextAccessible(label, QAccessible::StaticText)
{
}

QLabel *LabelAccessible::label() const
{
    return static_cast<QLabel *>(widget());
}

QString LabelAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString set = widget()->accessibleName();
        return set.isEmpty() ? label()->text() : set;
    }
    return ReadOnlyTextAccessible::text(t);
}

QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
LabelAccessible::relations(QAccessible::Relation match) const
{
    auto rels = ReadOnlyTextAccessible::relations(match);
    if ((match & QAccessible::Labelled) && label()->buddy()) {
        if (QAccessibleInterface *buddy = QAccessible::queryAccessibleInterface(label()->buddy()))
            rels.append({buddy, QAccessible::Labelled});
    }
    return rels;
}

const QString &LabelAccessible::readText() const
{
    m_text = label()->text();
    return m_text;
}

} // namespace forms
