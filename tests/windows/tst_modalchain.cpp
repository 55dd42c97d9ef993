// Main window -> Ajudas -> Comandos -> back, with the main window's timer and
// the link's events still handled while the modal windows are open.

#include "ModalScript.h"

#include "radiosala.h"

#include <windows/Ajudas.h>
#include <windows/Comandos.h>
#include <windows/SecondaryWindows.h>

#include <button/kxButtons_H.h>
#include <echolink/testsupport/RecordingAutomation.h>
#include <forms/MultiLineTextBox.h>
#include <host/msgbox.h>

#include <QTest>

using echolink::testsupport::RecordingAutomation;
using Op = RecordingAutomation::Operation;

namespace {

int polls(const RecordingAutomation &echo)
{
    int n = 0;
    for (const auto &call : echo.calls())
        n += call.operation == Op::IsReceiving;
    return n;
}

void realClick(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

// Raises a chat line and waits for the next timer poll, noting in `seen`
// what reached the main window. Runs inside the modal window's own loop.
void watchUnderneath(ModalScript &script, radiosala &window, RecordingAutomation &echo, QStringList &seen,
                     const QString &line, int &pollsBefore)
{
    script.then([] { return true; },
                [&, line] {
                    pollsBefore = polls(echo);
                    echo.emitChatText(line);
                    seen << (window.Text1->text().contains(line) ? QStringLiteral("chat shown") : QStringLiteral("chat lost"));
                    const bool blocked = QApplication::activeModalWidget() != &window && !window.isActiveWindow();
                    seen << (blocked ? QStringLiteral("main window blocked") : QStringLiteral("main window free"));
                });
    script.then([&] { return polls(echo) > pollsBefore; }, [&] { seen << QStringLiteral("timer polled"); });
}

} // namespace

class tst_modalchain : public QObject
{
    Q_OBJECT

private slots:
    void helpThenCommandsAndBack();
};

void tst_modalchain::helpThenCommandsAndBack()
{
    RecordingAutomation echo(QStringLiteral("ZZ1ADM"));
    radiosala window(QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala"));
    QVERIFY2(window.isLoaded(), qPrintable(window.loadError()));
    window.setHelpOpener([](QWidget *owner) {
        windows::showAjudas(owner, {{QStringLiteral(RADIOSALA_TEST_DOCUMENT_DIR), QStringLiteral(RADIOSALA_TEST_DATA_DIR)}});
    });
    window.Form_Load(echo);
    window.Timer1->setInterval(50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.abre_Click();

    host::MsgBoxRecorder boxes;
    int pollsBefore = 0;
    QStringList order;
    ModalScript script;
    script.onModal<windows::Ajudas>([&](windows::Ajudas *w) {
        order << w->windowTitle();
        QCOMPARE(w->parentWidget(), &window);
    });
    watchUnderneath(script, window, echo, order, QStringLiteral("ZZ9ZZ>olá da sala"), pollsBefore);
    script.onModal<windows::Ajudas>([&](windows::Ajudas *w) {
        realClick(w->form().control<kxButtons_H>(QStringLiteral("ler_pdf")));
    });
    script.onModal<windows::Comandos>([&](windows::Comandos *w) {
        order << w->windowTitle();
        if (!w->isShowingDocument())
            order << w->message();
    });
    watchUnderneath(script, window, echo, order, QStringLiteral("ZZ2AB>outra linha"), pollsBefore);
    script.onModal<windows::Comandos>([&](windows::Comandos *w) { w->close(); });
    script.onModal<windows::Ajudas>([&](windows::Ajudas *w) {
        order << QStringLiteral("back in ") + w->windowTitle();
        realClick(w->form().control<kxButtons_H>(QStringLiteral("retornas")));
    });
    script.start();

    // The main window's own button, clicked for real.
    realClick(window.button(QStringLiteral("ajuda")));

    QVERIFY(!script.stalled());
    QVERIFY(script.finished());
    const QStringList underneath{"chat shown", "main window blocked", "timer polled"};
    QCOMPARE(order, QStringList{"Ajudas"} + underneath + QStringList{"Comandos TheBridge por ZZ9XQ"} + underneath
                        + QStringList{"back in Ajudas"});
    QCOMPARE(boxes.beeps(), 2); // "Ajuda", then "Ver lista de comandos "
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(tst_modalchain)
#include "tst_modalchain.moc"
