#include <windows/Comandos.h>

#include <windows/DataPaths.h>

#include <texts/SystemReason.h>
#include "PdfTextAccessible.h"

#include <host/accessibility.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace windows {

namespace {

QString describe(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::FileNotFound:
        return QStringLiteral("O arquivo não foi encontrado.");
    case QPdfDocument::Error::InvalidFileFormat:
        return QStringLiteral("O arquivo não é um documento PDF válido.");
    case QPdfDocument::Error::IncorrectPassword:
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QStringLiteral("O documento está protegido e não pode ser aberto.");
    default:
        return QStringLiteral("O documento não pôde ser lido.");
    }
}

} // namespace

Comandos::Comandos(const QString &formsDirectory, const QStringList &documentFolders, QWidget *owner)
    : host::Form(owner)
    , m_documentFolders(documentFolders)
{
    QString error;
    if (!forms::loadForm(formsDirectory, QStringLiteral("Comandos"), this, &m_form, &error)) {
        m_loadError = error.isEmpty() ? QStringLiteral("Comandos: no stored window") : error;
        return;
    }
    auto *browser = m_form.control<QWidget>(QStringLiteral("WebBrowser1"));
    if (!browser) {
        m_loadError = QStringLiteral("Comandos: the layout lacks WebBrowser1");
        return;
    }
    // WebBrowser1 is the viewer's place: the document's pages, or in their
    // stead the message a browser shows for a page it cannot open.
    m_pages = new QStackedWidget(browser);
    auto *layout = new QVBoxLayout(browser);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);
    m_document = new QPdfDocument(this);
    m_view = new QPdfView(m_pages);
    m_view->setPageMode(QPdfView::PageMode::MultiPage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_view->setDocument(m_document);
    // A screen reader reads the document's text (see PdfTextAccessible).
    host::installAccessibleInterface<PdfTextAccessible, QPdfView>();
    m_view->setAccessibleName(QStringLiteral("Lista de comandos"));
    m_message = new QLabel(m_pages);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setMargin(24);
    m_pages->addWidget(m_view);
    m_pages->addWidget(m_message);
    browser->setFocusPolicy(Qt::NoFocus);
    m_view->setFocusPolicy(Qt::StrongFocus);
    m_view->setFocus();
}

void Comandos::Form_Load()
{
    Q_ASSERT_X(isLoaded(), "Comandos::Form_Load", "the window's layout did not load");
    m_documentPath = findDocument(m_documentFolders);
    m_document->close();

    QString fault;
    const QFileInfo info(m_documentPath);
    if (!info.exists()) {
        fault = describe(QPdfDocument::Error::FileNotFound);
    } else if (!info.isFile()) {
        fault = QStringLiteral("O caminho não é um arquivo.");
    } else {
        QFile probe(m_documentPath);
        if (!probe.open(QIODevice::ReadOnly)) {
            fault = QStringLiteral("O arquivo não pôde ser aberto: %1").arg(texts::fileReason(probe));
        } else {
            probe.close();
            const QPdfDocument::Error error = m_document->load(m_documentPath);
            if (error != QPdfDocument::Error::None || m_document->pageCount() < 1) {
                m_document->close();
                fault = describe(error == QPdfDocument::Error::None ? QPdfDocument::Error::InvalidFileFormat : error);
            }
        }
    }

    if (fault.isEmpty()) {
        m_message->clear();
        m_pages->setCurrentWidget(m_view);
    } else {
        m_message->setText(QStringLiteral("Não foi possível exibir a lista de comandos.\n\n%1\n\n%2")
                               .arg(QDir::toNativeSeparators(m_documentPath), fault));
        m_pages->setCurrentWidget(m_message);
    }
}

bool Comandos::isShowingDocument() const
{
    return m_pages && m_pages->currentWidget() == m_view;
}

QString Comandos::message() const
{
    return isShowingDocument() || !m_message ? QString() : m_message->text();
}

} // namespace windows
