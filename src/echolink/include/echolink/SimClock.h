#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace echolink {

// The time source of the simulated conference. Everything the conference
// does happens at a clock time; it catches up whenever the clock says it
// advanced and before every call it answers. A LiveClock follows real time;
// a ManualClock moves only when told to, so a test replays a session exactly.
class SimClock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Milliseconds since the clock started; never decreases.
    virtual qint64 elapsed() const = 0;
    // The wall-clock time at elapsed() == 0 (used for dates in replies).
    virtual QDateTime startedAt() const = 0;

signals:
    void advanced();
};

// Moves only through advance(); emits advanced() synchronously from it.
class ManualClock : public SimClock
{
    Q_OBJECT

public:
    // A fixed start by default, so that dates in replies are reproducible.
    explicit ManualClock(const QDateTime &startedAt = QDateTime(QDate(2026, 12, 6), QTime(22, 0), Qt::UTC),
                         QObject *parent = nullptr);

    qint64 elapsed() const override { return m_elapsed; }
    QDateTime startedAt() const override { return m_startedAt; }

    void advance(qint64 milliseconds);

private:
    QDateTime m_startedAt;
    qint64 m_elapsed = 0;
};

// Real time, in local time; emits advanced() every tick while the event loop runs.
class LiveClock : public SimClock
{
    Q_OBJECT

public:
    explicit LiveClock(int tickMilliseconds = 200, QObject *parent = nullptr);

    qint64 elapsed() const override { return m_timer.elapsed(); }
    QDateTime startedAt() const override { return m_startedAt; }

private:
    QDateTime m_startedAt;
    QElapsedTimer m_timer;
    QTimer m_tick;
};

} // namespace echolink
