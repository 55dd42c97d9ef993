#include "Conference.h"

#include <QRegularExpression>

#include <algorithm>

namespace echolink::sim {

namespace {

constexpr auto kVersion = "thebridge V 1.09 on x86_64-unknown-linux-gnu";
constexpr auto kBanner = "Sala de confer\u00eancia simulada do Radiosala.";
constexpr auto kLocalIp = "192.0.2.10";

const QStringList &phrases()
{
    // %1 is the local station's callsign.
    static const QStringList list = {
        QStringLiteral("Bom dia a todos!"),
        QStringLiteral("Algu\u00e9m na escuta?"),
        QStringLiteral("73 a todos, at\u00e9 a pr\u00f3xima."),
        QStringLiteral("Sinal 5 por 9 aqui, \u00f3timo \u00e1udio."),
        QStringLiteral("Testando o microfone, como est\u00e1 a modula\u00e7\u00e3o?"),
        QStringLiteral("Boa noite %1, obrigado pela sala."),
        QStringLiteral("Vou sair daqui a pouco, tenho compromisso."),
        QStringLiteral("Algu\u00e9m sabe a hora da roda de hoje?"),
        QStringLiteral("Chuva forte por aqui, QRM pesado."),
        QStringLiteral("%1, pode repetir o \u00faltimo aviso?"),
    };
    return list;
}

// Splits a command line at ';' outside double quotes.
QStringList splitCommands(const QString &line)
{
    QStringList parts;
    QString current;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char(';') && !quoted) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

// Bits per second of one GSM stream: 144 bytes every 80 ms.
constexpr int kStreamBitsPerSecond = Conference::AudioPacketBytes * 8 * 1000 / Conference::AudioPacketMs;

} // namespace

const Conference::CommandEntry Conference::kCommands[17] = {
    {"admin", false, &Conference::cmdAdmin},
    {"admins", false, &Conference::cmdAdmins},
    {"ban", true, &Conference::cmdBan},
    {"busy", true, &Conference::cmdBusy},
    {"connect", true, &Conference::cmdConnect},
    {"disconnect", true, &Conference::cmdDisconnect},
    {"help", false, &Conference::cmdHelp},
    {"kick", true, &Conference::cmdKick},
    {"list", false, &Conference::cmdList},
    {"mute", false, &Conference::cmdMute}, // ".mute chat" is open to all; the rest is checked in setMuted
    {"quote", true, &Conference::cmdQuote},
    {"showip", true, &Conference::cmdShowIp},
    {"stat", true, &Conference::cmdStat},
    {"unmute", false, &Conference::cmdUnmute},
    {"uptime", false, &Conference::cmdUptime},
    {"users", false, &Conference::cmdUsers},
    {"version", false, &Conference::cmdVersion},
};

Conference::Conference(const Settings &settings)
    : m_settings(settings)
    , m_conferenceId(QStringLiteral("*ZZ0SALA*"))
    , m_rng(settings.seed)
{
    Q_ASSERT_X(!settings.localCallsign.isEmpty(), "Conference", "the local station needs a callsign");
    const auto station = [](const char *call, const char *name, const char *ip, bool sysop = false) {
        return Candidate{QString::fromLatin1(call), QString::fromUtf8(name), QString::fromLatin1(ip), sysop, false, false};
    };
    const auto conference = [](const char *call, const char *name, const char *ip, bool refuses) {
        return Candidate{QString::fromLatin1(call), QString::fromUtf8(name), QString::fromLatin1(ip), false, true, refuses};
    };
    m_candidates = {
        station("ZZ9AB", "Ana", "203.0.113.11"),
        station("ZZ5CD", "Bruno", "203.0.113.12", true),
        station("ZZ7EF", "Carla", "203.0.113.13"),
        station("ZZ2GH", "Duarte", "203.0.113.14"),
        station("ZZ3IJ", "Eva", "203.0.113.15"),
        station("ZZ4KL", "F\u00e1bio", "203.0.113.16"),
        station("ZZ6MN", "Gil", "203.0.113.17"),
        conference("*ZZ0NORTE*", "Sala Norte", "198.51.100.21", false),
        conference("*ZZ0SUL*", "Sala Sul", "198.51.100.22", false),
        conference("*ZZ0MUDO*", "Sala Muda", "198.51.100.23", true),
    };
    m_candidates.erase(std::remove_if(m_candidates.begin(), m_candidates.end(),
                                      [&](const Candidate &c) { return callKey(c.call) == callKey(settings.localCallsign); }),
                       m_candidates.end());

    // A few stations are already there when the local station arrives.
    std::vector<const Candidate *> stations;
    for (const Candidate &c : m_candidates) {
        if (!c.conference)
            stations.push_back(&c);
    }
    const quint32 present = std::min<quint32>(2 + random(3), quint32(stations.size()));
    for (quint32 i = 0; i < present; ++i) {
        const quint32 pick = random(quint32(stations.size()));
        join(0, *stations[pick], false);
        stations.erase(stations.begin() + pick);
    }
    joinLocal(0);
    scheduleActivity(0);
}

quint32 Conference::random(quint32 bound)
{
    Q_ASSERT(bound > 0);
    // Plain modulo keeps sequences identical across standard libraries.
    return quint32(m_rng()) % bound;
}

void Conference::schedule(qint64 at, Action action)
{
    m_schedule.emplace(at, std::move(action));
}

void Conference::advanceTo(qint64 now)
{
    while (!m_schedule.empty() && m_schedule.begin()->first <= now) {
        auto node = m_schedule.extract(m_schedule.begin());
        node.mapped()(node.key());
    }
}

std::vector<Conference::Output> Conference::takeOutputs()
{
    std::vector<Output> outputs;
    outputs.swap(m_outputs);
    return outputs;
}

bool Conference::isLocalReceiving() const
{
    return m_localConnected && !m_talker.isEmpty() && m_talker != m_settings.localCallsign;
}

// ---------------------------------------------------------------- members

bool Conference::canJoin(const QString &call) const
{
    return !m_busy && m_members.size() < MaxMembers && !m_members.find(call) && !m_banned.contains(call);
}

Member &Conference::join(qint64 now, const Candidate &who, bool linked)
{
    Member m;
    m.call = who.call;
    m.name = who.name;
    m.ip = who.ip;
    m.sysop = who.sysop;
    m.linkedConference = linked;
    Member &added = m_members.add(std::move(m));
    ++m_traffic.connections;
    notePeaks(now);
    return added;
}

void Conference::joinLocal(qint64 now)
{
    if (!canJoin(m_settings.localCallsign)) {
        // A busy, full or banning conference just does not answer.
        m_localConnected = false;
        return;
    }
    Member &me = join(now, Candidate{m_settings.localCallsign, m_settings.localName, QString::fromLatin1(kLocalIp)}, false);
    me.local = true;
    m_localConnected = true;
    m_lastStationText.clear();
    sendStationList();
}

void Conference::remove(qint64 now, const QString &call)
{
    const auto it = std::find_if(m_members.begin(), m_members.end(), [&](const Member &m) { return m.call == call; });
    if (it == m_members.end())
        return;
    if (m_talker == call) {
        accountAudio(now);
        m_talker.clear();
        ++m_talkSerial;
    }
    const bool wasLocal = it->local;
    m_members.remove(call);
    if (wasLocal)
        dropLocal();
    else
        sendStationList();
}

void Conference::kick(qint64 now, Member &member)
{
    if (member.kicked)
        return;
    member.kicked = true;
    member.kickedAt = now;
    const QString call = member.call;
    const quint64 serial = member.joinSerial;
    if (m_talker == call)
        endTalk(now);
    // A kicked station stays listed, silenced, until its link times out.
    schedule(now + KickedLingerMs, [this, call, serial](qint64 at) {
        const Member *m = m_members.find(call);
        if (m && m->joinSerial == serial && m->kicked)
            remove(at, call);
    });
    if (member.local)
        dropLocal();
    else
        sendStationList();
}

void Conference::dropLocal()
{
    if (!m_localConnected)
        return;
    if (m_talker == m_settings.localCallsign) {
        m_talker.clear();
        ++m_talkSerial;
    }
    // The station no longer hears the conference: its station list empties.
    m_outputs.push_back({Output::Kind::Station, QString()});
    m_localConnected = false;
    m_lastStationText.clear();
}

void Conference::reconnectLocal(qint64 now)
{
    if (Member *me = m_members.local()) {
        if (m_talker == me->call) {
            accountAudio(now);
            m_talker.clear();
            ++m_talkSerial;
        }
        m_members.remove(me->call);
    }
    m_localConnected = false;
    m_hasLastLocalLine = false;
    joinLocal(now);
    if (m_localConnected && m_localTransmitting)
        setLocalTransmitting(now, true);
}

QString Conference::attributes(const Member &m) const
{
    QString a;
    if (m.admin)
        a += QLatin1Char('A');
    else if (m.sysop)
        a += QLatin1Char('S');
    if (m.kicked)
        a += QLatin1String("MK");
    else if (m.muted)
        a += QLatin1Char('m');
    if (m.linkedConference)
        a += QLatin1Char('B');
    if (m.kicked)
        a += QLatin1Char('x');
    if (m_talker == m.call)
        a += QLatin1Char('T');
    if (m.chatSuppressed)
        a += QLatin1Char('c');
    return a;
}

void Conference::sendStationList()
{
    if (!m_localConnected)
        return;
    const QChar cr(13);
    QString text = QStringLiteral("CONF %1 Radiosala [%2/%3]").arg(m_conferenceId).arg(m_members.size()).arg(MaxMembers);
    if (m_talker.isEmpty())
        text += QLatin1String(" <SB>");
    text += cr;
    text += cr;
    // The talker first, then the newest arrivals.
    std::vector<const Member *> order;
    for (auto it = m_members.rbegin(); it != m_members.rend(); ++it) {
        if (it->call == m_talker)
            order.insert(order.begin(), &*it);
        else
            order.push_back(&*it);
    }
    for (const Member *m : order) {
        if (m->call == m_talker)
            text += QLatin1String("->") + m->call + QLatin1Char(' ') + m->name;
        else if (m->muted || m->kicked)
            text += m->call + QLatin1String(" (Muted)");
        else
            text += m->call + QLatin1Char(' ') + m->name;
        text += cr;
    }
    text += cr;
    text += QString::fromUtf8(kBanner);
    text += cr;
    if (text == m_lastStationText)
        return;
    m_lastStationText = text;
    m_outputs.push_back({Output::Kind::Station, text});
}

// ---------------------------------------------------------------- traffic

void Conference::scheduleActivity(qint64 now)
{
    schedule(now + 8'000 + random(22'001), [this](qint64 at) { runActivity(at); });
}

void Conference::runActivity(qint64 now)
{
    std::vector<const Candidate *> joiners;
    for (const Candidate &c : m_candidates) {
        if (!c.conference && canJoin(c.call))
            joiners.push_back(&c);
    }
    QStringList active;
    for (const Member &m : m_members) {
        if (!m.local && !m.linkedConference && !m.kicked)
            active << m.call;
    }
    QStringList leavers = active;
    leavers.removeAll(m_talker);

    const quint32 roll = random(100);
    if (roll < 25 && !joiners.empty()) {
        join(now, *joiners[random(quint32(joiners.size()))], false);
        sendStationList();
    } else if (roll < 40 && active.size() > 1 && !leavers.isEmpty()) {
        remove(now, leavers[random(quint32(leavers.size()))]);
    } else if (roll < 65 && !active.isEmpty()) {
        const QString call = active[random(quint32(active.size()))];
        QString phrase = phrases()[random(quint32(phrases().size()))];
        stationChat(now, call, phrase.replace(QLatin1String("%1"), m_settings.localCallsign));
    } else if (m_talker.isEmpty() && !m_localTransmitting && !active.isEmpty()) {
        const QString call = active[random(quint32(active.size()))];
        startTalk(now, call, now + 3'000 + random(17'001));
    }
    scheduleActivity(now);
}

void Conference::startTalk(qint64 now, const QString &call, qint64 until)
{
    const Member *m = m_members.find(call);
    if (!m || m->muted || m->kicked || !m_talker.isEmpty())
        return; // a muted station's audio is not forwarded
    accountAudio(now);
    m_talker = m->call;
    const quint64 serial = ++m_talkSerial;
    if (until > now) {
        schedule(until, [this, serial](qint64 at) {
            if (m_talkSerial == serial && !m_talker.isEmpty())
                endTalk(at);
        });
    }
    notePeaks(now);
    sendStationList();
}

void Conference::endTalk(qint64 now)
{
    accountAudio(now);
    m_talker.clear();
    ++m_talkSerial;
    sendStationList();
}

void Conference::setLocalTransmitting(qint64 now, bool on)
{
    m_localTransmitting = on;
    if (!m_localConnected)
        return;
    if (on)
        startTalk(now, m_settings.localCallsign, now); // ends when released
    else if (m_talker == m_settings.localCallsign)
        endTalk(now);
}

void Conference::accountAudio(qint64 now)
{
    if (m_talker.isEmpty()) {
        m_audioAccountedTo = now;
        return;
    }
    const qint64 packets = (now - m_audioAccountedTo) / AudioPacketMs;
    m_audioAccountedTo += packets * AudioPacketMs;
    m_traffic.received(AudioPacketBytes, quint64(packets));
    m_traffic.sent(AudioPacketBytes, quint64(packets) * quint64(m_members.listenersOf(m_talker)));
}

void Conference::notePeaks(qint64 now)
{
    Traffic &t = m_traffic;
    if (m_members.size() > t.peakUsers) {
        t.peakUsers = m_members.size();
        t.peakUsersAt = now;
    }
    if (m_talker.isEmpty())
        return;
    const int rx = kStreamBitsPerSecond / 1000;
    const int tx = kStreamBitsPerSecond * m_members.listenersOf(m_talker) / 1000;
    if (rx > t.peakRxKbps) {
        t.peakRxKbps = rx;
        t.peakRxAt = now;
    }
    if (tx > t.peakTxKbps) {
        t.peakTxKbps = tx;
        t.peakTxAt = now;
    }
}

void Conference::stationChat(qint64 now, const QString &call, const QString &text)
{
    Q_UNUSED(now);
    const Member *from = m_members.find(call);
    if (!from || from->kicked)
        return;
    const QString line = from->call + QLatin1Char('>') + text;
    m_traffic.received(quint64(line.size()));
    for (const Member &m : m_members) {
        if (&m == from || m.kicked)
            continue;
        m_traffic.sent(quint64(line.size()));
        if (m.local && m_localConnected && !m.chatSuppressed)
            m_outputs.push_back({Output::Kind::Chat, line});
    }
}

// ---------------------------------------------------------------- local input

void Conference::receiveLine(qint64 now, const QString &line)
{
    Member *me = m_members.local();
    if (!m_localConnected || !me || me->kicked)
        return;
    if (m_hasLastLocalLine && line == m_lastLocalLine && now - m_lastLocalLineAt < DuplicateWindowMs)
        return; // dropped as a duplicate
    m_lastLocalLine = line;
    m_lastLocalLineAt = now;
    m_hasLastLocalLine = true;
    m_traffic.received(quint64(line.size()));

    if (line.startsWith(QLatin1Char('.')) || line == QLatin1String("help")) {
        for (QString part : splitCommands(line)) {
            while (!part.isEmpty() && part.front().isSpace())
                part.remove(0, 1);
            if (part.startsWith(QLatin1Char('.')))
                part.remove(0, 1);
            runCommand(now, part);
            if (!m_localConnected)
                break;
        }
        return;
    }

    // Chat goes to everyone else; the sender does not get it back.
    for (const Member &m : m_members) {
        if (!m.local && !m.kicked)
            m_traffic.sent(quint64(line.size()));
    }
    // A station named in the chat answers.
    for (const Member &m : m_members) {
        if (m.local || m.linkedConference || m.kicked)
            continue;
        const QRegularExpression named(QLatin1String("(^|[^A-Za-z0-9])") + QRegularExpression::escape(m.call)
                                           + QLatin1String("($|[^A-Za-z0-9])"),
                                       QRegularExpression::CaseInsensitiveOption);
        if (named.match(line).hasMatch()) {
            const QString call = m.call;
            const QString answer = QStringLiteral("Ol\u00e1 %1, aqui %2 (%3). Copiado!")
                                       .arg(m_settings.localCallsign, m.call, m.name);
            schedule(now + MentionReplyDelayMs, [this, call, answer](qint64 at) { stationChat(at, call, answer); });
            break;
        }
    }
}

void Conference::reply(const QString &line)
{
    if (!m_localConnected)
        return;
    m_traffic.sent(quint64(line.size()) + 1);
    m_outputs.push_back({Output::Kind::Chat, line});
}

void Conference::replyLines(const QStringList &lines)
{
    for (const QString &line : lines)
        reply(line);
}

bool Conference::isLocalPrivileged()
{
    const Member *me = m_members.local();
    return me && (me->admin || me->sysop);
}

void Conference::runCommand(qint64 now, const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    const QString word = text.left(end).toLower();
    if (word.isEmpty())
        return;
    const CommandEntry *match = nullptr;
    int matches = 0;
    for (const CommandEntry &command : kCommands) {
        const QLatin1String name(command.name);
        if (word == name) {
            match = &command;
            matches = 1;
            break;
        }
        if (name.startsWith(word)) {
            match = &command;
            ++matches;
        }
    }
    if (matches == 0)
        return; // unknown commands get no answer
    if (matches > 1) {
        reply(QStringLiteral("Error: Command is ambiguous."));
        return;
    }
    Q_ASSERT(m_members.local());
    if (match->privileged && !isLocalPrivileged())
        return;
    const QString rest = end < text.size() ? text.mid(end + 1) : QString();
    (this->*match->run)({now, rest, rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)});
}

void Conference::cmdAdmin(const CommandCall &c)
{
    if (!m_settings.password.isEmpty() && c.rest.trimmed() == m_settings.password) {
        m_members.local()->admin = true;
        reply(QStringLiteral("Your wish is my command."));
    }
}

void Conference::cmdBusy(const CommandCall &c)
{
    const QString first = c.args.value(0);
    if (first.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0) {
        m_busy = true;
        reply(QStringLiteral("The conference is busy."));
    } else if (first.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
        m_busy = false;
        reply(QStringLiteral("The conference is available."));
    }
}

void Conference::cmdHelp(const CommandCall &)
{
    QStringList names;
    for (const CommandEntry &command : kCommands)
        names << QLatin1Char('.') + QLatin1String(command.name);
    reply(QStringLiteral("Commands: ") + names.join(QLatin1Char(' ')));
}

void Conference::cmdList(const CommandCall &)
{
    reply(QStringLiteral("Sorry, no bulletins are available at this time."));
}

void Conference::cmdUptime(const CommandCall &c)
{
    reply(uptime(c.now));
}

void Conference::cmdVersion(const CommandCall &)
{
    reply(QString::fromLatin1(kVersion));
}

void Conference::cmdAdmins(const CommandCall &)
{
    QStringList lines{QStringLiteral("Admins:")};
    for (const Member &m : m_members) {
        if (m.admin)
            lines << m.call + QLatin1Char(' ') + m.name;
    }
    lines << QStringLiteral("Sysops:");
    for (const Member &m : m_members) {
        if (m.sysop)
            lines << m.call + QLatin1Char(' ') + m.name;
    }
    replyLines(lines);
}

void Conference::cmdUsers(const CommandCall &)
{
    QStringList lines;
    int n = 0;
    for (const Member &m : m_members)
        lines << QStringLiteral("%1. %2 %3").arg(++n).arg(m.call, attributes(m));
    replyLines(lines);
}

void Conference::cmdMute(const CommandCall &c)
{
    setMuted(c.now, c.args, true);
}

void Conference::cmdUnmute(const CommandCall &c)
{
    setMuted(c.now, c.args, false);
}

// ".mute chat" and ".unmute chat" are open to all: they silence the chat to
// the one who asks. Muting a station's audio takes an admin or sysop.
void Conference::setMuted(qint64 now, const QStringList &args, bool mute)
{
    if (args.value(0).compare(QLatin1String("chat"), Qt::CaseInsensitive) == 0) {
        Member *me = m_members.local();
        me->chatSuppressed = mute;
        reply(mute ? QStringLiteral("chat text muted.") : QStringLiteral("chat text unmuted."));
        return;
    }
    if (!isLocalPrivileged())
        return;
    if (args.isEmpty()) {
        reply(mute ? QStringLiteral("Mute who ?") : QStringLiteral("Unmute who ?"));
        return;
    }
    Member *m = m_members.find(args.first());
    if (!m) {
        reply(QStringLiteral("No %1 found.").arg(args.first().toUpper()));
        return;
    }
    const QString call = m->call;
    m->muted = mute;
    reply(call + (mute ? QLatin1String(" muted.") : QLatin1String(" unmuted.")));
    if (mute && m_talker == call)
        endTalk(now);
    else
        sendStationList();
}

void Conference::cmdKick(const CommandCall &c)
{
    const QString who = c.args.value(0);
    if (who.isEmpty()) {
        reply(QStringLiteral("Kick who ?"));
        return;
    }
    Member *m = m_members.find(who);
    if (!m) {
        reply(QStringLiteral("%1 not found").arg(who.toUpper()));
        return;
    }
    reply(m->call + QLatin1String(" kicked"));
    kick(c.now, *m);
}

void Conference::cmdBan(const CommandCall &c)
{
    const QString sub = c.args.value(0).toLower();
    const QString call = c.args.value(1).toUpper();
    if (sub == QLatin1String("add")) {
        if (call.isEmpty()) {
            reply(QStringLiteral("Add who ?"));
            return;
        }
        m_banned.add(call);
        reply(call + QLatin1String(" banned"));
        if (Member *m = m_members.find(call))
            kick(c.now, *m);
    } else if (sub == QLatin1String("delete")) {
        if (call.isEmpty()) {
            reply(QStringLiteral("Delete who ?"));
            return;
        }
        if (!m_banned.remove(call)) {
            reply(call + QLatin1String(" was not found on the banned list."));
            return;
        }
        reply(call + QLatin1String(" removed from the banned list."));
    } else if (sub == QLatin1String("list")) {
        if (m_banned.isEmpty()) {
            reply(QStringLiteral("The banned list is empty."));
            return;
        }
        QStringList lines{QStringLiteral("banned users:")};
        for (const QString &b : m_banned.calls())
            lines << b + QLatin1String(" -");
        replyLines(lines);
    }
}

void Conference::cmdConnect(const CommandCall &c)
{
    const QStringList &args = c.args;
    const qint64 now = c.now;
    if (args.isEmpty()) {
        reply(QStringLiteral("Connect who ?"));
        return;
    }
    if (const Member *m = m_members.find(args.first())) {
        reply(QStringLiteral("Already connected to \"%1\".").arg(m->call));
        return;
    }
    const QString key = callKey(args.first());
    const auto it = std::find_if(m_candidates.begin(), m_candidates.end(),
                                 [&](const Candidate &c) { return callKey(c.call) == key; });
    if (it == m_candidates.end()) {
        reply(QStringLiteral("Station \"%1\" not found.").arg(args.first()));
        return;
    }
    const Candidate target = *it;
    reply(QStringLiteral("Connecting to \"%1\".").arg(target.call));
    schedule(now + ConnectDelayMs, [this, target](qint64 at) {
        if (target.refuses) {
            reply(target.call + QLatin1String(" refused connection request."));
            return;
        }
        if (m_members.find(target.call) || m_members.size() >= MaxMembers)
            return;
        join(at, target, target.conference);
        sendStationList();
    });
}

void Conference::cmdDisconnect(const CommandCall &c)
{
    if (c.args.isEmpty()) {
        reply(QStringLiteral("Disconnect who ?"));
        return;
    }
    const Member *m = m_members.find(c.args.first());
    if (!m) {
        reply(QStringLiteral("%1 not found").arg(c.args.first()));
        return;
    }
    const QString call = m->call;
    reply(call + QLatin1String(" disconnected"));
    remove(c.now, call);
}

void Conference::cmdQuote(const CommandCall &c)
{
    // Goes to every admin and sysop here and to linked conferences.
    const QString line = m_conferenceId + QLatin1Char('>') + c.rest;
    for (const Member &m : m_members) {
        if (m.kicked || !(m.admin || m.sysop || m.linkedConference))
            continue;
        m_traffic.sent(quint64(line.size()));
        if (m.local && m_localConnected)
            m_outputs.push_back({Output::Kind::Chat, line});
    }
}

void Conference::cmdShowIp(const CommandCall &c)
{
    const QStringList &args = c.args;
    QStringList lines;
    for (const Member &m : m_members) {
        if (args.isEmpty() || callKey(m.call) == callKey(args.first()))
            lines << m.call + QLatin1Char('\t') + m.ip + QLatin1String("\tE");
    }
    lines << QString();
    replyLines(lines);
}

QString Conference::stamp(qint64 at) const
{
    return m_settings.startedAt.addMSecs(at).toString(QStringLiteral("MM/dd HH:mm"));
}

void Conference::cmdStat(const CommandCall &c)
{
    const qint64 now = c.now;
    accountAudio(now);
    const auto mbytes = [](quint64 bytes) { return QString::number(double(bytes) / 1e6, 'f', 2); };
    int rx = 0;
    int tx = 0;
    if (!m_talker.isEmpty()) {
        rx = kStreamBitsPerSecond / 1000;
        tx = kStreamBitsPerSecond * m_members.listenersOf(m_talker) / 1000;
    }
    const Traffic &t = m_traffic;
    replyLines({
        uptime(now),
        QStringLiteral("Tx packets: %1, %2 Mbytes").arg(t.txPackets).arg(mbytes(t.txBytes)),
        QStringLiteral("Rx packets: %1, %2 Mbytes").arg(t.rxPackets).arg(mbytes(t.rxBytes)),
        QStringLiteral("Connections: %1").arg(t.connections),
        QStringLiteral("Users: %1 of %2 Max").arg(m_members.size()).arg(MaxMembers),
        QStringLiteral("Bandwidth Tx: %1 Kbps, Rx: %2 Kbps").arg(tx).arg(rx),
        QStringLiteral("Peak users: %1, %2").arg(t.peakUsers).arg(stamp(t.peakUsersAt)),
        QStringLiteral("Peak Tx bandwidth: %1 Kbps @ %2").arg(t.peakTxKbps).arg(t.peakTxAt < 0 ? QString() : stamp(t.peakTxAt)),
        QStringLiteral("Peak Rx bandwidth: %1 Kbps @ %2").arg(t.peakRxKbps).arg(t.peakRxAt < 0 ? QString() : stamp(t.peakRxAt)),
    });
}

QString Conference::uptime(qint64 now) const
{
    const qint64 seconds = now / 1000;
    const qint64 minutes = seconds / 60;
    const qint64 hours = minutes / 60;
    const qint64 days = hours / 24;
    if (hours == 0)
        return QStringLiteral("Uptime: %1 minutes and %2 seconds").arg(minutes).arg(seconds % 60);
    if (days == 0)
        return QStringLiteral("Uptime: %1 hours and %2 minutes").arg(hours).arg(minutes % 60);
    return QStringLiteral("Uptime: %1 days, %2 hours and %3 minutes").arg(days).arg(hours % 24).arg(minutes % 60);
}

} // namespace echolink::sim
