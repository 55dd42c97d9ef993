#include <forms/MultiLineTextBox.h>

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace forms {

namespace {

// CR LF, CR and LF -> LF: Qt's own line break.
QString toQtLines(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Program appends are not the user's edits: keeping them on the undo
    // stack would grow memory with every received line.
    setUndoRedoEnabled(false);
    setTabChangesFocus(true);
}

QString MultiLineTextBox::text() const
{
    // toRawText keeps the characters as typed (toPlainText would turn
    // non-breaking spaces into spaces); blocks are separated by U+2029.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    raw.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return raw;
}

void MultiLineTextBox::setText(const QString &text)
{
    setPlainText(toQtLines(text));
}

void MultiLineTextBox::appendText(const QString &text)
{
    if (text.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toQtLines(text));
}

int MultiLineTextBox::textLength() const
{
    // characterCount counts one separator per block plus the final one.
    return document()->characterCount() - 1 + (document()->blockCount() - 1);
}

int MultiLineTextBox::selStart() const
{
    const QTextCursor cursor = textCursor();
    const int position = qMin(cursor.position(), cursor.anchor());
    return position + document()->findBlock(position).blockNumber();
}

void MultiLineTextBox::setSelStart(int offset)
{
    offset = qBound(0, offset, textLength());
    if (offset == textLength()) {
        moveCursor(QTextCursor::End); // the common case, without a walk
        return;
    }
    // Walk blocks: each one takes its length plus 2 for its CR LF.
    QTextBlock block = document()->begin();
    int base = 0;
    while (block.isValid()) {
        const int len = block.length() - 1;
        if (offset <= base + len || !block.next().isValid()) {
            QTextCursor cursor(document());
            cursor.setPosition(block.position() + qMin(offset - base, len));
            setTextCursor(cursor);
            return;
        }
        base += len + 2;
        block = block.next();
    }
}

} // namespace forms
