#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <random>
#include <vector>

namespace echolink::sim {

// An in-process conference server in the manner of TheBridge, seen from one
// local station (the administrator's). It holds the members, answers the
// local station's dot commands, and runs a handful of simulated stations that
// join, leave, chat and talk. Time is given by the caller (milliseconds since
// start); nothing happens between calls. The same seed and the same calls at
// the same times give the same outputs.
//
// Outputs are what the local station would receive: chat lines (one per
// reply line, without the CR) and the station list text.
class Conference
{
public:
    struct Settings
    {
        QString password;          // admin password; empty: nobody can log in
        quint32 seed = 1;
        QString localCallsign;
        QString localName;
        QDateTime startedAt;       // wall time at 0 ms, for dates in ".stat"
    };

    struct Output
    {
        enum class Kind { Chat, Station };
        Kind kind;
        QString text;
        bool operator==(const Output &) const = default;
    };

    static constexpr int MaxMembers = 8;
    static constexpr qint64 DuplicateWindowMs = 10'000;
    static constexpr qint64 KickedLingerMs = 50'000;
    static constexpr qint64 ConnectDelayMs = 2'000;
    static constexpr qint64 MentionReplyDelayMs = 3'000;
    static constexpr qint64 AudioPacketMs = 80;
    static constexpr int AudioPacketBytes = 144;

    explicit Conference(const Settings &settings);

    // Runs everything scheduled up to and including `now`.
    void advanceTo(qint64 now);
    // One line typed by the local station (a command line or chat).
    void receiveLine(qint64 now, const QString &line);
    // The local station keys or releases its transmitter.
    void setLocalTransmitting(qint64 now, bool on);
    // The local station drops its link and connects again; its log-in ends.
    void reconnectLocal(qint64 now);

    bool isLocalConnected() const { return m_localConnected; }
    // True while the conference forwards audio from another station.
    bool isLocalReceiving() const;

    std::vector<Output> takeOutputs();

    QString conferenceId() const { return m_conferenceId; }

private:
    struct Member
    {
        QString call;
        QString name;
        QString ip;
        bool local = false;
        bool sysop = false;
        bool admin = false;        // logged in with .admin
        bool muted = false;        // audio muted (m)
        bool kicked = false;       // audio and text muted, on the way out (M K x)
        bool linkedConference = false;
        bool chatSuppressed = false;
        quint64 joinSerial = 0;
        qint64 kickedAt = 0;
    };

    struct Candidate
    {
        QString call;
        QString name;
        QString ip;
        bool sysop = false;
        bool conference = false;   // a conference server, reached only by .connect
        bool refuses = false;      // never accepts a connection request
    };

    enum class Command {
        Admin, Admins, Ban, Busy, Connect, Disconnect, Help, Kick, List, Mute,
        Quote, ShowIp, Stat, Unmute, Uptime, Users, Version // same order as the names table
    };

    using Action = std::function<void(qint64)>;

    void schedule(qint64 at, Action action);
    void scheduleActivity(qint64 now);
    void runActivity(qint64 now);

    // Local input.
    void runCommand(qint64 now, const QString &text);
    bool isPrivileged(Command command) const;
    void reply(const QString &line);
    void replyLines(const QStringList &lines);

    void cmdAdmins();
    void cmdBan(qint64 now, const QStringList &args);
    void cmdConnect(qint64 now, const QStringList &args);
    void cmdDisconnect(qint64 now, const QStringList &args);
    void cmdKick(qint64 now, const QString &call);
    void cmdMute(qint64 now, const QStringList &args, bool mute);
    void cmdQuote(const QString &text);
    void cmdShowIp(const QStringList &args);
    void cmdStat(qint64 now);
    void cmdUsers();

    // Members.
    Member *find(const QString &call);
    Member *local();
    bool canJoin(const QString &call) const;
    Member &join(qint64 now, const Candidate &who, bool linked);
    void joinLocal(qint64 now);
    void remove(qint64 now, const QString &call);
    void kick(qint64 now, Member &member);
    void dropLocal();
    QString attributes(const Member &member) const;

    // Traffic.
    void startTalk(qint64 now, const QString &call, qint64 until);
    void endTalk(qint64 now);
    void stationChat(qint64 now, const QString &call, const QString &text);
    void accountAudio(qint64 now);
    void notePeaks(qint64 now);

    void sendStationList();
    QString uptime(qint64 now) const;
    QString stamp(qint64 now) const;
    quint32 random(quint32 bound);

    Settings m_settings;
    QString m_conferenceId;
    std::mt19937 m_rng;
    std::multimap<qint64, Action> m_schedule;
    std::vector<Candidate> m_candidates;
    std::vector<Member> m_members;     // in join order
    QStringList m_banned;
    bool m_busy = false;
    bool m_localConnected = false;
    bool m_localTransmitting = false;
    quint64 m_joinSerial = 0;
    quint64 m_talkSerial = 0;

    QString m_lastStationText;
    QString m_talker;
    qint64 m_audioAccountedTo = 0;

    QString m_lastLocalLine;
    qint64 m_lastLocalLineAt = 0;
    bool m_hasLastLocalLine = false;

    // Statistics for ".stat".
    quint64 m_txPackets = 0, m_rxPackets = 0;
    quint64 m_txBytes = 0, m_rxBytes = 0;
    int m_connections = 0;
    int m_peakUsers = 0;
    qint64 m_peakUsersAt = 0;
    int m_peakTxKbps = 0, m_peakRxKbps = 0;
    qint64 m_peakTxAt = -1, m_peakRxAt = -1;

    std::vector<Output> m_outputs;
};

} // namespace echolink::sim
