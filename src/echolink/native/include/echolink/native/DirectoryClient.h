#pragma once

#include <echolink/native/DirectoryProtocol.h>

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QTcpSocket;

namespace echolink::native {

struct DirectorySettings
{
    QString host;
    quint16 port = 5200;
    directory::LoginRequest request; // callsign, ports, version, location; status is set per log-in
    QByteArray password;             // kept in memory only
    int renewMs = 5 * 60 * 1000;
    int stepTimeoutMs = 15000;       // per request/answer exchange
};

// Keeps the station logged in to an addressing server: a challenge-response
// log-in at start() and again every renew interval, all asynchronous. At the
// end, logOff() says "OFF-V" with a bounded wait, as the program is leaving.
class DirectoryClient : public QObject
{
    Q_OBJECT

public:
    explicit DirectoryClient(DirectorySettings settings, QObject *parent = nullptr);
    ~DirectoryClient() override;

    void start();
    void stop();
    // Logs in now (again); ignored while a log-in is under way.
    void login();
    // Blocks for at most timeoutMs. Returns the server's result, or
    // Result::Unknown with *error when it could not be reached in time.
    directory::Result logOff(int timeoutMs, QString *error = nullptr);

    bool isBusy() const { return m_socket != nullptr; }
    // The last finished log-in's outcome.
    directory::Result lastResult() const { return m_lastResult; }
    QString lastMessage() const { return m_lastMessage; }

signals:
    // result is Unknown when the server could not be reached or answered
    // nonsense; message then says what happened.
    void loginFinished(echolink::native::directory::Result result, const QString &message);

private:
    void exchange(const QByteArray &request);
    void answerComplete();
    void finish(directory::Result result, const QString &message);
    QByteArray requestFor(directory::Status status, const QByteArray &challenge) const;

    DirectorySettings m_settings;
    QTimer m_renew;
    QTimer m_stepTimer;
    QTcpSocket *m_socket = nullptr;
    QByteArray m_answer;
    bool m_answered = false; // second step: the hashed password went out
    directory::Result m_lastResult = directory::Result::Unknown;
    QString m_lastMessage;
};

} // namespace echolink::native
