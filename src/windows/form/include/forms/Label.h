#pragma once

#include <QLabel>

namespace forms {

// The label control: Qt's label, under a class of its own so that assistive
// technology reads its text through the text interface, line by line, and
// not only as one name (see LabelAccessible). Text too big for the painter's
// glyph cache is drawn once into a kept image and copied at each paint.
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool paintKeptText();
};

} // namespace forms
