#include <echolink/SimulatedAutomation.h>

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace echolink;

namespace {

const QString kPassword = QStringLiteral("s3nha");
const QString kAdmin = QStringLiteral("ZZ1ADM");
const QChar kCr(13);

// One simulated conference on a manual clock, with everything it delivers
// logged in order.
struct Session
{
    explicit Session(quint32 seed = 7)
    {
        SimulatedAutomation::Settings settings;
        settings.password = kPassword;
        settings.seed = seed;
        settings.callsign = kAdmin;
        auto manual = std::make_unique<ManualClock>();
        clock = manual.get();
        sim = std::make_unique<SimulatedAutomation>(settings, std::move(manual));
        QObject::connect(sim.get(), &Automation::ChatTextReceived, [this](const QString &t) { chat << t; log << "C:" + t; });
        QObject::connect(sim.get(), &Automation::StationTextReceived, [this](const QString &t) { station = t; log << "S:" + t; });
        drain();
    }

    void drain()
    {
        while (sim->pendingEvents() > 0)
            QCoreApplication::processEvents();
    }

    // Sends one line and returns the replies, leaving out other stations' chat.
    QStringList send(const QString &line)
    {
        const qsizetype before = chat.size();
        sim->SendChatText(line);
        drain();
        QStringList replies;
        static const QRegularExpression stationChat(QStringLiteral("^ZZ[0-9][A-Z]+>"));
        for (qsizetype i = before; i < chat.size(); ++i) {
            if (!stationChat.match(chat[i]).hasMatch())
                replies << chat[i];
        }
        return replies;
    }

    void advance(qint64 ms)
    {
        clock->advance(ms);
        drain();
    }

    // The station lines of the latest station list (without header and banner).
    QStringList stations() const
    {
        const QStringList lines = station.split(kCr);
        QStringList result;
        for (qsizetype i = 2; i < lines.size() && !lines[i].isEmpty(); ++i)
            result << lines[i];
        return result;
    }

    // Callsigns in join order: the station list shows the newest first.
    QStringList members() const
    {
        QStringList calls;
        for (QString line : stations()) {
            if (line.startsWith(QLatin1String("->")))
                continue; // the talker stands first, out of order
            calls.prepend(line.section(QLatin1Char(' '), 0, 0));
        }
        return calls;
    }

    QStringList others() const
    {
        QStringList calls = members();
        calls.removeAll(kAdmin);
        return calls;
    }

    ManualClock *clock = nullptr;
    std::unique_ptr<SimulatedAutomation> sim;
    QStringList chat;
    QString station;
    QStringList log;
};

} // namespace

class tst_SimulatedConference : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void eventsAreNeverSynchronous();
    void stationListMatchesReceiving();
    void moderation();
    void linkedConferenceAndReinitialize();
    void localTransmitterTalks();
};

void tst_SimulatedConference::replies_data()
{
    QTest::addColumn<QStringList>("lines");     // sent in order; %1 the oldest other station
    QTest::addColumn<qint64>("advance");        // milliseconds before the last line
    QTest::addColumn<QStringList>("expected");  // the replies to the last line
    // Each command button's own reply is checked through the main window
    // (tst_conference); these rows are the rest of the rules.

    const QString admin = ".admin " + kPassword;
    const QStringList none;

    QTest::newRow("admin password with blanks around") << QStringList{".admin  " + kPassword + " "} << 0ll << QStringList{"Your wish is my command."};
    QTest::newRow("admin wrong password is silent") << QStringList{".admin errada"} << 0ll << none;
    QTest::newRow("admin empty password is silent") << QStringList{".admin "} << 0ll << none;
    QTest::newRow("every privileged command is silent before log-in")
        << QStringList{".kick %1; .busy on; .showip ; .ban list; .connect zz0sul; .disconnect %1; .stat; .quote oi"} << 0ll << none;
    QTest::newRow("unknown command is silent") << QStringList{admin, ".sair"} << 0ll << none;
    QTest::newRow("ambiguous prefix") << QStringList{".s"} << 0ll << QStringList{"Error: Command is ambiguous."};
    QTest::newRow("unique prefix") << QStringList{".vers"} << 0ll << QStringList{"thebridge V 1.09 on x86_64-unknown-linux-gnu"};
    QTest::newRow("command in capitals") << QStringList{".VERSION"} << 0ll << QStringList{"thebridge V 1.09 on x86_64-unknown-linux-gnu"};
    QTest::newRow("uptime seconds") << QStringList{".uptime"} << 61'000ll << QStringList{"Uptime: 1 minutes and 1 seconds"};
    QTest::newRow("uptime hours") << QStringList{".uptime"} << qint64((2 * 60 + 5) * 60'000 + 59'000) << QStringList{"Uptime: 2 hours and 5 minutes"};
    QTest::newRow("uptime days") << QStringList{".uptime"} << qint64(((24 + 3) * 60 + 4) * 60'000) << QStringList{"Uptime: 1 days, 3 hours and 4 minutes"};
    QTest::newRow("repeat within 10 s is dropped") << QStringList{".version", ".version"} << 9'999ll << none;
    QTest::newRow("repeat after 10 s is answered") << QStringList{".version", ".version"} << 10'000ll << QStringList{"thebridge V 1.09 on x86_64-unknown-linux-gnu"};
    QTest::newRow("mute station typed in lower case") << QStringList{admin, ".mute %l"} << 0ll << QStringList{"%1 muted."};
    QTest::newRow("unmute station") << QStringList{admin, ".mute %1", ".unmute %1"} << 0ll << QStringList{"%1 unmuted."};
    QTest::newRow("kick") << QStringList{admin, ".kick %1"} << 0ll << QStringList{"%1 kicked"};
    QTest::newRow("kick unknown") << QStringList{admin, ".kick zz8zz"} << 0ll << QStringList{"ZZ8ZZ not found"};
    QTest::newRow("kick without callsign") << QStringList{admin, ".kick "} << 0ll << QStringList{"Kick who ?"};
    QTest::newRow("ban add present station") << QStringList{admin, ".ban add %1"} << 0ll << QStringList{"%1 banned"};
    QTest::newRow("ban add without callsign") << QStringList{admin, ".ban add "} << 0ll << QStringList{"Add who ?"};
    QTest::newRow("ban delete not listed") << QStringList{admin, ".ban delete ZZ8ZZ"} << 0ll << QStringList{"ZZ8ZZ was not found on the banned list."};
    QTest::newRow("ban delete without callsign") << QStringList{admin, ".ban delete "} << 0ll << QStringList{"Delete who ?"};
    QTest::newRow("ban list empty") << QStringList{admin, ".ban list"} << 0ll << QStringList{"The banned list is empty."};
    QTest::newRow("ban list in order, once each") << QStringList{admin, ".ban add ZZ8ZZ", ".ban add zz8yy", ".ban add ZZ8ZZ ", ".ban list"} << 0ll
                                                  << QStringList{"banned users:", "ZZ8ZZ -", "ZZ8YY -"};
    QTest::newRow("connect conference") << QStringList{admin, ".connect *zz0norte*"} << 0ll << QStringList{"Connecting to \"*ZZ0NORTE*\"."};
    QTest::newRow("connect without asterisks") << QStringList{admin, ".connect zz0sul"} << 0ll << QStringList{"Connecting to \"*ZZ0SUL*\"."};
    QTest::newRow("connect present station") << QStringList{admin, ".connect %l"} << 0ll << QStringList{"Already connected to \"%1\"."};
    QTest::newRow("disconnect") << QStringList{admin, ".disconnect %1"} << 0ll << QStringList{"%1 disconnected"};
    QTest::newRow("disconnect unknown") << QStringList{admin, ".disconnect zz8zz"} << 0ll << QStringList{"zz8zz not found"};
    QTest::newRow("quote reaches admins") << QStringList{admin, ".quote ol\u00e1 sala"} << 0ll << QStringList{"*ZZ0SALA*>ol\u00e1 sala"};
    QTest::newRow("quoted semicolon stays") << QStringList{admin, ".quote \"a;b\" c"} << 0ll << QStringList{"*ZZ0SALA*>\"a;b\" c"};
    QTest::newRow("quoted line break gives two lines") << QStringList{admin, ".quote a\rb"} << 0ll << QStringList{"*ZZ0SALA*>a", "b"};
    QTest::newRow("two commands in one line") << QStringList{admin, ".busy on; .busy off"} << 0ll
                                              << QStringList{"The conference is busy.", "The conference is available."};
    QTest::newRow("showip one station") << QStringList{admin, ".showip " + kAdmin} << 0ll << QStringList{kAdmin + "\t192.0.2.10\tE", QString()};
    QTest::newRow("free chat is not echoed") << QStringList{"bom dia"} << 0ll << none;
    QTest::newRow("empty chat line") << QStringList{""} << 0ll << none;
}

void tst_SimulatedConference::replies()
{
    QFETCH(QStringList, lines);
    QFETCH(qint64, advance);
    QFETCH(QStringList, expected);

    Session s;
    const QString first = s.others().value(0);
    QVERIFY(!first.isEmpty());
    const auto fill = [&](QString text) {
        return text.replace(QLatin1String("%1"), first).replace(QLatin1String("%l"), first.toLower());
    };
    QStringList replies;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == lines.size() - 1)
            s.advance(advance);
        replies = s.send(fill(lines[i]));
    }
    for (QString &line : expected)
        line = fill(line);
    QCOMPARE(replies, expected);
}

void tst_SimulatedConference::eventsAreNeverSynchronous()
{
    Session s;
    QSignalSpy chat(s.sim.get(), &Automation::ChatTextReceived);
    s.sim->SendChatText(".admin " + kPassword);
    s.sim->SendChatText(QStringLiteral(".showip "));
    QCOMPARE(chat.size(), 0);
    s.drain();
    QCOMPARE(chat.size(), 1 + int(s.members().size()) + 1);
    QCOMPARE(chat.first().first().toString(), QStringLiteral("Your wish is my command."));

    // A slot that deletes the back end on the first event stops the rest cleanly.
    s.sim->SendChatText(QStringLiteral(".ban list"));
    s.sim->SendChatText(QStringLiteral(".list"));
    QObject::connect(s.sim.get(), &Automation::ChatTextReceived, [&s](const QString &) { s.sim.reset(); });
    QTRY_VERIFY(!s.sim);
    QCoreApplication::processEvents();
}

void tst_SimulatedConference::stationListMatchesReceiving()
{
    Session s(11);
    Session twin(11); // the same seed makes the same session
    Session other(12);
    QVERIFY(s.station.startsWith(QLatin1String("CONF *ZZ0SALA* ")));
    QVERIFY(s.members().contains(kAdmin));
    int talks = 0;
    int joins = 0;
    int leaves = 0;
    QStringList before = s.members();
    for (int step = 0; step < 2 * 60 * 60 * 2; ++step) { // two hours in half seconds
        s.advance(500);
        twin.advance(500);
        other.advance(500);
        const QString header = s.station.section(kCr, 0, 0);
        const QStringList stations = s.stations();
        const bool talking = !stations.isEmpty() && stations.first().startsWith(QLatin1String("->"));
        QCOMPARE(s.sim->IsReceiving(), talking);
        QCOMPARE(header.endsWith(QLatin1String(" <SB>")), !talking);
        QVERIFY2(header.contains(QStringLiteral("[%1/8]").arg(stations.size())), qPrintable(header));
        QVERIFY(stations.size() <= 8);
        talks += talking && s.log.last().startsWith(QLatin1String("S:"));
        const QStringList now = s.members();
        for (const QString &call : now)
            joins += !before.contains(call);
        for (const QString &call : before)
            leaves += !now.contains(call) && !s.station.contains("->" + call + ' ');
        before = now;
    }
    QVERIFY(talks > 0);
    QVERIFY(joins > 0);
    QVERIFY(leaves > 0);
    QCOMPARE(twin.log, s.log);
    QVERIFY(other.log != s.log);
    for (const QString &line : std::as_const(s.chat)) {
        QVERIFY2(QRegularExpression(QStringLiteral("^ZZ[0-9][A-Z]+>.+")).match(line).hasMatch(), qPrintable(line));
    }
}

void tst_SimulatedConference::moderation()
{
    Session s(3);
    s.send(".admin " + kPassword);
    QStringList others = s.others();
    QVERIFY(others.size() >= 2);
    const QString muted = others[0];
    const QString kicked = others[1];
    const auto usersOf = [&](const QMap<QString, QString> &attributes) {
        QStringList lines;
        const QStringList calls = s.members();
        for (qsizetype i = 0; i < calls.size(); ++i) {
            QString a = attributes.value(calls[i]);
            if (calls[i] == QLatin1String("ZZ5CD"))
                a.prepend(QLatin1Char('S')); // the simulated sysop
            lines << QStringLiteral("%1. %2 %3").arg(i + 1).arg(calls[i], a);
        }
        return lines;
    };

    QCOMPARE(s.send(QStringLiteral(".users")), usersOf({{kAdmin, "A"}}));
    s.send(".mute " + muted);
    QVERIFY(s.stations().contains(muted + " (Muted)"));
    QCOMPARE(s.send(QStringLiteral(".users ")), usersOf({{kAdmin, "A"}, {muted, "m"}}));
    s.send(".kick " + kicked);
    QVERIFY(s.stations().contains(kicked + " (Muted)"));
    s.send(QStringLiteral(".mute chat"));
    QCOMPARE(s.send(QStringLiteral(".users")), usersOf({{kAdmin, "Ac"}, {muted, "m"}, {kicked, "MKx"}}));
    s.send(".ban add " + muted);
    QCOMPARE(s.send(QStringLiteral(".users  ")), usersOf({{kAdmin, "Ac"}, {muted, "MKx"}, {kicked, "MKx"}}));
    QCOMPARE(s.send(QStringLiteral(".ban list")), (QStringList{"banned users:", muted + " -"}));

    // Busy and with chat muted, nobody new gets in and nothing is heard;
    // kicked stations go when their link times out, and a banned one stays out.
    s.send(QStringLiteral(".busy on"));
    const qsizetype heard = s.chat.size();
    const QStringList present = s.members();
    for (int i = 0; i < 40; ++i) {
        s.advance(30'000);
        for (const QString &call : s.members())
            QVERIFY(present.contains(call));
    }
    QCOMPARE(s.chat.size(), heard);
    QVERIFY(!s.members().contains(muted));
    QVERIFY(!s.members().contains(kicked));
    s.send(QStringLiteral(".busy off"));
    s.send(QStringLiteral(".unmute chat"));
    bool cameBack = false;
    for (int i = 0; i < 4 * 60; ++i) {
        s.advance(15'000);
        QVERIFY(!s.station.contains(muted));
        cameBack |= s.station.contains(kicked);
    }
    QVERIFY(cameBack); // not banned

    // Naming a station in the chat makes it answer.
    const QString other = s.others().value(0);
    QVERIFY(!other.isEmpty());
    s.send("oi " + other.toLower() + ", tudo bem?");
    s.clock->advance(3'000);
    s.drain();
    QVERIFY2(s.chat.contains(other + ">Ol\u00e1 " + kAdmin + ", aqui " + other + " ("
                             + s.station.section(kCr + other + ' ', 1).section(kCr, 0, 0) + "). Copiado!"),
             qPrintable(s.chat.join('|')));
}

void tst_SimulatedConference::linkedConferenceAndReinitialize()
{
    Session s;
    s.send(".admin " + kPassword);
    s.send(QStringLiteral(".connect *ZZ0NORTE*"));
    s.send(QStringLiteral(".connect ZZ0MUDO"));
    QVERIFY(!s.members().contains(QLatin1String("*ZZ0NORTE*")));
    s.clock->advance(2'000); // the answers take a moment
    s.drain();
    QVERIFY(s.members().contains(QLatin1String("*ZZ0NORTE*")));
    QVERIFY(s.chat.contains(QLatin1String("*ZZ0MUDO* refused connection request.")));
    QVERIFY(!s.members().contains(QLatin1String("*ZZ0MUDO*")));
    const QStringList users = s.send(QStringLiteral(".users"));
    QVERIFY2(users.filter(QRegularExpression(QStringLiteral("^\\d+\\. \\*ZZ0NORTE\\* B$"))).size() == 1, qPrintable(users.join('|')));
    QCOMPARE(s.send(QStringLiteral(".disconnect zz0norte")), QStringList{"*ZZ0NORTE* disconnected"});
    QVERIFY(!s.members().contains(QLatin1String("*ZZ0NORTE*")));

    // Reinitialising ends the log-in.
    QCOMPARE(s.send(QStringLiteral(".busy off")), QStringList{"The conference is available."});
    s.station.clear();
    s.sim->Reinitialize();
    s.drain();
    QVERIFY(s.station.startsWith(QLatin1String("CONF ")));
    QCOMPARE(s.members().last(), kAdmin); // it rejoined as the newest
    QCOMPARE(s.send(QStringLiteral(".busy on")), QStringList());

    // Disconnecting oneself leaves the station out of the conference until reinitialised.
    s.send(".admin " + kPassword);
    QCOMPARE(s.send(".disconnect " + kAdmin), QStringList{kAdmin + " disconnected"});
    QCOMPARE(s.station, QString());
    QCOMPARE(s.send(QStringLiteral(".version")), QStringList());
    s.sim->Reinitialize();
    s.drain();
    QCOMPARE(s.send(QStringLiteral(".version")), QStringList{"thebridge V 1.09 on x86_64-unknown-linux-gnu"});

    // Banning oneself keeps one out: the conference does not answer again.
    s.send(".admin " + kPassword);
    s.send(".ban add " + kAdmin);
    QCOMPARE(s.station, QString());
    s.sim->Reinitialize();
    s.drain();
    QCOMPARE(s.station, QString());
    QCOMPARE(s.send(QStringLiteral(".list")), QStringList());
}

// The local station talks, is counted, and nobody talks over it.
void tst_SimulatedConference::localTransmitterTalks()
{
    Session s;
    s.send(".admin " + kPassword);
    const int present = int(s.members().size());
    s.advance(1'000);
    s.sim->PTT(true);
    s.drain();
    QCOMPARE(s.stations().first(), "->" + kAdmin + " Radiosala");
    QVERIFY(!s.sim->IsReceiving()); // one's own audio is not received
    s.advance(8'000 - 1'000); // 87 whole packets of 80 ms, before any other activity
    const QStringList during = s.send(QStringLiteral(".stat "));
    QCOMPARE(during.size(), 9);
    QCOMPARE(during[0], QStringLiteral("Uptime: 0 minutes and 8 seconds"));
    const int listeners = present - 1;
    QCOMPARE(during[1].section(',', 0, 0), QStringLiteral("Tx packets: %1").arg(87 * listeners + 1));
    QCOMPARE(during[2], QStringLiteral("Rx packets: 89, %1 Mbytes").arg(QString::number((87 * 144 + 12 + 6) / 1e6, 'f', 2)));
    QCOMPARE(during[3], QStringLiteral("Connections: %1").arg(present));
    QCOMPARE(during[4], QStringLiteral("Users: %1 of 8 Max").arg(present));
    QCOMPARE(during[5], QStringLiteral("Bandwidth Tx: %1 Kbps, Rx: 14 Kbps").arg(14400 * listeners / 1000));
    QCOMPARE(during[6], QStringLiteral("Peak users: %1, 12/06 22:00").arg(present));
    QCOMPARE(during[7], QStringLiteral("Peak Tx bandwidth: %1 Kbps @ 12/06 22:00").arg(14400 * listeners / 1000));
    QCOMPARE(during[8], QStringLiteral("Peak Rx bandwidth: 14 Kbps @ 12/06 22:00"));
    for (int i = 0; i < 10; ++i) {
        s.advance(30'000);
        QCOMPARE(s.stations().first(), "->" + kAdmin + " Radiosala");
    }
    s.sim->PTT(false);
    QCOMPARE(s.send(QStringLiteral(".stat")).at(5), QStringLiteral("Bandwidth Tx: 0 Kbps, Rx: 0 Kbps"));
    QVERIFY(s.station.section(kCr, 0, 0).endsWith(QLatin1String(" <SB>")));
    s.sim->PTT(false); // releasing twice changes nothing
    s.drain();
    QVERIFY(s.station.section(kCr, 0, 0).endsWith(QLatin1String(" <SB>")));
}

QTEST_GUILESS_MAIN(tst_SimulatedConference)
#include "tst_simulatedconference.moc"
