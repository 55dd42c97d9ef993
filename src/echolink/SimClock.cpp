#include <echolink/SimClock.h>

namespace echolink {

ManualClock::ManualClock(const QDateTime &startedAt, QObject *parent)
    : SimClock(parent)
    , m_startedAt(startedAt)
{
}

void ManualClock::advance(qint64 milliseconds)
{
    Q_ASSERT_X(milliseconds >= 0, "ManualClock::advance", "time only moves forward");
    m_elapsed += milliseconds;
    emit advanced();
}

LiveClock::LiveClock(int tickMilliseconds, QObject *parent)
    : SimClock(parent)
    , m_startedAt(QDateTime::currentDateTime())
{
    m_timer.start();
    connect(&m_tick, &QTimer::timeout, this, &SimClock::advanced);
    m_tick.start(tickMilliseconds);
}

} // namespace echolink
