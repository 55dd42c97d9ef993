#pragma once

#include "sim/Conference.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include <map>
#include <memory>

// A loopback conference: answers SDES with its own (and every 100 ms while answering), forwards chat,
// answers dot commands by the simulated conference's rules, and records every datagram it receives.
class FakeConference : public QObject
{
    Q_OBJECT

public:
    struct Received
    {
        QHostAddress from;
        quint16 fromPort;
        bool control;
        QByteArray data;
    };

    explicit FakeConference(const QHostAddress &address, quint16 basePort = 5198, QObject *parent = nullptr);
    // Empty when both ports are bound; else which address and port could
    // not be, and the system's reason.
    QString bindError() const { return m_bindError; }

    // While false, the conference stays silent (busy, full, not validated).
    void setAnswering(bool answering);
    void setAdminPassword(const QByteArray &password) { m_password = password; }

    QList<Received> received() const { return m_received; }
    QList<QByteArray> receivedData(const QHostAddress &from) const { return receivedOn(from, false); }
    QList<QByteArray> receivedControl(const QHostAddress &from) const { return receivedOn(from, true); }
    void clearReceived() { m_received.clear(); }

    // Sends raw bytes to a station's data or control port.
    void sendData(const QHostAddress &station, const QByteArray &datagram);
    void sendControl(const QHostAddress &station, const QByteArray &datagram);
    void sendAudio(const QHostAddress &station); // one packet of four GSM frames

private:
    void readData();
    void readControl();
    void sendSdes(const QHostAddress &station);
    void handleLine(const QHostAddress &from, const QByteArray &line);
    QList<QByteArray> receivedOn(const QHostAddress &from, bool control) const;

    QUdpSocket m_data;
    QUdpSocket m_control;
    quint16 m_basePort;
    QString m_bindError;
    bool m_answering = true;
    QByteArray m_password = "segredo";
    QTimer m_sdesTimer;
    QList<QHostAddress> m_stations;
    std::map<QString, std::unique_ptr<echolink::sim::Conference>> m_rooms; // by station address
    QElapsedTimer m_clock;
    QList<Received> m_received;
    quint16 m_sequence = 0;
};
