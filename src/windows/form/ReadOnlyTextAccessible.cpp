#include <forms/ReadOnlyTextAccessible.h>

#include <algorithm>

namespace forms {

ReadOnlyTextAccessible::ReadOnlyTextAccessible(QWidget *widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{
}

void *ReadOnlyTextAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void ReadOnlyTextAccessible::selection(int, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
}

int ReadOnlyTextAccessible::cursorPosition() const
{
    return std::min(m_cursor, characterCount());
}

void ReadOnlyTextAccessible::setCursorPosition(int position)
{
    m_cursor = std::clamp(position, 0, characterCount());
    showOffset(m_cursor);
}

QString ReadOnlyTextAccessible::text(int startOffset, int endOffset) const
{
    const QString &all = readText();
    if (endOffset < 0 || endOffset > all.size())
        endOffset = int(all.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return all.mid(startOffset, endOffset - startOffset);
}

int ReadOnlyTextAccessible::characterCount() const
{
    return int(readText().size());
}

void ReadOnlyTextAccessible::scrollToSubstring(int startIndex, int)
{
    showOffset(std::clamp(startIndex, 0, characterCount()));
}

QString ReadOnlyTextAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    // Plain text throughout: one run without attributes.
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

} // namespace forms
