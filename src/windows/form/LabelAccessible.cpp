#include "LabelAccessible.h"

#include <QLabel>

namespace forms {

namespace {

QAccessibleInterface *labelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("forms::Label"))
        return new LabelAccessible(static_cast<QLabel *>(object));
    return nullptr;
}

} // namespace

LabelAccessible::LabelAccessible(QLabel *label)
    : ReadOnlyTextAccessible(label, QAccessible::StaticText)
{
}

void LabelAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(labelFactory);
        return true;
    }();
    Q_UNUSED(installed);
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
