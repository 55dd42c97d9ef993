#include "Members.h"

#include <algorithm>

namespace echolink::sim {

QString callKey(const QString &call)
{
    QString key = call.toUpper();
    key.remove(QLatin1Char('*'));
    return key;
}

Member *MemberList::find(const QString &call)
{
    return const_cast<Member *>(std::as_const(*this).find(call));
}

const Member *MemberList::find(const QString &call) const
{
    const QString key = callKey(call);
    const auto it = std::find_if(m_members.begin(), m_members.end(), [&](const Member &m) { return callKey(m.call) == key; });
    return it == m_members.end() ? nullptr : &*it;
}

Member *MemberList::local()
{
    const auto it = std::find_if(m_members.begin(), m_members.end(), [](const Member &m) { return m.local; });
    return it == m_members.end() ? nullptr : &*it;
}

Member &MemberList::add(Member member)
{
    member.joinSerial = ++m_joinSerial;
    m_members.push_back(std::move(member));
    return m_members.back();
}

bool MemberList::remove(const QString &call)
{
    const auto it = std::find_if(m_members.begin(), m_members.end(), [&](const Member &m) { return m.call == call; });
    if (it == m_members.end())
        return false;
    m_members.erase(it);
    return true;
}

int MemberList::listenersOf(const QString &talker) const
{
    return int(std::count_if(m_members.begin(), m_members.end(), [&](const Member &m) { return m.call != talker && !m.kicked; }));
}

} // namespace echolink::sim
