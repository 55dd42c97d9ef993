#include "FakeConference.h"
#include "FakeDirectory.h"

#include <echolink/Backends.h>
#include <echolink/native/NativeEchoLink.h>

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QSettings>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

using namespace echolink;
using namespace echolink::native;

namespace {

const QHostAddress kConference(QStringLiteral("127.0.0.1"));
const QHostAddress kStation(QStringLiteral("127.0.0.2"));
const QHostAddress kOther(QStringLiteral("127.0.0.3"));

BackendOptions optionsFor(const QString &callsign, const QHostAddress &bind)
{
    BackendOptions options;
    options.kind = QStringLiteral("echolink");
    options.settings = {{QStringLiteral("conference"), QStringLiteral("127.0.0.1:5198")},
                        {QStringLiteral("callsign"), callsign},
                        {QStringLiteral("name"), QStringLiteral("Alpha")},
                        {QStringLiteral("bind"), bind.toString()},
                        {QStringLiteral("info"), QStringLiteral("Lisboa\nSala de testes")}};
    return options;
}

// Short timers so that loss and silence show within a test's patience.
std::unique_ptr<NativeEchoLink> makeLink(const QString &callsign = QStringLiteral("ZZ9XQ"),
                                         const QHostAddress &bind = kStation)
{
    NativeSettings settings = nativeSettingsFrom(optionsFor(callsign, bind));
    settings.link.timing = {100, 700, 700, 300, 80};
    settings.link.useAudioDevices = false;
    return std::make_unique<NativeEchoLink>(std::move(settings));
}

bool isAudio(const QByteArray &d)
{
    return wire::parseAudio(d).has_value();
}

int countIf(const QList<QByteArray> &list, bool (*pred)(const QByteArray &))
{
    return int(std::count_if(list.begin(), list.end(), pred));
}

} // namespace

class tst_NativeLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void connectsFromBothPortsAndSendsInfo();
    void chatFlowsBetweenStations();
    void stationListGoesToStationText();
    void dropsForeignAndBrokenDatagrams_data();
    void dropsForeignAndBrokenDatagrams();
    void receivingFollowsConferenceAudio();
    void pttTransmitsGsmPackets();
    void lossAfterSilenceThenRejoin();
    void silentConferenceIsNoAnswer();
    void banIsReported();
    void directoryOutcomeExplainsSilence();
    void reinitializeSaysByeThenConnects();
    void byeOnExit();
    void portsInUseFailCreation();
    void floodDoesNotStarveTheEventLoop();
    void remembersOptionsButNeverThePassword();
    void optionsAreChecked_data();
    void optionsAreChecked();

private:
    std::unique_ptr<FakeConference> m_conference;
};

void tst_NativeLink::init()
{
    m_conference = std::make_unique<FakeConference>(kConference);
    QVERIFY(m_conference->isListening());
}

void tst_NativeLink::cleanup()
{
    m_conference.reset();
}

void tst_NativeLink::connectsFromBothPortsAndSendsInfo()
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
    QCOMPARE(sourcePorts, (QSet<quint16>{5198, 5199}));
    QTRY_VERIFY(m_conference->receivedData(kStation).contains(wire::buildText("\rLisboa\rSala de testes")));

    // The SDES keeps going out.
    QTRY_VERIFY(m_conference->receivedControl(kStation).count(sdes) >= 4);
    QCOMPARE(link->link().stateDescription(), QStringLiteral("Ligado à conferência 127.0.0.1."));
}

void tst_NativeLink::chatFlowsBetweenStations()
{
    auto alpha = makeLink();
    auto beta = makeLink(QStringLiteral("ZZ9ZZ"), kOther);
    QSignalSpy toAlpha(alpha.get(), &Automation::ChatTextReceived);
    QSignalSpy toBeta(beta.get(), &Automation::ChatTextReceived);
    QTRY_COMPARE(alpha->link().state(), ConferenceLink::State::Connected);
    QTRY_COMPARE(beta->link().state(), ConferenceLink::State::Connected);

    beta->SendChatText(QStringLiteral("Hi ZZ9XQ, ZZ9ZZ here"));
    QTRY_COMPARE(toAlpha.size(), 1);
    QCOMPARE(toAlpha.first().at(0).toString(), QStringLiteral("ZZ9ZZ>Hi ZZ9XQ, ZZ9ZZ here"));

    alpha->SendChatText(QStringLiteral("Olá, ação €"));
    QTRY_COMPARE(toBeta.size(), 1);
    QCOMPARE(toBeta.first().at(0).toString(), QStringLiteral("ZZ9XQ>Olá, ação €"));
    QCOMPARE(toAlpha.size(), 1); // a sender never gets its own line back

    // One call is one line: CR, LF and NUL cannot split or cut it.
    alpha->SendChatText(QStringLiteral("um\rdois\ntrês") + QChar(0) + QStringLiteral("quatro"));
    QTRY_COMPARE(toBeta.size(), 2);
    QCOMPARE(toBeta.at(1).at(0).toString(), QStringLiteral("ZZ9XQ>um dois três quatro"));
}

void tst_NativeLink::stationListGoesToStationText()
{
    auto link = makeLink();
    QSignalSpy station(link.get(), &Automation::StationTextReceived);
    QSignalSpy chat(link.get(), &Automation::ChatTextReceived);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    m_conference->sendStationList("CONF TESTCONF loopback [2/8]", {"->ZZ9ZZ Beta", "ZZ9XQ Alpha"});
    QTRY_COMPARE(station.size(), 1);
    QCOMPARE(station.first().at(0).toString(),
             QStringLiteral("CONF TESTCONF loopback [2/8]\r\r->ZZ9ZZ Beta\rZZ9XQ Alpha\r"));
    QCOMPARE(chat.size(), 0);
}

void tst_NativeLink::dropsForeignAndBrokenDatagrams_data()
{
    QTest::addColumn<bool>("fromConference");
    QTest::addColumn<bool>("control");
    QTest::addColumn<QByteArray>("datagram");

    QTest::newRow("chat from a stranger") << false << false << wire::buildText("ZZ9QQ>hello\r");
    QTest::newRow("station list from a stranger") << false << false << wire::buildText("CONF FAKE\r\r");
    QTest::newRow("audio from a stranger") << false << false << wire::buildAudio(1, QByteArray(132, char(0xd0)));
    QTest::newRow("bye from a stranger") << false << true
                                         << QByteArray::fromHex("c0c9000100000000c1cb00033a75acab07") + "Bye Bye";
    QTest::newRow("garbage on data") << true << false << QByteArray("\xff\x00\x13garbage", 10);
    QTest::newRow("truncated audio") << true << false << wire::buildAudio(1, QByteArray(100, char(0xd0)));
    QTest::newRow("garbage on control") << true << true << QByteArray(300, '\xe1');
    QTest::newRow("truncated SDES") << true << true << wire::buildConnectSdes({"X", "", "0", "t"}).left(30);
    QTest::newRow("oversized") << true << false << QByteArray(20000, 'o');
    QTest::newRow("oversized chat") << true << false << wire::buildText("ZZ9ZZ>" + QByteArray(9000, 'x') + '\r');
}

void tst_NativeLink::dropsForeignAndBrokenDatagrams()
{
    QFETCH(bool, fromConference);
    QFETCH(bool, control);
    QFETCH(QByteArray, datagram);
    auto link = makeLink();
    QSignalSpy chat(link.get(), &Automation::ChatTextReceived);
    QSignalSpy station(link.get(), &Automation::StationTextReceived);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    const quint64 ignoredBefore = link->link().datagramsIgnored();

    QUdpSocket sender;
    QVERIFY(sender.bind(fromConference ? kConference : kOther, 0));
    sender.writeDatagram(datagram, kStation, control ? 5199 : 5198);
    QTRY_COMPARE(link->link().datagramsIgnored(), ignoredBefore + 1);
    QCOMPARE(chat.size(), 0);
    QCOMPARE(station.size(), 0);
    QVERIFY(!link->IsReceiving());
    QCOMPARE(link->link().state(), ConferenceLink::State::Connected);
}

void tst_NativeLink::receivingFollowsConferenceAudio()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    QVERIFY(!link->IsReceiving());
    QTimer talker;
    talker.setInterval(80);
    connect(&talker, &QTimer::timeout, this, [this] { m_conference->sendAudio(kStation, 1); });
    talker.start();
    QTRY_VERIFY(link->IsReceiving());
    talker.stop();
    QTRY_VERIFY(!link->IsReceiving());
}

void tst_NativeLink::pttTransmitsGsmPackets()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    link->PTT(true);
    QTRY_VERIFY(countIf(m_conference->receivedData(kStation), isAudio) >= 5);
    link->PTT(false);

    QList<QByteArray> audio;
    for (const QByteArray &d : m_conference->receivedData(kStation)) {
        if (isAudio(d))
            audio.append(d);
    }
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
    QCOMPARE(countIf(m_conference->receivedData(kStation), isAudio), 0);
}

void tst_NativeLink::lossAfterSilenceThenRejoin()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);

    m_conference->setAnswering(false); // as when the conference goes down
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Lost);
    try {
        link->IsReceiving();
        QFAIL("IsReceiving succeeded on a lost link");
    } catch (const AutomationError &e) {
        QCOMPARE(e.status(), status::Disconnected);
        QVERIFY(e.description().contains(QStringLiteral("perdida")));
    }

    m_conference->clearReceived();
    m_conference->setAnswering(true);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    QVERIFY(!link->IsReceiving());
    QTRY_VERIFY(m_conference->receivedData(kStation).contains(wire::buildText("\rLisboa\rSala de testes")));
}

void tst_NativeLink::silentConferenceIsNoAnswer()
{
    m_conference->setAnswering(false);
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::NoAnswer);
    try {
        link->IsReceiving();
        QFAIL("IsReceiving succeeded without an answer");
    } catch (const AutomationError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("não responde")), qPrintable(e.description()));
        QVERIFY(e.description().contains(QStringLiteral("validado")));
    }
    // Still trying: a conference that starts answering is joined.
    m_conference->setAnswering(true);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
}

void tst_NativeLink::banIsReported()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    m_conference->setAnswering(false);
    QUdpSocket conference; // the conference's goodbye to a banned station
    QVERIFY(conference.bind(kConference, 0));
    conference.writeDatagram(QByteArray::fromHex("c0c9000100000000c1cb00033a75acab07") + "Bye Bye", kStation, 5199);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Refused);
    try {
        link->IsReceiving();
        QFAIL("IsReceiving succeeded for a banned station");
    } catch (const AutomationError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("recusou")) && e.description().contains(QStringLiteral("Bye Bye")),
                 qPrintable(e.description()));
    }
}

void tst_NativeLink::directoryOutcomeExplainsSilence()
{
    FakeDirectory directory({"LOGIN-RESULT\nresult: challenge\nchallenge: c1\n",
                             "LOGIN-RESULT\nresult: not-validated\n",
                             "LOGIN-RESULT\nresult: challenge\nchallenge: c2\n",
                             "LOGIN-RESULT\nresult: success\n"});
    m_conference->setAnswering(false); // a conference ignores unvalidated stations
    qputenv(NativeOptions::PasswordVariable, "secret");
    BackendOptions options = optionsFor(QStringLiteral("ZZ9XQ"), kStation);
    options.settings.insert(QStringLiteral("directory"), QStringLiteral("127.0.0.1:%1").arg(directory.port()));
    NativeSettings settings = nativeSettingsFrom(options);
    qunsetenv(NativeOptions::PasswordVariable);
    settings.link.timing = {100, 700, 700, 300, 80};
    settings.link.useAudioDevices = false;
    auto link = std::make_unique<NativeEchoLink>(std::move(settings));

    QTRY_COMPARE(link->link().state(), ConferenceLink::State::NoAnswer);
    QTRY_COMPARE(link->directory()->lastResult(), directory::Result::NotValidated);
    try {
        link->IsReceiving();
        QFAIL("IsReceiving succeeded without an answer");
    } catch (const AutomationError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("ainda não foi validado no diretório")),
                 qPrintable(e.description()));
    }
    link.reset(); // logs off
    const QList<QByteArray> requests = directory.requests();
    QCOMPARE(requests.size(), 4);
    QVERIFY(requests[1].contains("\nstatus: ONLINE\n"));
    QVERIFY(requests[3].contains("\nstatus: OFF-V\n"));
    QVERIFY(requests[3].contains("\nhashed-password: "));
}

void tst_NativeLink::reinitializeSaysByeThenConnects()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    m_conference->clearReceived();
    link->Reinitialize();
    QCOMPARE(link->link().state(), ConferenceLink::State::Connecting);
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    const QList<QByteArray> control = m_conference->receivedControl(kStation);
    QVERIFY(control.size() >= 2);
    QCOMPARE(control.at(0), wire::buildBye());
    QCOMPARE(control.at(1), wire::buildConnectSdes(link->link().settings().station));
}

void tst_NativeLink::byeOnExit()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    m_conference->clearReceived();
    link.reset();
    QTRY_VERIFY(m_conference->receivedControl(kStation).contains(wire::buildBye()));
}

void tst_NativeLink::portsInUseFailCreation()
{
    const QHostAddress busy(QStringLiteral("127.0.0.4"));
    QUdpSocket otherProgram;
    QVERIFY(otherProgram.bind(busy, 5199, QAbstractSocket::DontShareAddress));
    const StationKinds kinds{native::nativeStationKind()};
    QCOMPARE(kindNames(kinds), QStringList{QStringLiteral("echolink")});
    try {
        createAutomation(kinds, optionsFor(QStringLiteral("ZZ9XQ"), busy));
        QFAIL("creation succeeded on a port in use");
    } catch (const AutomationError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("5199")), qPrintable(e.description()));
        QVERIFY(e.description().contains(QStringLiteral("EchoLink")));
    }
    // Nothing stays bound: with the port free, creation succeeds.
    otherProgram.close();
    const auto automation = createAutomation(kinds, optionsFor(QStringLiteral("ZZ9XQ"), busy));
    QCOMPARE(automation->StationInfo().Callsign, QStringLiteral("ZZ9XQ"));
}

void tst_NativeLink::floodDoesNotStarveTheEventLoop()
{
    auto link = makeLink();
    QTRY_COMPARE(link->link().state(), ConferenceLink::State::Connected);
    const quint64 before = link->link().datagramsIgnored();

    QUdpSocket flooder;
    QVERIFY(flooder.bind(kOther, 0));
    const QByteArray junk = wire::buildText("ZZ9QQ>flood\r");
    for (int i = 0; i < 2000; ++i)
        flooder.writeDatagram(junk, kStation, 5198);

    // A zero timer samples the counter each time the event loop comes
    // round; while the flood is read, it must see it part-way.
    QList<quint64> samples;
    QTimer sampler;
    sampler.setInterval(0);
    connect(&sampler, &QTimer::timeout, this, [&] { samples.append(link->link().datagramsIgnored() - before); });
    sampler.start();
    quint64 last = 0;
    QTRY_VERIFY(samples.size() > 3 && samples.last() > 0 && samples.last() == samples.at(samples.size() - 3)
                && (last = samples.last()) > 0);
    sampler.stop();
    int partWay = 0;
    for (const quint64 s : std::as_const(samples))
        partWay += (s > 0 && s < last) ? 1 : 0;
    QVERIFY2(last > 200, qPrintable(QStringLiteral("only %1 datagrams arrived to make the point").arg(last)));
    QVERIFY2(partWay >= 1, qPrintable(QStringLiteral("%1 datagrams read without a break").arg(last)));
}

void tst_NativeLink::remembersOptionsButNeverThePassword()
{
    QSettings().remove(QStringLiteral("echolink"));
    qputenv(NativeOptions::PasswordVariable, "segredo-do-diretorio");
    const StationKinds kinds{native::nativeStationKind()};
    BackendOptions options = optionsFor(QStringLiteral("ZZ9ZZ"), kOther);
    options.settings.insert(QStringLiteral("directory"), QStringLiteral("127.0.0.1:1")); // nobody there
    createAutomation(kinds, options).reset();

    BackendOptions bare;
    bare.kind = QStringLiteral("echolink");
    const auto again = createAutomation(kinds, bare);
    QCOMPARE(again->StationInfo().Callsign, QStringLiteral("ZZ9ZZ"));
    QSettings stored;
    QCOMPARE(stored.value(QStringLiteral("echolink/bind")).toString(), QStringLiteral("127.0.0.3"));
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
