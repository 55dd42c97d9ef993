#include "CheckBoxAccessible.h"

#include <host/accessibility.h>

#include <QCheckBox>

namespace forms {

CheckBoxAccessible::CheckBoxAccessible(QCheckBox *box)
    : QAccessibleWidget(box, QAccessible::CheckBox)
{
}

QCheckBox *CheckBoxAccessible::box() const
{
    return static_cast<QCheckBox *>(widget());
}

QAccessible::State CheckBoxAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = box()->checkState() == Qt::Checked;
    s.checkStateMixed = box()->checkState() == Qt::PartiallyChecked;
    s.pressed = box()->isDown();
    return s;
}

QString CheckBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString set = widget()->accessibleName();
        return set.isEmpty() ? host::withoutAccessMarks(box()->text()) : set;
    }
    return QAccessibleWidget::text(t);
}

QStringList CheckBoxAccessible::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled())
        names << pressAction() << toggleAction();
    return names + QAccessibleWidget::actionNames();
}

void CheckBoxAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction())
        host::pressLikeSpaceKey(box());
    else if (actionName == toggleAction() && box()->isEnabled())
        box()->toggle();
    else
        QAccessibleWidget::doAction(actionName);
}

} // namespace forms
