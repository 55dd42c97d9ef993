// The main window's handlers against a recording fake of the automation link.

#include "radiosala.h"

#include <button/kxButtons_H.h>
#include <echolink/testsupport/RecordingAutomation.h>
#include <forms/MultiLineTextBox.h>
#include <forms/ShapeControl.h>
#include <host/msgbox.h>

#include <Commands.h>

#include <QApplication>
#include <QCheckBox>
#include <QSet>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <clocale>

using echolink::testsupport::RecordingAutomation;
using Op = RecordingAutomation::Operation;

namespace {

QString formsDir() { return QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala"); }

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A loaded window with the fake bound, its timer stopped so that only the
// test ticks it.
struct Fixture
{
    RecordingAutomation echo{QStringLiteral("ZZ1ADM")};
    radiosala window{formsDir()};
    QList<QWidget *> opened;

    Fixture()
    {
        window.setAboutOpener([this](QWidget *owner) { opened << owner; });
        window.setHelpOpener([this](QWidget *owner) { opened << owner; });
        if (window.isLoaded()) {
            window.Timer1->stop();
            window.Form_Load(echo);
            echo.clearCalls(); // the callsign read at start-up
        }
    }
    void click(const char *name) { emit window.button(QString::fromLatin1(name))->Click(); }
};

} // namespace

class tst_radiosala : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void startUp();
    void widths();
    void arrowsStayInTheTextBoxes_data();
    void arrowsStayInTheTextBoxes();

    void commands_data();
    void commands();
    void pttAndReinitialize();

    void sending_data();
    void sending();

    void reception();
    void indicator();

    void chatLog();
    void chatFile_data();
    void chatFile();
    void folderForChatFile_data();
    void folderForChatFile();
    void existeArquivo_data();
    void existeArquivo();

private:
    std::optional<QTemporaryDir> m_dir; // each test's current folder
};

void tst_radiosala::initTestCase()
{
    Fixture f;
    QVERIFY2(f.window.isLoaded(), qPrintable(f.window.loadError()));
}

void tst_radiosala::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid() && QDir::setCurrent(m_dir->path()));
}

void tst_radiosala::startUp()
{
    Fixture f;
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Radiosala por ZZ9XQ para ZZ1ADM"));
    QCOMPARE(f.window.Text2->text(), QString());
    QCOMPARE(f.window.focusWidget(), f.window.Text2);
    QCOMPARE(f.window.Text1->text(), QString());
    QCOMPARE(f.window.Check1->checkState(), Qt::Unchecked);
    QCOMPARE(f.window.Shape1->fillColor(), QColor(0, 255, 0));
    QCOMPARE(f.window.Text2->grab().toImage().pixelColor(4, 4), QColor(255, 255, 192)); // its own back colour

    // Without the station's callsign the title stays empty.
    RecordingAutomation echo;
    echo.setFailure(Op::StationInfo);
    radiosala window(formsDir());
    window.Text2->setText(QStringLiteral("x"));
    window.Form_Load(echo);
    QCOMPARE(window.windowTitle(), QString());
    QCOMPARE(window.Text2->text(), QString()); // the rest of start-up still ran
}

void tst_radiosala::widths()
{
    Fixture f;
    QWidget *sobre = f.window.button(QStringLiteral("sobre_"));
    QWidget *encerra = f.window.button(QStringLiteral("encerra"));
    QWidget *panel = f.window.Label1;
    auto shows = [&](QWidget *w) { return w->geometry().right() < f.window.width(); };
    auto hidden = [&](QWidget *w) { return w->geometry().left() >= f.window.width(); };

    // The whole client area of the layout, with the narrow outer width.
    QCOMPARE(f.window.size(), QSize(448, 568));
    QVERIFY(hidden(sobre) && hidden(encerra) && hidden(panel));
    f.click("abre");
    QCOMPARE(f.window.width(), 731); // 11055 twips less a 45-twip frame each side
    f.click("abre");
    QCOMPARE(f.window.width(), 731);
    QVERIFY(shows(sobre) && shows(encerra) && shows(panel));
    QCOMPARE(f.window.height(), 568);
    f.click("fecha");
    QCOMPARE(f.window.width(), 448);
    QVERIFY(hidden(sobre) && hidden(encerra) && hidden(panel));

    // Out of sight is out of reach: Tab and Shift+Tab pass the hidden
    // buttons by and their access keys do nothing, until the window widens.
    host::MsgBoxRecorder boxes;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    f.window.button(QStringLiteral("sobre_"))->Caption(QStringLiteral("&Sobre"));
    auto reached = [&] {
        QSet<QString> seen;
        for (const Qt::KeyboardModifiers shift : {Qt::NoModifier, Qt::ShiftModifier}) {
            for (int i = 0; i < 60; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, shift);
                seen << QApplication::focusWidget()->objectName();
            }
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
        return seen;
    };
    const QSet<QString> narrow = reached();
    QVERIFY(narrow.contains("reinicializa") && narrow.contains("Text7"));
    QVERIFY(!narrow.contains("sobre_") && !narrow.contains("ajuda") && !narrow.contains("encerra"));
    QVERIFY(f.opened.isEmpty());
    f.click("abre");
    const QSet<QString> wide = reached();
    QVERIFY(wide.contains("sobre_") && wide.contains("ajuda") && wide.contains("encerra"));
    QCOMPARE(f.opened, QList<QWidget *>{&f.window}); // About, owned by the window, with a beep
    QCOMPARE(boxes.beeps(), 1);
}

void tst_radiosala::arrowsStayInTheTextBoxes_data()
{
    QTest::addColumn<QString>("box");
    for (const char *name : {"Text2", "Text3", "Text4", "Text5", "Text6", "Text7"})
        QTest::newRow(name) << name;
}

void tst_radiosala::arrowsStayInTheTextBoxes()
{
    QFETCH(QString, box);
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    auto *edit = f.window.form().control<QLineEdit>(box);
    edit->setText(QString());
    edit->setFocus();
    // Up and Down move the caret back and forward, as Left and Right do.
    QTest::keyClicks(edit, QStringLiteral("ac"));
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClicks(edit, QStringLiteral("b"));
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClicks(edit, QStringLiteral("d"));
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->text(), QStringLiteral("abcd"));
    QCOMPARE(f.window.Text1->text(), QString());
}

void tst_radiosala::commands_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("clickBox");
    QTest::addColumn<QString>("expected");
    for (const commands::Command &c : commands::all()) {
        QTest::newRow(c.button) << c.button << c.box << c.typed << false << c.sent;
        // A click in the box clears it: the command goes without its argument.
        if (*c.box)
            QTest::addRow("%s after a click in %s", c.button, c.box)
                << c.button << c.box << c.typed << true << QString::fromLatin1(c.sent).chopped(qstrlen(c.typed));
    }
    const QString whole(100000, QLatin1Char('x')); // beyond a line edit's default length
    QTest::newRow("derrubar, a long argument") << "derrubar" << "Text7" << whole << false << QStringLiteral(".kick ") + whole;
}

void tst_radiosala::commands()
{
    QFETCH(QString, buttonName);
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(bool, clickBox);
    QFETCH(QString, expected);

    Fixture f;
    if (!boxName.isEmpty()) {
        auto *box = f.window.form().control<QLineEdit>(boxName);
        box->setText(typed);
        if (clickBox)
            QTest::mouseClick(box, Qt::LeftButton);
    }
    emit f.window.button(buttonName)->Click();
    QCOMPARE(f.echo.sentTexts(), QStringList{expected});
    // Nothing is cleared after a command.
    if (!boxName.isEmpty() && !clickBox)
        QVERIFY(!f.window.form().control<QLineEdit>(boxName)->text().isEmpty());
}

void tst_radiosala::pttAndReinitialize()
{
    Fixture f;
    host::MsgBoxRecorder boxes;
    f.click("liga_ptt");
    f.click("liga_ptt");
    f.click("desliga_ptt");
    f.echo.setFailure(Op::PTT);
    f.click("liga_ptt"); // ignored without a word
    f.click("reinicializa");
    const QList<RecordingAutomation::Call> expected = {
        {Op::PTT, {}, true, false},  {Op::PTT, {}, true, false}, {Op::PTT, {}, false, false},
        {Op::PTT, {}, true, true},   {Op::Reinitialize, {}, false, false},
    };
    QCOMPARE(f.echo.calls(), expected);
    QVERIFY(boxes.calls().isEmpty());

    // A failing reinitialisation is reported and the program goes on.
    f.echo.setFailure(Op::Reinitialize, echolink::status::Disconnected, QStringLiteral("estação fora do ar"));
    f.window.Text1->setText(QStringLiteral("registro\r\n"));
    f.click("reinicializa");
    QCOMPARE(boxes.calls().size(), 1);
    QVERIFY(boxes.calls().at(0).prompt.contains(QStringLiteral("estação fora do ar")));
    QCOMPARE(f.window.Text1->text(), QStringLiteral("registro\r\n"));
}

void tst_radiosala::sending_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Enter, empty box") << QString() << false << true << QString();
    QTest::newRow("Enter, empty box, pela Sala") << QString() << true << true << QStringLiteral(".quote ");
    QTest::newRow("Enter, text kept as typed") << QStringLiteral("  olá ZZ9ZZ ") << false << true << QStringLiteral("  olá ZZ9ZZ ");
    QTest::newRow("Enter, pela Sala") << QStringLiteral("oi") << true << true << QStringLiteral(".quote oi");
    QTest::newRow("button") << QStringLiteral("bom dia") << false << false << QStringLiteral("bom dia");
    QTest::newRow("button, pela Sala") << QStringLiteral("bom dia") << true << false << QStringLiteral(".quote bom dia");
    const QString whole(100000, QLatin1Char('x')); // beyond a line edit's default length
    QTest::newRow("button, a long text") << whole << false << false << whole;
}

void tst_radiosala::sending()
{
    QFETCH(QString, typed);
    QFETCH(bool, quoted);
    QFETCH(bool, byEnter);
    QFETCH(QString, expected);

    Fixture f;
    host::MsgBoxRecorder boxes;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.window.Check1->setChecked(quoted);
    f.window.Text1->setText(QStringLiteral("linha 1\r\n"));
    f.window.Text2->setText(typed);
    const auto send = [&] {
        if (byEnter) {
            f.window.Text2->setFocus();
            QTest::keyClick(f.window.Text2, Qt::Key_Return);
        } else {
            f.click("envia_texto");
        }
    };
    // With the link down, this and a command button tell why; nothing is lost.
    f.echo.setFailure(Op::SendChatText, echolink::status::Disconnected, QStringLiteral("sem conexão com a estação"));
    send();
    f.click("usuarios");
    QCOMPARE(boxes.calls().size(), 2);
    QVERIFY(boxes.calls().at(0).prompt.contains(QStringLiteral("sem conexão com a estação")));
    QCOMPARE(f.window.Text2->text(), typed);
    QCOMPARE(f.window.Text1->text(), QStringLiteral("linha 1\r\n"));
    QVERIFY(f.echo.sentTexts().isEmpty());

    // The link back, the same text goes out.
    f.echo.clearFailure(Op::SendChatText);
    send();
    QCOMPARE(f.echo.sentTexts(), QStringList{expected});
    QCOMPARE(f.window.Text2->text(), QString());
    QCOMPARE(f.window.Check1->isChecked(), quoted); // never changed by sending

    // Other keys send nothing; "Limpa texto" clears without sending.
    f.echo.clearCalls();
    QTest::keyClicks(f.window.Text2, QStringLiteral("abc"));
    f.click("limpa_texto");
    QCOMPARE(f.window.Text2->text(), QString());
    QVERIFY(f.echo.calls().isEmpty());
}

void tst_radiosala::reception()
{
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.echo.emitChatText(QStringLiteral("a"));
    f.echo.emitChatText(QStringLiteral("b"));
    QCOMPARE(f.window.Text1->selStart(), f.window.Text1->textLength());

    // Unfiltered: blanks and an empty line are kept, a line with its own CR
    // gives that line break too.
    f.echo.emitChatText(QStringLiteral("  "));
    f.echo.emitChatText(QString());
    f.echo.emitChatText(QStringLiteral("ZZ9ZZ>Olá"));
    const QString received = QStringLiteral("a\r\nb\r\n  \r\n\r\nZZ9ZZ>Olá\r\n");
    QCOMPARE(f.window.Text1->text(), received);

    // A key typed inside the text puts the caret back at the end.
    f.window.Text1->setFocus();
    f.window.Text1->setSelStart(1);
    QTest::keyClicks(f.window.Text1, QStringLiteral("X"));
    QCOMPARE(f.window.Text1->text(), QStringLiteral("aX") + received.mid(1));
    QCOMPARE(f.window.Text1->selStart(), f.window.Text1->textLength());
    QTest::keyClicks(f.window.Text1, QStringLiteral("Y"));
    QCOMPARE(f.window.Text1->text(), QStringLiteral("aX") + received.mid(1) + QStringLiteral("Y"));

    // The station's text replaces the panel's, its CRs as line breaks.
    f.echo.emitStationText(QStringLiteral("CONF ZZ0CNF [2/8]\r\rZZ9XQ Alpha\rZZ9ZZ <b>Bravo</b>\r"));
    QCOMPARE(f.window.Label1->text(), QStringLiteral("CONF ZZ0CNF [2/8]\n\nZZ9XQ Alpha\nZZ9ZZ <b>Bravo</b>\n"));
    QCOMPARE(f.window.Label1->textFormat(), Qt::PlainText); // never read as markup
    f.echo.emitStationText(QStringLiteral("outra"));
    QCOMPARE(f.window.Label1->text(), QStringLiteral("outra"));
}

// One poll per tick: red while receiving, green otherwise, grey while the
// link is down, which is told once per outage.
void tst_radiosala::indicator()
{
    Fixture f;
    host::MsgBoxRecorder boxes;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    const QPoint centre = f.window.Shape1->rect().center();
    for (bool receiving : {false, true, true, false, true}) {
        f.echo.setReceiving(receiving);
        f.window.Timer1_Timer();
        const QColor expected = receiving ? QColor(255, 0, 0) : QColor(0, 255, 0);
        QCOMPARE(f.window.Shape1->fillColor(), expected);
        QCOMPARE(f.window.Shape1->grab().toImage().pixelColor(centre), expected);
    }
    QCOMPARE(f.echo.calls().size(), 5);

    f.echo.setFailure(Op::IsReceiving, echolink::status::Disconnected, QStringLiteral("estação perdida"));
    for (int i = 0; i < 3; ++i) {
        f.window.Timer1_Timer();
        QCOMPARE(f.window.Shape1->fillColor(), QColor(0xC0, 0xC0, 0xC0));
    }
    QCOMPARE(boxes.calls().size(), 1);
    QVERIFY(boxes.calls().at(0).prompt.contains(QStringLiteral("estação perdida")));
    QCOMPARE(f.window.Timer1->interval(), 1000); // the layout's second, outage or not

    f.echo.clearFailure(Op::IsReceiving);
    f.window.Timer1_Timer();
    QCOMPARE(f.window.Shape1->fillColor(), QColor(255, 0, 0));
    f.echo.setFailure(Op::IsReceiving);
    f.window.Timer1_Timer();
    QCOMPARE(boxes.calls().size(), 2);
}

// What is typed into the chat box is saved with it, the last line ended; a
// second save replaces the first file completely.
void tst_radiosala::chatLog()
{
    const QString file = QStringLiteral("radiosala.txt");
    Fixture f;
    host::MsgBoxRecorder boxes;
    f.echo.emitChatText(QStringLiteral("ZZ9ZZ>oi"));
    f.window.Text1->moveCursor(QTextCursor::End);
    f.window.Text1->insertPlainText(QStringLiteral("digitado"));
    f.click("gravar_chat");
    QCOMPARE(readFile(file), QByteArray("ZZ9ZZ>oi\r\ndigitado\r\n"));
    f.window.Text1->setText(QStringLiteral("x"));
    f.click("gravar_chat");
    QCOMPARE(readFile(file), QByteArray("x\r\n"));
    QVERIFY(boxes.calls().isEmpty());
}

// A chat saved and loaded again, or a file written elsewhere loaded: the
// bytes in the file, and the chat box once loaded and one more line arrived.
void tst_radiosala::chatFile_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("received"); // saved by "Gravar CHAT"; null: the file is written as given
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shown");

    const auto saved = [](const char *name, const char *locale, const QString &received, const QByteArray &file) {
        QTest::newRow(name) << QByteArray(locale) << received << file << received + QStringLiteral("\r\nAdmins:\r\n");
    };
    saved("UTF-8 locale", "C.UTF-8", QStringLiteral("ZZ9ZZ>Ação"), "ZZ9ZZ>A\xc3\xa7\xc3\xa3o\r\n\r\n");
    saved("8-bit locale", "C", QStringLiteral("ZZ9ZZ>Ação"), "ZZ9ZZ>A\xe7\xe3o\r\n\r\n");
    saved("8-bit locale, a character it lacks", "C", QStringLiteral("Ação: 5 €"), "A\xc3\xa7\xc3\xa3o: 5 \xe2\x82\xac\r\n\r\n");
    // In ISO 8859-1 these two would be the bytes of "ã" in UTF-8.
    saved("8-bit locale, bytes that read as UTF-8", "C", QStringLiteral("Ã£"), "\xc3\x83\xc2\xa3\r\n\r\n");

    for (const char *locale : {"C", "C.UTF-8"}) {
        const auto loaded = [locale](const char *name, const QByteArray &file, const QString &shown) {
            QTest::addRow("%s, %s", name, locale) << QByteArray(locale) << QString() << file << shown;
        };
        loaded("last line ends in one CR LF", "linha A\r\nlinha B\r\n", QStringLiteral("linha A\r\nlinha B\r\nAdmins:\r\n"));
        loaded("empty chat saved", "\r\n", QStringLiteral("Admins:\r\n"));
        loaded("UTF-8", "Aten\xc3\xa7\xc3\xa3o\r\n", QStringLiteral("Atenção\r\nAdmins:\r\n"));
        loaded("Windows-1252", "Reuni\xe3o \x80\x93\x81\r\n\r\n", QStringLiteral("Reunião €\u201C\u0081\r\nAdmins:\r\n"));
        loaded("cut-off UTF-8", "Aten\xc3\r\n", QStringLiteral("AtenÃ\r\nAdmins:\r\n"));
        loaded("UTF-8 of a surrogate", "\xed\xa0\x80\r\n", QStringLiteral("í\u00A0€\r\nAdmins:\r\n"));
    }
}

void tst_radiosala::chatFile()
{
    QFETCH(QByteArray, locale);
    QFETCH(QString, received);
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    const QByteArray previous = setlocale(LC_CTYPE, nullptr);
    QVERIFY(setlocale(LC_CTYPE, locale.constData()));
    Fixture f;
    host::MsgBoxRecorder boxes;
    if (received.isNull()) {
        QFile out(QStringLiteral("radiosala.txt"));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    } else {
        f.echo.emitChatText(received);
        f.click("gravar_chat");
        f.click("limpa_chat");
    }
    const QByteArray bytes = readFile(QStringLiteral("radiosala.txt"));
    f.click("ler_chat");
    f.echo.emitChatText(QStringLiteral("Admins:"));
    setlocale(LC_CTYPE, previous.constData());
    QVERIFY(boxes.calls().isEmpty());
    QCOMPARE(bytes, file);
    QCOMPARE(f.window.Text1->text(), shown);
}

// A folder where the chat file should be: nothing to load, and every save
// fails, also as root. The chat stays as it was.
void tst_radiosala::folderForChatFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("message"); // parts of it
    QTest::addColumn<int>("style");
    QTest::newRow("Ler CHAT") << "ler_chat" << QStringList{"Grave o texto primeiro!"} << int(host::vbOKOnly);
    QTest::newRow("Gravar CHAT") << "gravar_chat" << QStringList{"radiosala.txt", "É uma pasta"} // the reason, in Portuguese
                                 << int(host::vbExclamation);
}

void tst_radiosala::folderForChatFile()
{
    QFETCH(QString, button);
    QFETCH(QStringList, message);
    QFETCH(int, style);
    QVERIFY(QDir().mkdir(QStringLiteral("radiosala.txt")));
    Fixture f;
    host::MsgBoxRecorder boxes;
    f.echo.emitChatText(QStringLiteral("não perder"));
    emit f.window.button(button)->Click();
    QCOMPARE(boxes.calls().size(), 1);
    for (const QString &part : message)
        QVERIFY2(boxes.calls().at(0).prompt.contains(part), qPrintable(boxes.calls().at(0).prompt));
    QCOMPARE(boxes.calls().at(0).style, style);
    QCOMPARE(f.window.Text1->text(), QStringLiteral("não perder\r\n"));
}

void tst_radiosala::existeArquivo_data()
{
    QTest::addColumn<QString>("create");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("expected");
    QTest::newRow("normal file") << "radiosala.txt" << "radiosala.txt" << true;
    QTest::newRow("another case") << "RADIOSALA.TXT" << "radiosala.txt" << false;
    QTest::newRow("absent") << "" << "radiosala.txt" << false;
    QTest::newRow("hidden file") << ".oculto" << ".oculto" << false;
    QTest::newRow("directory") << "pasta/" << "pasta" << false;
    QTest::newRow("in a sub-folder") << "sub/a.txt" << "sub/a.txt" << true;
    QTest::newRow("empty name") << "" << "" << false;
}

void tst_radiosala::existeArquivo()
{
    QFETCH(QString, create);
    QFETCH(QString, asked);
    QFETCH(bool, expected);
    if (create.endsWith(QLatin1Char('/'))) {
        QVERIFY(QDir().mkpath(create));
    } else if (!create.isEmpty()) {
        QDir().mkpath(QFileInfo(create).path());
        QFile f(create);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    Fixture fx;
    QString name = asked;
    QCOMPARE(fx.window.ExisteArquivo(name), expected);
    QCOMPARE(name, asked);
}

QTEST_MAIN(tst_radiosala)
#include "tst_radiosala.moc"
