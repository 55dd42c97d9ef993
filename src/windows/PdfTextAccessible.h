#pragma once
// How the command list's PDF viewer shows itself to assistive technology: a
// document whose text is the text of its pages, one after another, so that a
// screen reader can read the commands (line by line, or all of it). The
// viewer has no caret of its own; the reading position is kept here, and
// moving it to another page brings that page into view.

#include <QAccessibleWidget>

#include <QList>

class QPdfDocument;
class QPdfView;

namespace windows {

class PdfTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit PdfTextAccessible(QPdfView *view);

    // Registers the interface for every QPdfView (once per process).
    static void install();

    void *interface_cast(QAccessible::InterfaceType t) override;

    void selection(int, int *startOffset, int *endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    QPdfView *view() const;
    // The document's text, read again only after the document's status
    // changed (a load or a close).
    const QString &documentText() const;

    mutable QString m_text;
    mutable QList<int> m_pageStarts; // offset of each page's first character
    mutable const QPdfDocument *m_textOf = nullptr;
    mutable bool m_stale = true;
    int m_cursor = 0;
};

} // namespace windows
