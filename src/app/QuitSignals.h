#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into quitRequested() on the event loop,
// so that a logout, `kill` or Ctrl+C leaves the way the user's SAIR does.
//
// The handler does only what is safe inside a signal handler: it writes the
// signal number to a socket pair, which a QSocketNotifier reads on the UI
// thread; it gives the three signals their default action back, so that a
// second one ends the process at once; and it arms a deadline (SIGALRM)
// after which the process ends even if the orderly exit is stuck.
//
// One instance per process.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(int deadlineSeconds, QObject *parent = nullptr);
    ~QuitSignals() override;

    // The first signal received, 0 while none has been.
    int received() const;

signals:
    void quitRequested(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
