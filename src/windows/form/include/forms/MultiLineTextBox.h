#pragma once

#include <QPlainTextEdit>

namespace forms {

// A multi-line text box whose text, as the program reads and writes it, has
// CR LF line ends. Inside, Qt keeps one block per line; CR LF, a lone CR and a
// lone LF all start a new line. appendText() adds at the end without touching
// what is already there, so its cost does not grow with the text.
class MultiLineTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MultiLineTextBox(QWidget *parent = nullptr);

    // The whole text, lines separated by CR LF (as many as there are line
    // breaks: a text that ends in a line break ends in CR LF).
    QString text() const;
    void setText(const QString &text);
    void appendText(const QString &text);
    int textLength() const; // in the CR LF form, as text().size()

    // The caret as an offset into text().
    int selStart() const;
    void setSelStart(int offset);
};

} // namespace forms
