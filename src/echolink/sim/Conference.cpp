#include "Conference.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <iterator>

namespace echolink::sim {

namespace {

constexpr auto kVersion = "thebridge V 1.09 on x86_64-unknown-linux-gnu";
constexpr auto kBanner = "Sala de confer\u00eancia simulada do Radiosala.";
constexpr auto kLocalIp = "192.0.2.10";

// Sorted by name; a command may be given by any unambiguous prefix.
constexpr std::array<const char *, 17> kCommandNames = {
    "admin", "admins", "ban", "busy", "connect", "disconnect", "help", "kick", "list",
    "mute", "quote", "showip", "stat", "unmute", "uptime", "users", "version",
};

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

// Callsigns are compared without case and without a conference's asterisks.
QString callKey(const QString &call)
{
    QString key = call.toUpper();
    key.remove(QLatin1Char('*'));
    return key;
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

} // namespace

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

Conference::Member *Conference::find(const QString &call)
{
    const QString key = callKey(call);
    for (Member &m : m_members) {
        if (callKey(m.call) == key)
            return &m;
    }
    return nullptr;
}

Conference::Member *Conference::local()
{
    for (Member &m : m_members) {
        if (m.local)
            return &m;
    }
    return nullptr;
}

bool Conference::canJoin(const QString &call) const
{
    const QString key = callKey(call);
    const bool present = std::any_of(m_members.begin(), m_members.end(),
                                     [&](const Member &m) { return callKey(m.call) == key; });
    return !m_busy && int(m_members.size()) < MaxMembers && !present
        && !std::any_of(m_banned.begin(), m_banned.end(), [&](const QString &b) { return callKey(b) == key; });
}

Conference::Member &Conference::join(qint64 now, const Candidate &who, bool linked)
{
    Member m;
    m.call = who.call;
    m.name = who.name;
    m.ip = who.ip;
    m.sysop = who.sysop;
    m.linkedConference = linked;
    m.joinSerial = ++m_joinSerial;
    m_members.push_back(m);
    ++m_connections;
    notePeaks(now);
    return m_members.back();
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
    const auto it = std::find_if(m_members.begin(), m_members.end(),
                                 [&](const Member &m) { return m.call == call; });
    if (it == m_members.end())
        return;
    if (m_talker == call) {
        accountAudio(now);
        m_talker.clear();
        ++m_talkSerial;
    }
    const bool wasLocal = it->local;
    m_members.erase(it);
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
        const Member *m = find(call);
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
    if (Member *me = local()) {
        if (m_talker == me->call) {
            accountAudio(now);
            m_talker.clear();
            ++m_talkSerial;
        }
        m_members.erase(m_members.begin() + (me - m_members.data()));
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
    const Member *m = find(call);
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
    const qint64 listeners = std::count_if(m_members.begin(), m_members.end(),
                                           [&](const Member &m) { return m.call != m_talker && !m.kicked; });
    m_rxPackets += packets;
    m_rxBytes += packets * AudioPacketBytes;
    m_txPackets += packets * listeners;
    m_txBytes += packets * listeners * AudioPacketBytes;
}

namespace {
// Bits per second of one GSM stream: 144 bytes every 80 ms.
constexpr int kStreamBitsPerSecond = Conference::AudioPacketBytes * 8 * 1000 / Conference::AudioPacketMs;
}

void Conference::notePeaks(qint64 now)
{
    if (int(m_members.size()) > m_peakUsers) {
        m_peakUsers = int(m_members.size());
        m_peakUsersAt = now;
    }
    if (m_talker.isEmpty())
        return;
    const int listeners = int(std::count_if(m_members.begin(), m_members.end(),
                                            [&](const Member &m) { return m.call != m_talker && !m.kicked; }));
    const int rx = kStreamBitsPerSecond / 1000;
    const int tx = kStreamBitsPerSecond * listeners / 1000;
    if (rx > m_peakRxKbps) {
        m_peakRxKbps = rx;
        m_peakRxAt = now;
    }
    if (tx > m_peakTxKbps) {
        m_peakTxKbps = tx;
        m_peakTxAt = now;
    }
}

void Conference::stationChat(qint64 now, const QString &call, const QString &text)
{
    Q_UNUSED(now);
    const Member *from = find(call);
    if (!from || from->kicked)
        return;
    const QString line = from->call + QLatin1Char('>') + text;
    ++m_rxPackets;
    m_rxBytes += quint64(line.size());
    for (const Member &m : m_members) {
        if (&m == from || m.kicked)
            continue;
        ++m_txPackets;
        m_txBytes += quint64(line.size());
        if (m.local && m_localConnected && !m.chatSuppressed)
            m_outputs.push_back({Output::Kind::Chat, line});
    }
}

// ---------------------------------------------------------------- local input

void Conference::receiveLine(qint64 now, const QString &line)
{
    Member *me = local();
    if (!m_localConnected || !me || me->kicked)
        return;
    if (m_hasLastLocalLine && line == m_lastLocalLine && now - m_lastLocalLineAt < DuplicateWindowMs)
        return; // dropped as a duplicate
    m_lastLocalLine = line;
    m_lastLocalLineAt = now;
    m_hasLastLocalLine = true;
    ++m_rxPackets;
    m_rxBytes += quint64(line.size());

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
        if (!m.local && !m.kicked) {
            ++m_txPackets;
            m_txBytes += quint64(line.size());
        }
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

bool Conference::isPrivileged(Command command) const
{
    switch (command) {
    case Command::Ban:
    case Command::Busy:
    case Command::Connect:
    case Command::Disconnect:
    case Command::Kick:
    case Command::Quote:
    case Command::ShowIp:
    case Command::Stat:
        return true;
    case Command::Mute:
    case Command::Unmute: // ".mute chat" is open to all; checked in cmdMute
    default:
        return false;
    }
}

void Conference::reply(const QString &line)
{
    if (!m_localConnected)
        return;
    ++m_txPackets;
    m_txBytes += quint64(line.size()) + 1;
    m_outputs.push_back({Output::Kind::Chat, line});
}

void Conference::replyLines(const QStringList &lines)
{
    for (const QString &line : lines)
        reply(line);
}

void Conference::runCommand(qint64 now, const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    const QString word = text.left(end).toLower();
    const QString rest = end < text.size() ? text.mid(end + 1) : QString();
    const QStringList args = rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (word.isEmpty())
        return;

    int match = -1;
    int matches = 0;
    for (int i = 0; i < int(kCommandNames.size()); ++i) {
        const QLatin1String name(kCommandNames[i]);
        if (word == name) {
            match = i;
            matches = 1;
            break;
        }
        if (name.startsWith(word)) {
            match = i;
            ++matches;
        }
    }
    if (matches == 0)
        return; // unknown commands get no answer
    if (matches > 1) {
        reply(QStringLiteral("Error: Command is ambiguous."));
        return;
    }
    const auto command = Command(match);
    Member *me = local();
    Q_ASSERT(me);
    const bool privileged = me->admin || me->sysop;
    if (isPrivileged(command) && !privileged)
        return;

    const QString first = args.value(0);
    switch (command) {
    case Command::Admin:
        if (!m_settings.password.isEmpty() && rest.trimmed() == m_settings.password) {
            me->admin = true;
            reply(QStringLiteral("Your wish is my command."));
        }
        break;
    case Command::Admins:
        cmdAdmins();
        break;
    case Command::Ban:
        cmdBan(now, args);
        break;
    case Command::Busy:
        if (first.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0) {
            m_busy = true;
            reply(QStringLiteral("The conference is busy."));
        } else if (first.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
            m_busy = false;
            reply(QStringLiteral("The conference is available."));
        }
        break;
    case Command::Connect:
        cmdConnect(now, args);
        break;
    case Command::Disconnect:
        cmdDisconnect(now, args);
        break;
    case Command::Help: {
        QStringList names;
        for (const char *name : kCommandNames)
            names << QLatin1Char('.') + QLatin1String(name);
        reply(QStringLiteral("Commands: ") + names.join(QLatin1Char(' ')));
        break;
    }
    case Command::Kick:
        cmdKick(now, first);
        break;
    case Command::List:
        reply(QStringLiteral("Sorry, no bulletins are available at this time."));
        break;
    case Command::Mute:
    case Command::Unmute:
        if (first.compare(QLatin1String("chat"), Qt::CaseInsensitive) == 0) {
            me->chatSuppressed = command == Command::Mute;
            reply(me->chatSuppressed ? QStringLiteral("chat text muted.") : QStringLiteral("chat text unmuted."));
        } else if (privileged) {
            cmdMute(now, args, command == Command::Mute);
        }
        break;
    case Command::Quote:
        cmdQuote(rest);
        break;
    case Command::ShowIp:
        cmdShowIp(args);
        break;
    case Command::Stat:
        cmdStat(now);
        break;
    case Command::Uptime:
        reply(uptime(now));
        break;
    case Command::Users:
        cmdUsers();
        break;
    case Command::Version:
        reply(QString::fromLatin1(kVersion));
        break;
    }
}

void Conference::cmdAdmins()
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

void Conference::cmdUsers()
{
    QStringList lines;
    int n = 0;
    for (const Member &m : m_members)
        lines << QStringLiteral("%1. %2 %3").arg(++n).arg(m.call, attributes(m));
    replyLines(lines);
}

void Conference::cmdMute(qint64 now, const QStringList &args, bool mute)
{
    if (args.isEmpty()) {
        reply(mute ? QStringLiteral("Mute who ?") : QStringLiteral("Unmute who ?"));
        return;
    }
    Member *m = find(args.first());
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

void Conference::cmdKick(qint64 now, const QString &who)
{
    if (who.isEmpty()) {
        reply(QStringLiteral("Kick who ?"));
        return;
    }
    Member *m = find(who);
    if (!m) {
        reply(QStringLiteral("%1 not found").arg(who.toUpper()));
        return;
    }
    reply(m->call + QLatin1String(" kicked"));
    kick(now, *m);
}

void Conference::cmdBan(qint64 now, const QStringList &args)
{
    const QString sub = args.value(0).toLower();
    const QString call = args.value(1).toUpper();
    const auto listed = [&]() {
        return std::find_if(m_banned.begin(), m_banned.end(), [&](const QString &b) { return callKey(b) == callKey(call); });
    };
    if (sub == QLatin1String("add")) {
        if (call.isEmpty()) {
            reply(QStringLiteral("Add who ?"));
            return;
        }
        if (listed() == m_banned.end())
            m_banned << call;
        reply(call + QLatin1String(" banned"));
        if (Member *m = find(call))
            kick(now, *m);
    } else if (sub == QLatin1String("delete")) {
        if (call.isEmpty()) {
            reply(QStringLiteral("Delete who ?"));
            return;
        }
        const auto it = listed();
        if (it == m_banned.end()) {
            reply(call + QLatin1String(" was not found on the banned list."));
            return;
        }
        m_banned.erase(it);
        reply(call + QLatin1String(" removed from the banned list."));
    } else if (sub == QLatin1String("list")) {
        if (m_banned.isEmpty()) {
            reply(QStringLiteral("The banned list is empty."));
            return;
        }
        QStringList lines{QStringLiteral("banned users:")};
        for (const QString &b : std::as_const(m_banned))
            lines << b + QLatin1String(" -");
        replyLines(lines);
    }
}

void Conference::cmdConnect(qint64 now, const QStringList &args)
{
    if (args.isEmpty()) {
        reply(QStringLiteral("Connect who ?"));
        return;
    }
    if (const Member *m = find(args.first())) {
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
        if (find(target.call) || int(m_members.size()) >= MaxMembers)
            return;
        join(at, target, target.conference);
        sendStationList();
    });
}

void Conference::cmdDisconnect(qint64 now, const QStringList &args)
{
    if (args.isEmpty()) {
        reply(QStringLiteral("Disconnect who ?"));
        return;
    }
    const Member *m = find(args.first());
    if (!m) {
        reply(QStringLiteral("%1 not found").arg(args.first()));
        return;
    }
    const QString call = m->call;
    reply(call + QLatin1String(" disconnected"));
    remove(now, call);
}

void Conference::cmdQuote(const QString &text)
{
    // Goes to every admin and sysop here and to linked conferences.
    const QString line = m_conferenceId + QLatin1Char('>') + text;
    for (const Member &m : m_members) {
        if (m.kicked || !(m.admin || m.sysop || m.linkedConference))
            continue;
        ++m_txPackets;
        m_txBytes += quint64(line.size());
        if (m.local && m_localConnected)
            m_outputs.push_back({Output::Kind::Chat, line});
    }
}

void Conference::cmdShowIp(const QStringList &args)
{
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

void Conference::cmdStat(qint64 now)
{
    accountAudio(now);
    const auto mbytes = [](quint64 bytes) { return QString::number(double(bytes) / 1e6, 'f', 2); };
    int rx = 0;
    int tx = 0;
    if (!m_talker.isEmpty()) {
        const int listeners = int(std::count_if(m_members.begin(), m_members.end(),
                                                [&](const Member &m) { return m.call != m_talker && !m.kicked; }));
        rx = kStreamBitsPerSecond / 1000;
        tx = kStreamBitsPerSecond * listeners / 1000;
    }
    replyLines({
        uptime(now),
        QStringLiteral("Tx packets: %1, %2 Mbytes").arg(m_txPackets).arg(mbytes(m_txBytes)),
        QStringLiteral("Rx packets: %1, %2 Mbytes").arg(m_rxPackets).arg(mbytes(m_rxBytes)),
        QStringLiteral("Connections: %1").arg(m_connections),
        QStringLiteral("Users: %1 of %2 Max").arg(m_members.size()).arg(MaxMembers),
        QStringLiteral("Bandwidth Tx: %1 Kbps, Rx: %2 Kbps").arg(tx).arg(rx),
        QStringLiteral("Peak users: %1, %2").arg(m_peakUsers).arg(stamp(m_peakUsersAt)),
        QStringLiteral("Peak Tx bandwidth: %1 Kbps @ %2").arg(m_peakTxKbps).arg(m_peakTxAt < 0 ? QString() : stamp(m_peakTxAt)),
        QStringLiteral("Peak Rx bandwidth: %1 Kbps @ %2").arg(m_peakRxKbps).arg(m_peakRxAt < 0 ? QString() : stamp(m_peakRxAt)),
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
