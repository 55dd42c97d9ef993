#include "PdfTextAccessible.h"

#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSelection>
#include <QPdfView>

#include <algorithm>

namespace windows {

PdfTextAccessible::PdfTextAccessible(QPdfView *view)
    : ReadOnlyTextAccessible(view, QAccessible::Document)
{
}

QPdfView *PdfTextAccessible::view() const
{
    return static_cast<QPdfView *>(widget());
}

const QString &PdfTextAccessible::readText() const
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

void PdfTextAccessible::showOffset(int offset)
{
    readText();
    const auto after = std::upper_bound(m_pageStarts.cbegin(), m_pageStarts.cend(), offset);
    if (after == m_pageStarts.cbegin())
        return;
    const int page = int(after - m_pageStarts.cbegin()) - 1;
    if (view()->pageNavigator()->currentPage() != page)
        view()->pageNavigator()->jump(page, QPointF());
}

} // namespace windows
