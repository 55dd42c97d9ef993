#include <echolink/native/DirectoryClient.h>

#include <texts/SystemReason.h>

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTime>

#include <utility>

namespace echolink::native {

using directory::Result;

namespace {

// A log-in answer is a few short lines; anything longer is not one.
constexpr qsizetype kMaxAnswer = 4096;

} // namespace

DirectoryClient::DirectoryClient(DirectorySettings settings, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
{
    m_renew.setInterval(m_settings.renewMs);
    connect(&m_renew, &QTimer::timeout, this, &DirectoryClient::login);
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setInterval(m_settings.stepTimeoutMs);
    connect(&m_stepTimer, &QTimer::timeout, this, [this] {
        finish(Result::Unknown, QStringLiteral("o diretório %1 não respondeu").arg(m_settings.host));
    });
}

DirectoryClient::~DirectoryClient()
{
    stop();
}

void DirectoryClient::start()
{
    m_renew.start();
    login();
}

void DirectoryClient::stop()
{
    m_renew.stop();
    m_stepTimer.stop();
    // Let go of the socket before aborting it: the abort reports the
    // disconnection, whose handler would otherwise finish the exchange and
    // drop the socket under our feet.
    if (QTcpSocket *socket = std::exchange(m_socket, nullptr)) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

QByteArray DirectoryClient::requestFor(directory::Status status, const QByteArray &challenge) const
{
    directory::LoginRequest request = m_settings.request;
    request.status = status;
    request.localTime = QTime::currentTime().toString(QStringLiteral("HH:mm")).toLatin1();
    if (!challenge.isEmpty())
        request.hashedPassword = directory::hashPassword(m_settings.password, challenge);
    return directory::buildLoginRequest(request);
}

void DirectoryClient::login()
{
    if (m_socket)
        return;
    m_answered = false;
    exchange(requestFor(directory::Status::Online, {}));
}

void DirectoryClient::exchange(const QByteArray &request)
{
    m_answer.clear();
    m_socket = new QTcpSocket(this);
    QTcpSocket *socket = m_socket;
    connect(socket, &QTcpSocket::connected, this, [socket, request] { socket->write(request); });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket != m_socket)
            return;
        m_answer.append(socket->read(kMaxAnswer + 1 - m_answer.size()));
        if (m_answer.size() > kMaxAnswer)
            finish(Result::Unknown, QStringLiteral("resposta do diretório longa demais"));
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
        if (socket != m_socket)
            return;
        // The server closes after answering: that is the end of the answer.
        if (error == QAbstractSocket::RemoteHostClosedError) {
            answerComplete();
            return;
        }
        finish(Result::Unknown,
               QStringLiteral("diretório %1 inacessível: %2").arg(m_settings.host, texts::socketReason(*socket)));
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket == m_socket)
            answerComplete();
    });
    m_stepTimer.start();
    socket->connectToHost(m_settings.host, m_settings.port);
}

void DirectoryClient::answerComplete()
{
    if (m_socket)
        m_answer.append(m_socket->read(kMaxAnswer + 1 - m_answer.size()));
    QString error;
    const auto reply = directory::parseLoginReply(m_answer, &error);
    if (!reply) {
        finish(Result::Unknown, QStringLiteral("resposta inválida do diretório: %1").arg(error));
        return;
    }
    if (reply->result == Result::Challenge) {
        if (m_answered) {
            finish(Result::Unknown, QStringLiteral("o diretório repetiu o desafio"));
            return;
        }
        m_socket->disconnect(this);
        m_socket->deleteLater();
        m_socket = nullptr;
        m_answered = true;
        exchange(requestFor(directory::Status::Online, reply->challenge));
        return;
    }
    finish(reply->result, directory::describe(reply->result));
}

void DirectoryClient::finish(Result result, const QString &message)
{
    m_stepTimer.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_lastResult = result;
    m_lastMessage = message;
    emit loginFinished(result, message);
}

Result DirectoryClient::logOff(int timeoutMs, QString *error)
{
    stop();
    const QDeadlineTimer deadline(timeoutMs);
    auto ask = [&](const QByteArray &request, QByteArray *answer) {
        QTcpSocket socket;
        socket.connectToHost(m_settings.host, m_settings.port);
        if (!socket.waitForConnected(int(deadline.remainingTime())))
            return false;
        socket.write(request);
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
        while (socket.state() == QAbstractSocket::ConnectedState && answer->size() <= kMaxAnswer) {
            if (!socket.waitForReadyRead(int(deadline.remainingTime())))
                break;
            answer->append(socket.readAll());
        }
        answer->append(socket.readAll());
        return !answer->isEmpty();
    };
    auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return Result::Unknown;
    };
    QByteArray answer;
    if (!ask(requestFor(directory::Status::OffV, {}), &answer))
        return failed(QStringLiteral("o diretório %1 não respondeu").arg(m_settings.host));
    QString parseError;
    auto reply = directory::parseLoginReply(answer, &parseError);
    if (!reply)
        return failed(parseError);
    if (reply->result != Result::Challenge)
        return reply->result;
    answer.clear();
    if (!ask(requestFor(directory::Status::OffV, reply->challenge), &answer))
        return failed(QStringLiteral("o diretório %1 não respondeu").arg(m_settings.host));
    reply = directory::parseLoginReply(answer, &parseError);
    if (!reply)
        return failed(parseError);
    return reply->result == Result::Challenge ? failed(QStringLiteral("o diretório repetiu o desafio"))
                                              : reply->result;
}

} // namespace echolink::native
