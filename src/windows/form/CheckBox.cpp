#include <forms/CheckBox.h>

#include "CheckBoxAccessible.h"

namespace forms {

CheckBox::CheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent)
{
    CheckBoxAccessible::install();
}

} // namespace forms
