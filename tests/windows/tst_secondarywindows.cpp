// The About, help and command-list windows: stored layouts, texts, the web
// address, the document's place and the viewer's message when it is absent.

#include "ModalScript.h"

#include <windows/Ajudas.h>
#include <windows/Comandos.h>
#include <windows/DataPaths.h>
#include <windows/SecondaryWindows.h>
#include <windows/sobre_auto.h>

#include <button/kxButtons_H.h>
#include <forms/MultiLineTextBox.h>
#include <host/olecolor.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QAccessible>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace windows;

namespace {

QString formDir(const char *name) { return QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/") + QLatin1String(name); }

// The document in `documentFolder`, the stored windows in the build tree.
DataPaths testPaths(const QString &documentFolder = QStringLiteral(RADIOSALA_TEST_DOCUMENT_DIR))
{
    return DataPaths{{documentFolder, QStringLiteral(RADIOSALA_TEST_DATA_DIR)}};
}

// The help text as its stored window holds it, read with Qt's own JSON
// reader: typos, inner quotation marks and trailing blanks included.
QString expectedHelpText()
{
    QFile f(QDir(formDir("Ajudas")).filePath(QStringLiteral("Ajudas.json")));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<no Ajudas.json>");
    for (const QJsonValue c : QJsonDocument::fromJson(f.readAll()).object().value(QLatin1String("controls")).toArray())
        if (c[QLatin1String("name")].toString() == QLatin1String("Text1"))
            return c[QLatin1String("text")].toString();
    return QStringLiteral("<no Text1>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class tst_secondarywindows : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_opened << url; }

private slots:
    void shownWindows_data();
    void shownWindows();
    void helpText();
    void visitingOpensThePageAndKeepsTheWindow();
    void documentLookupOrder();
    void unreadableDocument_data();
    void unreadableDocument();
    void generatedDocumentIsShown();

private:
    QList<QUrl> m_opened;
};

void tst_secondarywindows::shownWindows_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("clientSize"); // twips / 15
    QTest::addColumn<QString>("focused");  // object name, or "viewer"

    QTest::newRow("sobre_auto") << 0 << "Sobre" << QSize(312, 345) << "retornar";
    QTest::newRow("Ajudas") << 1 << "Ajudas" << QSize(355, 403) << "Text1";
    QTest::newRow("Comandos") << 2 << "Comandos TheBridge por ZZ9XQ" << QSize(851, 525) << "viewer";
}

void tst_secondarywindows::shownWindows()
{
    QFETCH(int, which);
    QFETCH(QString, caption);
    QFETCH(QSize, clientSize);
    QFETCH(QString, focused);

    QString seenCaption, seenFocus;
    QSize seenSize;
    QPoint centreOffset(999, 999);
    ModalScript script;
    // Looked at once the window is active, as the user first sees it.
    script.then([] { return QApplication::activeModalWidget() && QApplication::activeWindow() == QApplication::activeModalWidget(); },
                [&] {
        auto *w = QApplication::activeModalWidget();
        seenCaption = w->windowTitle();
        seenSize = w->size();
        // Centred on each axis where the frame fits the screen; where it
        // does not, it starts at the screen's edge.
        const QRect frame = w->frameGeometry(), screen = w->screen()->availableGeometry();
        centreOffset = frame.center() - screen.center();
        if (frame.width() > screen.width())
            centreOffset.rx() = frame.left() - screen.left();
        if (frame.height() > screen.height())
            centreOffset.ry() = frame.top() - screen.top();
        if (QWidget *f = QApplication::focusWidget(); f && w->isAncestorOf(f))
            seenFocus = qobject_cast<QPdfView *>(f) ? QStringLiteral("viewer") : f->objectName();
        // Escape closes it, whichever control has the focus.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    script.then([] { return QApplication::activeModalWidget() == nullptr; }, [] {});
    script.start();
    QWidget owner;
    using Show = void (*)(QWidget *, const DataPaths &);
    const Show show[] = {showSobre, showAjudas, showComandos};
    show[which](&owner, testPaths());

    QTRY_VERIFY(script.finished() || script.stalled());
    QVERIFY(!script.stalled());
    QCOMPARE(seenCaption, caption);
    QCOMPARE(seenSize, clientSize);
    QCOMPARE(seenFocus, focused);
    QVERIFY2(qAbs(centreOffset.x()) <= 1 && qAbs(centreOffset.y()) <= 1,
             qPrintable(QStringLiteral("off centre by %1, %2").arg(centreOffset.x()).arg(centreOffset.y())));
}

// Each opening shows the stored text byte for byte, whatever was typed into
// it the time before. The box sets no colour: it keeps the system's window
// colour, while the form around it shows the form's.
void tst_secondarywindows::helpText()
{
    QWidget owner;
    for (int opening = 0; opening < 2; ++opening) {
        QString shown, typed;
        QImage shot;
        QPoint inBox;
        ModalScript script;
        script.onModal<Ajudas>([&](Ajudas *w) {
            shown = w->Text1->text();
            shot = w->grab().toImage();
            inBox = w->Text1->viewport()->mapTo(w, QPoint(1, 1)); // the document margin
            QTest::keyClicks(w->Text1, QStringLiteral("rabisco"));
            typed = w->Text1->text();
            emit w->form().control<kxButtons_H>(QStringLiteral("retornas"))->Click();
        });
        script.start();
        showAjudas(&owner, testPaths());
        QVERIFY(script.finished());
        // Line by line, so a mismatch names its line.
        QCOMPARE(shown.split(QStringLiteral("\r\n")), expectedHelpText().split(QStringLiteral("\r\n")));
        QVERIFY(typed.contains(QStringLiteral("rabisco")));
        QCOMPARE(shot.pixelColor(inBox), host::toQColor(host::vbWindowBackground));
        QCOMPARE(shot.pixelColor(2, 2), host::toQColor(host::vbButtonFace));
    }
}

void tst_secondarywindows::visitingOpensThePageAndKeepsTheWindow()
{
    m_opened.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
    bool stillOpen = false;
    ModalScript script;
    script.onModal<sobre_auto>([&](sobre_auto *w) {
        auto *visitar = w->form().control<kxButtons_H>(QStringLiteral("visitar_servidor"));
        QTest::mouseClick(visitar, Qt::LeftButton, {}, visitar->rect().center());
    });
    script.then([&] { return !m_opened.isEmpty(); },
                [&] {
                    auto *w = qobject_cast<sobre_auto *>(QApplication::activeModalWidget());
                    stillOpen = w && w->isVisible();
                    if (w) {
                        auto *retornar = w->form().control<kxButtons_H>(QStringLiteral("retornar"));
                        QTest::mouseClick(retornar, Qt::LeftButton, {}, retornar->rect().center());
                    }
                });
    script.start();
    QWidget owner;
    showSobre(&owner, testPaths());
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    QVERIFY(!script.stalled()); // retornar closed the window
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.first().toString(), QStringLiteral("http://radiosala.example:2000/"));
    QVERIFY(stillOpen);
}

void tst_secondarywindows::documentLookupOrder()
{
    QCOMPARE(documentIn(QStringLiteral("/")), QStringLiteral("/comandos radiosala.pdf")); // no doubled separator
    QCOMPARE(documentIn(QStringLiteral("/opt/radiosala/")), QStringLiteral("/opt/radiosala/comandos radiosala.pdf"));

    QTemporaryDir program, data;
    QVERIFY(program.isValid() && data.isValid());
    const QStringList folders{program.path(), data.path()};
    // Nowhere: the program's folder is named.
    QCOMPARE(findDocument(folders), program.filePath(QStringLiteral("comandos radiosala.pdf")));
    QVERIFY(writeFile(data.filePath(QStringLiteral("comandos radiosala.pdf")), "x"));
    QCOMPARE(findDocument(folders), data.filePath(QStringLiteral("comandos radiosala.pdf")));
    QVERIFY(writeFile(program.filePath(QStringLiteral("comandos radiosala.pdf")), "x"));
    QCOMPARE(findDocument(folders), program.filePath(QStringLiteral("comandos radiosala.pdf")));
}

void tst_secondarywindows::unreadableDocument_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << 0 << "O arquivo não foi encontrado.";
    QTest::newRow("a folder of that name") << 1 << "O caminho não é um arquivo.";
    QTest::newRow("not a PDF") << 2 << "O arquivo não é um documento PDF válido.";
    QTest::newRow("cut short") << 4 << "O arquivo não é um documento PDF válido.";
}

void tst_secondarywindows::unreadableDocument()
{
    QFETCH(int, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("comandos radiosala.pdf"));
    if (kind == 1)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("comandos radiosala.pdf")));
    if (kind == 2)
        QVERIFY(writeFile(path, "Lista de comandos\r\n.users\r\n"));
    if (kind == 4) {
        QFile good(documentIn(QStringLiteral(RADIOSALA_TEST_DOCUMENT_DIR)));
        QVERIFY(good.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(path, good.read(200)));
    }

    // Opened and closed like any window; the viewer names file and fault.
    QString message;
    bool showingDocument = true;
    ModalScript script;
    script.onModal<Comandos>([&](Comandos *w) {
        message = w->message();
        showingDocument = w->isShowingDocument();
        w->close();
    });
    script.start();
    QWidget owner;
    showComandos(&owner, testPaths(dir.path()));
    QVERIFY(!script.stalled());
    QVERIFY(!showingDocument);
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
}

void tst_secondarywindows::generatedDocumentIsShown()
{
    Comandos window(formDir("Comandos"), {QStringLiteral(RADIOSALA_TEST_DOCUMENT_DIR)});
    QVERIFY2(window.isLoaded(), qPrintable(window.loadError()));
    window.Form_Load();
    QVERIFY2(window.isShowingDocument(), qPrintable(window.message()));
    QCOMPARE(window.documentPath(), QStringLiteral(RADIOSALA_TEST_DOCUMENT_DIR "/comandos radiosala.pdf"));
    // Read as a screen reader reads it: the commands the main window sends.
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(window.viewer())->textInterface();
    const QString all = text->text(0, text->characterCount());
    for (const char *command : {".admin senha", ".ban add INDICATIVO", ".kick INDICATIVO", ".busy on", ".quote"})
        QVERIFY2(all.contains(QLatin1String(command)), command);
    QVERIFY(all.contains(QStringLiteral("Usuários")));
}

QTEST_MAIN(tst_secondarywindows)
#include "tst_secondarywindows.moc"
