#include <forms/CheckBox.h>

#include "CheckBoxAccessible.h"

#include <host/accessibility.h>

namespace forms {

CheckBox::CheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent)
{
    host::installAccessibleInterface<CheckBoxAccessible, CheckBox>();
}

} // namespace forms
