#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>
#include <thread>

// An addressing server on 127.0.0.1, on its own thread so that a client blocking on it (the log-off)
// still gets its answers: one connection per scripted answer, read up to the empty line, answered, closed.
class FakeDirectory
{
public:
    explicit FakeDirectory(QList<QByteArray> answers)
        : m_answers(std::move(answers))
    {
        m_thread = std::thread([this] { serve(); });
        while (m_port.load() == 0)
            std::this_thread::yield();
    }
    ~FakeDirectory() { m_thread.join(); }

    quint16 port() const { return quint16(m_port.load()); }
    QList<QByteArray> requests() const
    {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }

private:
    void serve()
    {
        QTcpServer server;
        if (!server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0)) {
            m_port = -1;
            return;
        }
        m_port = server.serverPort();
        for (const QByteArray &answer : m_answers) {
            if (!server.waitForNewConnection(5000))
                return;
            QTcpSocket *socket = server.nextPendingConnection();
            QByteArray request;
            while (!request.contains("\n\n") && socket->waitForReadyRead(5000))
                request += socket->readAll();
            {
                QMutexLocker lock(&m_mutex);
                m_requests.append(request);
            }
            socket->write(answer);
            socket->waitForBytesWritten(5000);
            socket->disconnectFromHost();
            if (socket->state() != QAbstractSocket::UnconnectedState)
                socket->waitForDisconnected(5000);
            delete socket;
        }
    }

    QList<QByteArray> m_answers;
    std::thread m_thread;
    std::atomic<int> m_port{0};
    mutable QMutex m_mutex;
    QList<QByteArray> m_requests;
};
