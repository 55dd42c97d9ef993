// mkpdf: typesets a Markdown text into a PDF document with Qt's PDF writer.
//
//   mkpdf SOURCE.md -o OUTPUT.pdf [--title TITLE]
//
// A4 pages with 15 mm margins and page numbers in the footer. Used at build
// time to make the commands document from its text source.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    QTextStream(stderr) << "mkpdf: " << message << "\n";
    return 1;
}

// Lays the document out on pages of the writer and paints them one by one,
// each with its number at the foot.
bool typeset(QTextDocument &document, QPdfWriter &writer)
{
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    const qreal footer = writer.resolution() * 0.4;
    const QSizeF body(page.width(), page.height() - footer);
    // The text is laid out at the writer's resolution: fonts in points scale
    // with the device.
    document.documentLayout()->setPaintDevice(&writer);
    document.setPageSize(body);
    const int pages = document.pageCount();
    QFont footerFont(QStringLiteral("Liberation Sans"));
    footerFont.setPointSizeF(8);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -i * body.height());
        const QRectF clip(0, i * body.height(), body.width(), body.height());
        document.drawContents(&painter, clip);
        painter.restore();
        painter.setFont(footerFont);
        painter.drawText(QRectF(0, body.height(), body.width(), footer), Qt::AlignCenter,
                         QStringLiteral("%1 / %2").arg(i + 1).arg(pages));
    }
    return painter.end();
}

} // namespace

int main(int argc, char **argv)
{
    // A build step: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString source, output, title;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("-o") && i + 1 < args.size())
            output = args.at(++i);
        else if (a == QLatin1String("--title") && i + 1 < args.size())
            title = args.at(++i);
        else if (source.isEmpty() && !a.startsWith(QLatin1Char('-')))
            source = a;
        else
            return fail(QStringLiteral("usage: mkpdf SOURCE.md -o OUTPUT.pdf [--title TITLE]"));
    }
    if (source.isEmpty() || output.isEmpty())
        return fail(QStringLiteral("usage: mkpdf SOURCE.md -o OUTPUT.pdf [--title TITLE]"));

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(source, in.errorString()));
    const QByteArray bytes = in.readAll();
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes)
        return fail(QStringLiteral("%1: not UTF-8 text").arg(source));

    QTextDocument document;
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(11);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setMarkdown(text);

    // Written to a temporary name first, so that a failed run leaves no
    // half-written document behind for the build to take as done.
    const QString partial = output + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setCreator(QStringLiteral("Radiosala mkpdf"));
        writer.setTitle(title);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        if (!typeset(document, writer)) {
            QFile::remove(partial);
            return fail(QStringLiteral("%1: cannot be written").arg(output));
        }
    }
    QFile::remove(output);
    if (!QFile::rename(partial, output)) {
        QFile::remove(partial);
        return fail(QStringLiteral("%1: cannot be written").arg(output));
    }
    return 0;
}
