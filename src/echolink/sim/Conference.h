#pragma once

#include "Bans.h"
#include "Members.h"

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
    struct Candidate
    {
        QString call;
        QString name;
        QString ip;
        bool sysop = false;
        bool conference = false;   // a conference server, reached only by .connect
        bool refuses = false;      // never accepts a connection request
    };

    using Action = std::function<void(qint64)>;

    void schedule(qint64 at, Action action);
    void scheduleActivity(qint64 now);
    void runActivity(qint64 now);

    // One dot command as given: the time, the text after its name and
    // that text split into words.
    struct CommandCall
    {
        qint64 now;
        QString rest;
        QStringList args;
    };
    struct CommandEntry
    {
        const char *name;
        bool privileged;           // for admins and sysops only
        void (Conference::*run)(const CommandCall &);
    };
    // Sorted by name; a command may be given by any unambiguous prefix.
    static const CommandEntry kCommands[17];

    // Local input.
    void runCommand(qint64 now, const QString &text);
    void reply(const QString &line);
    void replyLines(const QStringList &lines);
    bool isLocalPrivileged();

    void cmdAdmin(const CommandCall &c);
    void cmdAdmins(const CommandCall &c);
    void cmdBan(const CommandCall &c);
    void cmdBusy(const CommandCall &c);
    void cmdConnect(const CommandCall &c);
    void cmdDisconnect(const CommandCall &c);
    void cmdHelp(const CommandCall &c);
    void cmdKick(const CommandCall &c);
    void cmdList(const CommandCall &c);
    void cmdMute(const CommandCall &c);
    void cmdQuote(const CommandCall &c);
    void cmdShowIp(const CommandCall &c);
    void cmdStat(const CommandCall &c);
    void cmdUnmute(const CommandCall &c);
    void cmdUptime(const CommandCall &c);
    void cmdUsers(const CommandCall &c);
    void cmdVersion(const CommandCall &c);
    void setMuted(qint64 now, const QStringList &args, bool mute);

    // Members.
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
    MemberList m_members;
    BanList m_banned;
    bool m_busy = false;
    bool m_localConnected = false;
    bool m_localTransmitting = false;
    quint64 m_talkSerial = 0;

    QString m_lastStationText;
    QString m_talker;
    qint64 m_audioAccountedTo = 0;

    QString m_lastLocalLine;
    qint64 m_lastLocalLineAt = 0;
    bool m_hasLastLocalLine = false;

    // What ".stat" reports: packets and bytes the conference received and
    // sent, connections made, and the peaks seen.
    struct Traffic
    {
        quint64 txPackets = 0, rxPackets = 0;
        quint64 txBytes = 0, rxBytes = 0;
        int connections = 0;
        int peakUsers = 0;
        qint64 peakUsersAt = 0;
        int peakTxKbps = 0, peakRxKbps = 0;
        qint64 peakTxAt = -1, peakRxAt = -1;

        void received(quint64 bytes, quint64 packets = 1)
        {
            rxPackets += packets;
            rxBytes += packets * bytes;
        }
        void sent(quint64 bytes, quint64 packets = 1)
        {
            txPackets += packets;
            txBytes += packets * bytes;
        }
    };
    Traffic m_traffic;

    std::vector<Output> m_outputs;
};

} // namespace echolink::sim
