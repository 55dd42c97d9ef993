#pragma once
// The accessible side of a control that shows text the user reads but does
// not edit or select (a label, a document viewer): the text interface over
// the control's whole text, so that a screen reader reads it by character,
// word or line. A reading position (the caret a reader moves) is kept here.

#include <QAccessibleWidget>

namespace forms {

class ReadOnlyTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    ReadOnlyTextAccessible(QWidget *widget, QAccessible::Role role);

    void *interface_cast(QAccessible::InterfaceType t) override;

    void selection(int, int *startOffset, int *endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    using QAccessibleWidget::text;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

protected:
    // The whole text, as it is now.
    virtual const QString &readText() const = 0;
    // Brings the text at `offset` into view, where the control can.
    virtual void showOffset(int offset) { Q_UNUSED(offset); }

private:
    int m_cursor = 0;
};

} // namespace forms
