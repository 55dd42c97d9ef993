#pragma once

#include <QLabel>

namespace forms {

// The label control: Qt's label, under a class of its own so that assistive
// technology reads its text through the text interface, line by line, and
// not only as one name (see LabelAccessible).
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(QWidget *parent = nullptr);
};

} // namespace forms
