#pragma once
// How a forms::Label shows itself to assistive technology: static text named
// by its text (Qt reports each change of it), readable through the text
// interface, and the label of its buddy.

#include <forms/ReadOnlyTextAccessible.h>

class QLabel;

namespace forms {

class LabelAccessible : public ReadOnlyTextAccessible
{
public:
    explicit LabelAccessible(QLabel *label);

    QString text(QAccessible::Text t) const override;
    using ReadOnlyTextAccessible::text;
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match = QAccessible::AllRelations) const override;

protected:
    const QString &readText() const override;

private:
    QLabel *label() const;
    mutable QString m_text;
};

} // namespace forms
