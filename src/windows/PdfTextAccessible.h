#pragma once
// How the command list's PDF viewer shows itself to assistive technology: a
// document whose text is the text of its pages, one after another, so that a
// screen reader can read the commands (line by line, or all of it). Moving
// the reading position to another page brings that page into view.

#include <forms/ReadOnlyTextAccessible.h>

#include <QList>

class QPdfDocument;
class QPdfView;

namespace windows {

class PdfTextAccessible : public forms::ReadOnlyTextAccessible
{
public:
    explicit PdfTextAccessible(QPdfView *view);

protected:
    // Read again only after the document's status changed (a load or a
    // close).
    const QString &readText() const override;
    void showOffset(int offset) override;

private:
    QPdfView *view() const;

    mutable QString m_text;
    mutable QList<int> m_pageStarts; // offset of each page's first character
    mutable const QPdfDocument *m_textOf = nullptr;
    mutable bool m_stale = true;
};

} // namespace windows
