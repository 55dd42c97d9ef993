#include "FakeConference.h"
#include "FakeDirectory.h"

#include <echolink/Backends.h>
#include <echolink/native/NativeEchoLink.h>
#include <texts/SystemReason.h>

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QSettings>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

using namespace echolink;
using namespace echolink::native;

namespace {

// This suite's own addresses and base port, so that nothing else on the
// machine holding the EchoLink ports gets in its way.
const QHostAddress kConference(QStringLiteral("127.0.13.1"));
const QHostAddress kStation(QStringLiteral("127.0.13.2"));
const QHostAddress kOther(QStringLiteral("127.0.13.3"));
constexpr quint16 kBasePort = 25198;

BackendOptions optionsFor(const QString &callsign, const QHostAddress &bind)
{
    BackendOptions options;
    options.kind = QStringLiteral("echolink");
    options.settings = {{QStringLiteral("conference"), QStringLiteral("127.0.13.1:%1").arg(kBasePort)},
                        {QStringLiteral("callsign"), callsign},
                        {QStringLiteral("name"), QStringLiteral("Alpha")},
                        {QStringLiteral("bind"), bind.toString()},
                        {QStringLiteral("info"), QStringLiteral("Lisboa\nSala de testes")}};
    return options;
}

// Short timers so that loss and silence show within a test's patience.
std::unique_ptr<NativeEchoLink> makeLink(const BackendOptions &options = optionsFor(QStringLiteral("ZZ9XQ"), kStation))
{
    NativeSettings settings = nativeSettingsFrom(options);
    settings.link.timing = {100, 700, 700, 300, 80};
    settings.link.useAudioDevices = false;
    settings.link.localPort = kBasePort;
    return std::make_unique<NativeEchoLink>(std::move(settings));
}

// What IsReceiving() reports on a link that is down: its status and words.
QString receivingError(Automation &link)
{
    try {
        link.IsReceiving();
    } catch (const AutomationError &e) {
        return QString::number(e.status()) + QLatin1Char(' ') + e.description();
    }
    return QStringLiteral("no error");
}

QList<QByteArray> audioIn(const QList<QByteArray> &datagrams)
{
    QList<QByteArray> audio;
    for (const QByteArray &d : datagrams) {
        if (wire::parseAudio(d))
            audio.append(d);
    }
    return audio;
}

} // namespace

class tst_NativeLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void connectsFromBothPortsAndReconnects();
    void chatFlowsBetweenStations();
    void dropsForeignAndBrokenDatagrams_data();
    void dropsForeignAndBrokenDatagrams();
    void audioBothWays();
    void outagesAreReported_data();
    void outagesAreReported();
    void directoryOutcomeExplainsSilence();
    void portsInUseFailCreation();
    void chatArrivesAfterAFlood_data();
    void chatArrivesAfterAFlood();
    void remembersOptionsButNeverThePassword();
    void optionsAreChecked_data();
    void optionsAreChecked();

private:
    std::unique_ptr<FakeConference> m_conference;
};

void tst_NativeLink::init()
{
    m_conference = std::make_unique<FakeConference>(kConference, kBasePort);
    QVERIFY2(m_conference->bindError().isEmpty(), qPrintable(m_conference->bindError()));
}

void tst_NativeLink::cleanup()
{
    m_conference.reset();
}

void tst_NativeLink::connectsFromBothPortsAndReconnects()
{
    auto link = makeLink();
    QCOMPARE(link->StationInfo().Callsign, QStringLiteral("ZZ9XQ"));
    QVERIFY(!link->IsReceiving()); // connecting: not an error
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);

    const QByteArray sdes = wire::buildConnectSdes(link->link().settings().station);
    QVERIFY(m_conference->receivedControl(kStation).contains(sdes));
    QVERIFY(m_conference->receivedData(kStation).contains(sdes));
    QSet<quint16> sourcePorts;
    for (const auto &r : m_conference->received())
        sourcePorts.insert(r.fromPort);
    QCOMPARE(sourcePorts, (QSet<quint16>{kBasePort, kBasePort + 1}));
    QTRY_VERIFY(m_conference->receivedData(kStation).contains(wire::buildText("\rLisboa\rSala de testes")));

    // The SDES keeps going out.
    QTRY_VERIFY(m_conference->receivedControl(kStation).count(sdes) >= 4);
    QCOMPARE(link->link().stateDescription(), QStringLiteral("Conectado à conferência 127.0.13.1."));

    // Reinitialising says goodbye, then connects again.
    m_conference->clearReceived();
    link->Reinitialize();
    QCOMPARE(link->link().state(), ConferenceLink::State::Connecting);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    const QList<QByteArray> control = m_conference->receivedControl(kStation);
    QVERIFY(control.size() >= 2);
    QCOMPARE(control.at(0), wire::buildBye());
    QCOMPARE(control.at(1), sdes);
}

void tst_NativeLink::chatFlowsBetweenStations()
{
    auto alpha = makeLink();
    auto beta = makeLink(optionsFor(QStringLiteral("ZZ9ZZ"), kOther));
    QSignalSpy toAlpha(alpha.get(), &Automation::ChatTextReceived);
    QSignalSpy toBeta(beta.get(), &Automation::ChatTextReceived);
    QTRY_COMPARE(alpha->link().state(), ConferenceLink::State::Connected);
    QTRY_COMPARE(beta->link().state(), ConferenceLink::State::Connected);

    alpha->SendChatText(QStringLiteral("Olá, ação €"));
    QTRY_COMPARE(toBeta.size(), 1);
    QCOMPARE(toBeta.first().at(0).toString(), QStringLiteral("ZZ9XQ>Olá, ação €"));

    // One call is one line: CR, LF and NUL cannot split or cut it.
    alpha->SendChatText(QStringLiteral("um\rdois\ntrês") + QChar(0) + QStringLiteral("quatro"));
    QTRY_COMPARE(toBeta.size(), 2);
    QCOMPARE(toBeta.at(1).at(0).toString(), QStringLiteral("ZZ9XQ>um dois três quatro"));

    // The station list is station text, not chat.
    QSignalSpy station(alpha.get(), &Automation::StationTextReceived);
    m_conference->sendData(kStation, wire::buildText("CONF TESTCONF loopback [2/8]\r\r->ZZ9ZZ Beta\rZZ9XQ Alpha\r"));
    QTRY_COMPARE(station.size(), 1);
    QCOMPARE(station.first().at(0).toString(), QStringLiteral("CONF TESTCONF loopback [2/8]\r\r->ZZ9ZZ Beta\rZZ9XQ Alpha\r"));
    QCOMPARE(toAlpha.size(), 0);
}

void tst_NativeLink::dropsForeignAndBrokenDatagrams_data()
{
    QTest::addColumn<QString>("from"); // "stranger", "stranger, conference's port", "other port" (the conference's address), "conference"
    QTest::addColumn<bool>("control");
    QTest::addColumn<QByteArray>("datagram");

    const QByteArray bye = QByteArray::fromHex("c0c9000100000000c1cb00033a75acab07") + "Bye Bye";
    const QByteArray chat = wire::buildText("ZZ9QQ>hello\r");
    QTest::newRow("chat from a stranger") << "stranger" << false << chat;
    QTest::newRow("station list from a stranger") << "stranger" << false << wire::buildText("CONF FAKE\r\r");
    QTest::newRow("audio from a stranger") << "stranger" << false << wire::buildAudio(1, QByteArray(132, char(0xd0)));
    QTest::newRow("bye from a stranger") << "stranger" << true << bye;
    QTest::newRow("chat, stranger on the conference's port") << "stranger, conference's port" << false << chat;
    QTest::newRow("chat, conference's address, other port") << "other port" << false << chat;
    QTest::newRow("bye from the conference's address, other port") << "other port" << true << bye;
    QTest::newRow("garbage on data") << "conference" << false << QByteArray("\xff\x00\x13garbage", 10);
    QTest::newRow("truncated audio") << "conference" << false << wire::buildAudio(1, QByteArray(100, char(0xd0)));
    QTest::newRow("garbage on control") << "conference" << true << QByteArray(300, '\xe1');
    QTest::newRow("truncated SDES") << "conference" << true << wire::buildConnectSdes({"X", "", "0", "t"}).left(30);
    QTest::newRow("oversized") << "conference" << false << QByteArray(20000, 'o');
    QTest::newRow("oversized chat") << "conference" << false << wire::buildText("ZZ9ZZ>" + QByteArray(9000, 'x') + '\r');
}

void tst_NativeLink::dropsForeignAndBrokenDatagrams()
{
    QFETCH(QString, from);
    QFETCH(bool, control);
    QFETCH(QByteArray, datagram);
    auto link = makeLink();
    QSignalSpy chat(link.get(), &Automation::ChatTextReceived);
    QSignalSpy station(link.get(), &Automation::StationTextReceived);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    const quint64 ignoredBefore = link->link().datagramsIgnored();

    if (from == QLatin1String("conference")) {
        control ? m_conference->sendControl(kStation, datagram) : m_conference->sendData(kStation, datagram);
    } else {
        QUdpSocket sender;
        const bool conferencePort = from == QLatin1String("stranger, conference's port");
        QVERIFY(sender.bind(from == QLatin1String("other port") ? kConference : kOther,
                            conferencePort ? quint16(control ? kBasePort + 1 : kBasePort) : 0));
        sender.writeDatagram(datagram, kStation, control ? kBasePort + 1 : kBasePort);
    }
    QTRY_COMPARE(link->link().datagramsIgnored(), ignoredBefore + 1);
    QCOMPARE(chat.size(), 0);
    QCOMPARE(station.size(), 0);
    QVERIFY(!link->IsReceiving());
    QCOMPARE(link->link().state(), ConferenceLink::State::Connected);
}

// Audio from the conference makes the station receive; PTT sends GSM packets.
void tst_NativeLink::audioBothWays()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    QVERIFY(!link->IsReceiving());
    QTimer talker;
    talker.setInterval(80);
    connect(&talker, &QTimer::timeout, this, [this] { m_conference->sendAudio(kStation); });
    talker.start();
    QTRY_VERIFY(link->IsReceiving());
    talker.stop();
    QTRY_VERIFY(!link->IsReceiving());

    link->PTT(true);
    QTRY_VERIFY(audioIn(m_conference->receivedData(kStation)).size() >= 5);
    link->PTT(false);
    const QList<QByteArray> audio = audioIn(m_conference->receivedData(kStation));
    for (int i = 0; i < audio.size(); ++i) {
        const QByteArray &packet = audio.at(i);
        QCOMPARE(packet.size(), 144);
        QCOMPARE(qFromBigEndian<quint16>(packet.constData() + 2), quint16(i));
        for (int f = 0; f < 4; ++f)
            QCOMPARE(quint8(packet.at(12 + f * 33)) >> 4, 0xD);
    }

    // Released: between two later keep-alives (100 ms apart, on the same
    // socket as the audio) no audio may arrive.
    m_conference->clearReceived();
    const QByteArray sdes = wire::buildConnectSdes(link->link().settings().station);
    QTRY_VERIFY(m_conference->receivedData(kStation).count(sdes) >= 2);
    QVERIFY(audioIn(m_conference->receivedData(kStation)).isEmpty());
}

void tst_NativeLink::outagesAreReported_data()
{
    QTest::addColumn<QString>("outage");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("words"); // in IsReceiving's error
    QTest::addColumn<bool>("rejoins");      // once the conference answers again

    QTest::newRow("conference goes silent") << "silent" << int(ConferenceLink::State::Lost) << QStringList{"perdida"} << true;
    QTest::newRow("conference never answers") << "never" << int(ConferenceLink::State::NoAnswer)
                                              << QStringList{"não responde", "validado"} << true;
    QTest::newRow("conference bans the station") << "banned" << int(ConferenceLink::State::Refused)
                                                 << QStringList{"recusou", "Bye Bye"} << false;
}

void tst_NativeLink::outagesAreReported()
{
    QFETCH(QString, outage);
    QFETCH(int, state);
    QFETCH(QStringList, words);
    QFETCH(bool, rejoins);
    const bool never = outage == QLatin1String("never");
    m_conference->setAnswering(!never);
    auto link = makeLink();
    if (!never) {
        QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
        m_conference->setAnswering(false); // as when the conference goes down
    }
    if (outage == QLatin1String("banned")) // the conference's goodbye to a banned station
        m_conference->sendControl(kStation, QByteArray::fromHex("c0c9000100000000c1cb00033a75acab07") + "Bye Bye");
    QTRY_COMPARE(int(link->link().state()), state);
    const QString error = receivingError(*link);
    QVERIFY2(error.startsWith(QString::number(status::Disconnected) + QLatin1Char(' ')), qPrintable(error));
    for (const QString &word : words)
        QVERIFY2(error.contains(word), qPrintable(error));
    if (!rejoins)
        return;
    // Still trying: a conference that answers again is joined and told the station's info.
    m_conference->clearReceived();
    m_conference->setAnswering(true);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    QVERIFY(!link->IsReceiving());
    QTRY_VERIFY(m_conference->receivedData(kStation).contains(wire::buildText("\rLisboa\rSala de testes")));
}

void tst_NativeLink::directoryOutcomeExplainsSilence()
{
    FakeDirectory directory({"LOGIN-RESULT\nresult: challenge\nchallenge: c1\n",
                             "LOGIN-RESULT\nresult: not-validated\n",
                             "LOGIN-RESULT\nresult: challenge\nchallenge: c2\n",
                             "LOGIN-RESULT\nresult: success\n"});
    m_conference->setAnswering(false); // a conference ignores unvalidated stations
    BackendOptions options = optionsFor(QStringLiteral("ZZ9XQ"), kStation);
    options.settings.insert(QStringLiteral("directory"), QStringLiteral("127.0.0.1:%1").arg(directory.port()));
    qputenv(NativeOptions::PasswordVariable, "secret");
    auto link = makeLink(options);
    qunsetenv(NativeOptions::PasswordVariable);

    QTRY_COMPARE(link->link().state(), ConferenceLink::State::NoAnswer);
    QTRY_COMPARE(link->directory()->lastResult(), directory::Result::NotValidated);
    const QString error = receivingError(*link);
    QVERIFY2(error.contains(QStringLiteral("ainda não foi validado no diretório")), qPrintable(error));
    link.reset(); // logs off
    const QList<QByteArray> requests = directory.requests();
    QCOMPARE(requests.size(), 4);
    QVERIFY(requests[3].contains("\nstatus: OFF-V\n"));
    QVERIFY(requests[3].contains("\nhashed-password: "));
}

void tst_NativeLink::portsInUseFailCreation()
{
    const QHostAddress busy(QStringLiteral("127.0.13.4"));
    QUdpSocket otherProgram;
    QVERIFY(otherProgram.bind(busy, 5199, QAbstractSocket::DontShareAddress));
    QUdpSocket probe; // the system's reason, which the message must give
    QVERIFY(!probe.bind(busy, 5199, QAbstractSocket::DontShareAddress));
    const StationKinds kinds{native::nativeStationKind()};
    try {
        createAutomation(kinds, optionsFor(QStringLiteral("ZZ9XQ"), busy));
        QFAIL("creation succeeded on a port in use");
    } catch (const AutomationError &e) {
        for (const QString &part : {QStringLiteral("5199"), busy.toString(), texts::socketReason(probe)})
            QVERIFY2(e.description().contains(part), qPrintable(e.description()));
    }
    // Nothing stays bound: with the port free, creation succeeds.
    otherProgram.close();
    const auto automation = createAutomation(kinds, optionsFor(QStringLiteral("ZZ9XQ"), busy));
    QCOMPARE(automation->StationInfo().Callsign, QStringLiteral("ZZ9XQ"));
}

void tst_NativeLink::chatArrivesAfterAFlood_data()
{
    QTest::addColumn<int>("minSize");
    QTest::addColumn<int>("maxSize");
    QTest::addColumn<bool>("dataOnly"); // one queue only, so that its reading can be watched
    QTest::newRow("empty") << 0 << 0 << false;
    QTest::newRow("small, random") << 12 << 200 << false;
    QTest::newRow("small, data port only") << 12 << 20 << true;
    QTest::newRow("audio-sized") << 144 << 144 << false;
    QTest::newRow("oversized") << 8193 << 9000 << false;
    QTest::newRow("largest") << 65507 << 65507 << false;
}

// A burst from a stranger fills the receive queues; afterwards the
// conference must be heard again. It keeps sending until it is, as the
// kernel drops its lines while a queue is still full.
void tst_NativeLink::chatArrivesAfterAFlood()
{
    QFETCH(int, minSize);
    QFETCH(int, maxSize);
    QFETCH(bool, dataOnly);
    auto link = makeLink();
    QSignalSpy chat(link.get(), &Automation::ChatTextReceived);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);

    // A zero timer samples the ignored count each time the event loop comes round.
    QList<quint64> samples;
    QTimer sampler;
    sampler.setInterval(0);
    connect(&sampler, &QTimer::timeout, this, [&] { samples.append(link->link().datagramsIgnored()); });
    QUdpSocket flooder;
    QVERIFY(flooder.bind(kOther, 0));
    QRandomGenerator random(13);
    QByteArray junk;
    // How a burst ends decides whether a reader that stops listening does
    // so; several bursts make that likely.
    for (int burst = 0; burst < 5; ++burst) {
        const quint64 before = link->link().datagramsIgnored();
        for (int i = 0; i < 1000; ++i) {
            junk.resize(minSize + random.bounded(maxSize - minSize + 1));
            for (char &c : junk)
                c = char(random.bounded(256));
            flooder.writeDatagram(junk, kStation, quint16(kBasePort + (dataOnly ? 0 : i % 2)));
        }
        samples.clear();
        sampler.start();
        chat.clear();
        QTRY_VERIFY2((m_conference->sendData(kStation, wire::buildText("ZZ9ZZ>after the flood\r")), !chat.isEmpty()),
                     qPrintable(QStringLiteral("deaf after burst %1").arg(burst + 1)));
        QCOMPARE(chat.first().at(0).toString(), QStringLiteral("ZZ9ZZ>after the flood"));
        if (dataOnly) {
            // Once the count settles, the flood that arrived, more than two reading
            // passes' worth, must have been read in parts, letting the event loop in between.
            QTRY_VERIFY(samples.size() > 3 && samples.last() == samples.at(samples.size() - 3));
            const quint64 read = samples.last() - before;
            const auto partWay = std::count_if(samples.begin(), samples.end(),
                                               [&](quint64 s) { return s > before && s < before + read; });
            const quint64 pass = quint64(link->link().settings().datagramsPerPass);
            QVERIFY2(read > 2 * pass && partWay > 0, qPrintable(QStringLiteral("%1 read, %2 times part-way").arg(read).arg(partWay)));
        }
        sampler.stop();
    }
}

void tst_NativeLink::remembersOptionsButNeverThePassword()
{
    QSettings().remove(QStringLiteral("echolink"));
    qputenv(NativeOptions::PasswordVariable, "segredo-do-diretorio");
    const StationKinds kinds{native::nativeStationKind()};
    BackendOptions options = optionsFor(QStringLiteral("ZZ9ZZ"), kOther);
    options.settings.insert(QStringLiteral("directory"), QStringLiteral("127.0.13.1:1")); // nobody there
    createAutomation(kinds, options).reset();

    BackendOptions bare;
    bare.kind = QStringLiteral("echolink");
    const auto again = createAutomation(kinds, bare);
    QCOMPARE(again->StationInfo().Callsign, QStringLiteral("ZZ9ZZ"));
    QSettings stored;
    QCOMPARE(stored.value(QStringLiteral("echolink/bind")).toString(), kOther.toString());
    stored.sync();
    QFile file(stored.fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("segredo"));
    qunsetenv(NativeOptions::PasswordVariable);
    QSettings().remove(QStringLiteral("echolink"));
}

void tst_NativeLink::optionsAreChecked_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("complaint"); // empty: accepted

    QTest::newRow("no conference") << "conference" << "" << "--conference";
    QTest::newRow("conference port zero") << "conference" << "127.0.0.1:0" << "Porta";
    QTest::newRow("conference port out of range") << "conference" << "127.0.0.1:70000" << "Porta";
    QTest::newRow("callsign with a space") << "callsign" << "ZZ9 XQ" << "Indicativo";
    QTest::newRow("callsign too long") << "callsign" << "ZZ9XQABCDEF" << "Indicativo";
    QTest::newRow("callsign like a conference") << "callsign" << "*ZZ9XQ*" << "Indicativo";
    QTest::newRow("name with CONF") << "name" << "CONF room" << "CONF";
    QTest::newRow("bad bind address") << "bind" << "127.0.0.300" << "--bind";
    QTest::newRow("directory without password") << "directory" << "127.0.0.1" << "senha";
    QTest::newRow("password on the command line") << "password" << "secret" << "password-file";
    QTest::newRow("callsign with suffix") << "callsign" << "ZZ9XQ-L" << "";
}

void tst_NativeLink::optionsAreChecked()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, complaint);
    qunsetenv(NativeOptions::PasswordVariable);
    BackendOptions options = optionsFor(QStringLiteral("ZZ9XQ"), kStation);
    options.settings[key] = value;
    try {
        const NativeSettings settings = nativeSettingsFrom(options);
        QVERIFY2(complaint.isEmpty(), "accepted");
        QCOMPARE(settings.link.station.callsign, value.toLatin1());
    } catch (const AutomationError &e) {
        QVERIFY2(!complaint.isEmpty(), qPrintable(e.description()));
        QVERIFY2(e.description().contains(complaint), qPrintable(e.description()));
        QCOMPARE(e.status(), status::InvalidArgument);
    }
}

QTEST_GUILESS_MAIN(tst_NativeLink)
#include "tst_nativelink.moc"
