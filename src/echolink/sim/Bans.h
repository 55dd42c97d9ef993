#pragma once

#include <QStringList>

namespace echolink::sim {

// The callsigns the conference refuses, in the order they were banned,
// compared as callKey() compares them.
class BanList
{
public:
    bool contains(const QString &call) const;
    // False when the call was listed already.
    bool add(const QString &call);
    // False when the call was not listed.
    bool remove(const QString &call);

    const QStringList &calls() const { return m_calls; }
    bool isEmpty() const { return m_calls.isEmpty(); }

private:
    qsizetype indexOf(const QString &call) const;

    QStringList m_calls;
};

} // namespace echolink::sim
