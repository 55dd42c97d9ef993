#include "Bans.h"

#include "Members.h"

namespace echolink::sim {

qsizetype BanList::indexOf(const QString &call) const
{
    const QString key = callKey(call);
    for (qsizetype i = 0; i < m_calls.size(); ++i) {
        if (callKey(m_calls.at(i)) == key)
            return i;
    }
    return -1;
}

bool BanList::contains(const QString &call) const
{
    return indexOf(call) >= 0;
}

bool BanList::add(const QString &call)
{
    if (contains(call))
        return false;
    m_calls << call;
    return true;
}

bool BanList::remove(const QString &call)
{
    const qsizetype i = indexOf(call);
    if (i < 0)
        return false;
    m_calls.removeAt(i);
    return true;
}

} // namespace echolink::sim
