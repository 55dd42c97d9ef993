#pragma once

#include <QString>

#include <vector>

namespace echolink::sim {

// Callsigns are compared without case and without a conference's asterisks.
QString callKey(const QString &call);

// A station in the conference and what the conference keeps for it.
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
    quint64 joinSerial = 0;    // tells a station from its own later return
    qint64 kickedAt = 0;
};

// The stations in the conference, in the order they joined.
class MemberList
{
public:
    // By callsign as callKey() compares them; null when not there.
    Member *find(const QString &call);
    const Member *find(const QString &call) const;
    Member *local();

    // Appends a member, numbered with the next join serial.
    Member &add(Member member);
    // Removes the member with exactly this callsign; false when none has it.
    bool remove(const QString &call);

    // The stations that hear `talker`: everyone else but the kicked.
    int listenersOf(const QString &talker) const;

    int size() const { return int(m_members.size()); }
    std::vector<Member>::iterator begin() { return m_members.begin(); }
    std::vector<Member>::iterator end() { return m_members.end(); }
    std::vector<Member>::const_iterator begin() const { return m_members.begin(); }
    std::vector<Member>::const_iterator end() const { return m_members.end(); }
    std::vector<Member>::const_reverse_iterator rbegin() const { return m_members.rbegin(); }
    std::vector<Member>::const_reverse_iterator rend() const { return m_members.rend(); }

private:
    std::vector<Member> m_members;
    quint64 m_joinSerial = 0;
};

} // namespace echolink::sim
