#pragma once
// How a forms::CheckBox shows itself to assistive technology: a check box
// named by its caption, checkable and checked, with the actions "Press"
// (Space: a click, which toggles it and tells its owner) and "Toggle" (the
// state alone). Qt reports the changes of the checked state itself.

#include <QAccessibleWidget>

class QCheckBox;

namespace forms {

class CheckBoxAccessible : public QAccessibleWidget
{
public:
    explicit CheckBoxAccessible(QCheckBox *box);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QCheckBox *box() const;
};

} // namespace forms
