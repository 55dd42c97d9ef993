#include "PdfTextAccessible.h"

#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSelection>
#include <QPdfView>

#include <algorithm>

namespace windows {

namespace {

QAccessibleInterface *pdfViewFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QPdfView"))
        return new PdfTextAccessible(static_cast<QPdfView *>(object));
    return nullptr;
}

} // namespace

PdfTextAccessible::PdfTextAccessible(QPdfView *view)
    : QAccessibleWidget(view, QAccessible::Document)
{
}

void PdfTextAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(pdfViewFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void *PdfTextAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QPdfView *PdfTextAccessible::view() const
{
    return static_cast<QPdfView *>(widget());
}

const QString &PdfTextAccessible::documentText() const
{
    QPdfDocument *document = view()->document();
    if (document != m_textOf) {
        m_textOf = document;
        m_stale = true;
        // A load or a close changes the status; the text is read again then.
        if (document)
            QObject::connect(document, &QPdfDocument::statusChanged, view(), [this] { m_stale = true; });
    }
    if (!m_stale)
        return m_text;
    m_text.clear();
    m_pageStarts.clear();
    const int pages = document && document->status() == QPdfDocument::Status::Ready ? document->pageCount() : 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            m_text += QLatin1Char('\n');
        m_pageStarts.append(int(m_text.size()));
        // Lines of a page end in CR LF or LF; a reader wants one break.
        m_text += document->getAllText(page).text().replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }
    m_stale = false;
    return m_text;
}

void PdfTextAccessible::selection(int, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
}

int PdfTextAccessible::cursorPosition() const
{
    return std::min(m_cursor, characterCount());
}

void PdfTextAccessible::setCursorPosition(int position)
{
    m_cursor = std::clamp(position, 0, characterCount());
    scrollToSubstring(m_cursor, m_cursor);
}

QString PdfTextAccessible::text(int startOffset, int endOffset) const
{
    const QString &all = documentText();
    if (endOffset < 0 || endOffset > all.size())
        endOffset = int(all.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return all.mid(startOffset, endOffset - startOffset);
}

int PdfTextAccessible::characterCount() const
{
    return int(documentText().size());
}

void PdfTextAccessible::scrollToSubstring(int startIndex, int)
{
    documentText();
    const auto after = std::upper_bound(m_pageStarts.cbegin(), m_pageStarts.cend(), startIndex);
    if (after == m_pageStarts.cbegin())
        return;
    const int page = int(after - m_pageStarts.cbegin()) - 1;
    if (view()->pageNavigator()->currentPage() != page)
        view()->pageNavigator()->jump(page, QPointF());
}

QString PdfTextAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // Plain text throughout: one run without attributes.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

} // namespace windows
