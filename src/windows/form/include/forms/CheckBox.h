#pragma once

#include <QCheckBox>

namespace forms {

// The check box control: Qt's check box, under a class of its own so that
// assistive technology finds it as a button that takes "Press" (what the
// Space key does), as every other button of the windows does, besides Qt's
// "Toggle" (see CheckBoxAccessible).
class CheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit CheckBox(const QString &text, QWidget *parent = nullptr);
};

} // namespace forms
