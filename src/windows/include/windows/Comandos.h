#pragma once

#include <forms/FormLoader.h>
#include <host/form.h>

#include <QStringList>

class QLabel;
class QPdfDocument;
class QPdfView;
class QStackedWidget;

namespace windows {

// The command-list window: one viewer control, WebBrowser1, showing the
// commands document. The document is loaded afresh by Form_Load at every
// opening; when it is missing or unreadable the viewer shows a message
// naming the file and the fault instead, and the window works as usual.
class Comandos : public host::Form
{
    Q_OBJECT

public:
    explicit Comandos(const QString &formsDirectory, const QStringList &documentFolders,
                      QWidget *owner = nullptr);

    bool isLoaded() const { return m_loadError.isEmpty(); }
    QString loadError() const { return m_loadError; }
    const forms::LoadedForm &form() const { return m_form; }

    // Navigates WebBrowser1 to the document.
    void Form_Load();

    // What the viewer shows after Form_Load.
    QString documentPath() const { return m_documentPath; }
    bool isShowingDocument() const;
    QString message() const; // empty while the document is shown
    QPdfDocument *document() const { return m_document; }
    QPdfView *viewer() const { return m_view; }

private:
    forms::LoadedForm m_form;
    QString m_loadError;
    QStringList m_documentFolders;
    QString m_documentPath;
    QStackedWidget *m_pages = nullptr;
    QPdfDocument *m_document = nullptr;
    QPdfView *m_view = nullptr;
    QLabel *m_message = nullptr;
};

} // namespace windows
