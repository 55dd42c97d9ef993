#include <forms/Label.h>

#include "LabelAccessible.h"

namespace forms {

Label::Label(QWidget *parent)
    : QLabel(parent)
{
    LabelAccessible::install();
}

} // namespace forms
