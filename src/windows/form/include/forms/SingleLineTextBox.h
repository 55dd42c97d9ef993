#pragma once

#include <QLineEdit>

namespace forms {

// A single-line text box with the sunken two-pixel edge of the classic
// desktop: a grey and a black line along the top and left, a white and a
// light grey line along the bottom and right, the text inset within it.
// It has no length limit. Up and Down move the caret back and forward, as
// Left and Right do, as in the classic edit box: an arrow never leaves the
// box. Everything else is the line edit's own.
class SingleLineTextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit SingleLineTextBox(const QString &text, QWidget *parent = nullptr);

    static constexpr int EdgeWidth = 2;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace forms
