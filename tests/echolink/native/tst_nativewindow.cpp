// The main window over the native link: a few command buttons in one session, each answer waited
// for in the chat box. Then the program itself, as a child process, leaving on a signal.

#include "FakeConference.h"
#include "FakeDirectory.h"
#include "radiosala.h"

#include <button/kxButtons_H.h>
#include <echolink/native/NativeEchoLink.h>
#include <forms/MultiLineTextBox.h>

#include <Commands.h>

#include <QLineEdit>
#include <QProcess>
#include <QTcpServer>
#include <QtTest>

#include <csignal>

using namespace echolink;
using namespace echolink::native;

namespace {

// This suite's own addresses and base port.
const QHostAddress kConference(QStringLiteral("127.0.13.11"));
const QHostAddress kStation(QStringLiteral("127.0.13.12"));
constexpr quint16 kBasePort = 25298;

} // namespace

class tst_NativeWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void grid_data();
    void grid();
    void signalSaysGoodbye_data();
    void signalSaysGoodbye();
    void cleanupTestCase();

private:
    std::unique_ptr<FakeConference> m_conference;
    std::unique_ptr<NativeEchoLink> m_echo;
    std::unique_ptr<radiosala> m_window;
};

void tst_NativeWindow::initTestCase()
{
    m_conference = std::make_unique<FakeConference>(kConference, kBasePort);
    QVERIFY2(m_conference->bindError().isEmpty(), qPrintable(m_conference->bindError()));
    m_conference->setAdminPassword("s3nha");
    BackendOptions options;
    options.kind = QStringLiteral("echolink");
    options.settings = {{QStringLiteral("conference"), QStringLiteral("127.0.13.11:%1").arg(kBasePort)},
                        {QStringLiteral("callsign"), QStringLiteral("ZZ9XQ")},
                        {QStringLiteral("name"), QStringLiteral("Alpha")},
                        {QStringLiteral("bind"), kStation.toString()}};
    NativeSettings settings = nativeSettingsFrom(options);
    settings.link.useAudioDevices = false;
    settings.link.localPort = kBasePort;
    m_echo = std::make_unique<NativeEchoLink>(std::move(settings));

    m_window = std::make_unique<radiosala>(QStringLiteral(RADIOSALA_TEST_FORMS_DIR "/radiosala"));
    QVERIFY2(m_window->isLoaded(), qPrintable(m_window->loadError()));
    m_window->Timer1->stop();
    m_window->Form_Load(*m_echo);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Radiosala por ZZ9XQ para ZZ9XQ"));
    QTRY_COMPARE(m_echo->link().state(), ConferenceLink::State::Connected);
}

void tst_NativeWindow::grid_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("reply"); // empty: the conference stays silent

    QTest::newRow("busy before log-in: silence") << "" << "" << "ocupado" << ".busy on" << "";
    for (const char *name : {"admin", "usuarios", "banir", "kxButtons_H2"}) {
        const commands::Command c = commands::named(name);
        QTest::newRow(name) << c.box << c.typed << c.button << c.sent << (*c.reply ? c.reply : "\t192.0.2.10\tE");
    }
}

void tst_NativeWindow::grid()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, sent);
    QFETCH(QString, reply);

    m_window->Text1->setText(QString());
    m_conference->clearReceived();
    if (!box.isEmpty())
        m_window->form().control<QLineEdit>(box)->setText(typed);
    emit m_window->button(button)->Click();

    // The conference answers as it takes the line; a marker sent after that
    // arrives after any answer.
    const QByteArray datagram = wire::buildText("ZZ9XQ>" + sent.toLatin1() + '\r');
    QTRY_VERIFY(m_conference->receivedData(kStation).contains(datagram));
    m_conference->sendData(kStation, wire::buildText("ZZ9ZZ>marcador\r"));
    QTRY_VERIFY(m_window->Text1->text().contains(QStringLiteral("ZZ9ZZ>marcador")));
    const QString chat = m_window->Text1->text();
    if (reply.isEmpty())
        QVERIFY2(chat.startsWith(QStringLiteral("ZZ9ZZ>marcador")), qPrintable(chat));
    else
        QVERIFY2(chat.contains(reply), qPrintable(chat));
}

void tst_NativeWindow::signalSaysGoodbye_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("directory"); // "", "answers" or "silent"
    QTest::addColumn<bool>("second");       // a second signal while the exit waits for the directory

    QTest::newRow("SIGTERM, logged in") << SIGTERM << "answers" << false;
    QTest::newRow("SIGINT") << SIGINT << "" << false;
    QTest::newRow("SIGHUP") << SIGHUP << "" << false;
    QTest::newRow("second SIGTERM while the log-off waits") << SIGTERM << "silent" << true;
}

// The program on its own addresses: the station's ports are always 5198 and
// 5199 there.
void tst_NativeWindow::signalSaysGoodbye()
{
    QFETCH(int, signal);
    QFETCH(QString, directory);
    QFETCH(bool, second);
    const QHostAddress station(QStringLiteral("127.0.13.13"));
    FakeConference conference(QHostAddress(QStringLiteral("127.0.13.14")));
    QVERIFY2(conference.bindError().isEmpty(), qPrintable(conference.bindError()));
    std::optional<FakeDirectory> answering;
    QTcpServer silent; // takes the connection, never answers
    QStringList arguments{"--station", "echolink", "--conference", "127.0.13.14", "--callsign", "ZZ9XS",
                          "--name", "Sinal", "--bind", station.toString()};
    if (directory == QLatin1String("answers")) {
        answering.emplace(QList<QByteArray>{"LOGIN-RESULT\nresult: challenge\nchallenge: c1\n",
                                            "LOGIN-RESULT\nresult: success\n",
                                            "LOGIN-RESULT\nresult: challenge\nchallenge: c2\n",
                                            "LOGIN-RESULT\nresult: success\n"});
        arguments << "--directory" << QStringLiteral("127.0.0.1:%1").arg(answering->port());
    } else if (directory == QLatin1String("silent")) {
        QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
        arguments << "--directory" << QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    }

    QTemporaryDir home; // the child's settings and files stay in here
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "HOME"})
        environment.insert(QString::fromLatin1(variable), home.path());
    environment.insert(QString::fromLatin1(NativeOptions::PasswordVariable), QStringLiteral("segredo"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setWorkingDirectory(home.path());
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral(RADIOSALA_TEST_PROGRAM), arguments);
    QVERIFY(child.waitForStarted());
    auto output = [&child] { return QString::fromLocal8Bit(child.readAll()); };

    QTRY_VERIFY2(!conference.receivedControl(station).isEmpty() || child.state() == QProcess::NotRunning,
                 qPrintable(output()));
    const pid_t pid = pid_t(child.processId()); // never 0: that would signal this test's whole group
    QVERIFY2(pid > 0 && child.state() == QProcess::Running, qPrintable(output()));
    if (answering)
        QTRY_COMPARE(answering->requests().size(), 2);
    ::kill(pid, signal);
    QTRY_VERIFY(conference.receivedControl(station).contains(wire::buildBye()));
    if (second) {
        QVERIFY2(child.state() == QProcess::Running, qPrintable(output())); // still waiting for the directory
        ::kill(pid, signal);
    }
    QTRY_COMPARE(child.state(), QProcess::NotRunning);
    if (second) {
        QCOMPARE(child.exitStatus(), QProcess::CrashExit); // ended at once, by the signal itself
        QCOMPARE(child.exitCode(), signal);
        return;
    }
    QVERIFY2(child.exitStatus() == QProcess::NormalExit, qPrintable(output()));
    QCOMPARE(child.exitCode(), 128 + signal);
    if (answering) {
        QCOMPARE(answering->requests().size(), 4);
        QVERIFY(answering->requests().at(3).contains("\nstatus: OFF-V\n"));
    }
}

void tst_NativeWindow::cleanupTestCase()
{
    m_window.reset();
    m_echo.reset();
    QTRY_VERIFY(m_conference->receivedControl(kStation).contains(wire::buildBye()));
}

QTEST_MAIN(tst_NativeWindow)
#include "tst_nativewindow.moc"
