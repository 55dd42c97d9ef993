#include "FakeConference.h"

#include <echolink/native/StationPackets.h>

#include <QNetworkDatagram>

using namespace echolink;
using namespace echolink::native;

FakeConference::FakeConference(const QHostAddress &address, quint16 basePort, QObject *parent)
    : QObject(parent)
    , m_basePort(basePort)
{
    for (QUdpSocket *socket : {&m_data, &m_control}) {
        const quint16 port = socket == &m_data ? basePort : quint16(basePort + 1);
        if (!socket->bind(address, port, QAbstractSocket::DontShareAddress) && m_bindError.isEmpty())
            m_bindError = QStringLiteral("cannot bind UDP %1:%2: %3").arg(address.toString()).arg(port).arg(socket->errorString());
    }
    connect(&m_data, &QUdpSocket::readyRead, this, &FakeConference::readData);
    connect(&m_control, &QUdpSocket::readyRead, this, &FakeConference::readControl);
    m_sdesTimer.setInterval(100);
    connect(&m_sdesTimer, &QTimer::timeout, this, [this] {
        for (const QHostAddress &station : std::as_const(m_stations))
            sendSdes(station);
    });
    m_sdesTimer.start();
    m_clock.start();
}

void FakeConference::setAnswering(bool answering)
{
    m_answering = answering;
    if (answering)
        m_sdesTimer.start();
    else
        m_sdesTimer.stop();
}

QList<QByteArray> FakeConference::receivedOn(const QHostAddress &from, bool control) const
{
    QList<QByteArray> out;
    for (const Received &r : m_received) {
        if (r.control == control && r.from == from)
            out.append(r.data);
    }
    return out;
}

void FakeConference::sendSdes(const QHostAddress &station)
{
    // The conference's SDES, built like a station's but with the
    // conference's NAME (the builder pads the callsign part to 15).
    const QByteArray sdes = wire::buildConnectSdes(
        {"*CONFCALL*", "(Conference  [1/8]) CONF", "00000000", "thebridge V 1.09"});
    sendControl(station, sdes);
}

void FakeConference::readControl()
{
    while (m_control.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_control.receiveDatagram();
        const QHostAddress from(d.senderAddress().toIPv4Address());
        m_received.append({from, quint16(d.senderPort()), true, d.data()});
        const auto packet = wire::parseControl(d.data());
        if (packet && packet->kind == wire::ControlPacket::Kind::Sdes) {
            if (!m_stations.contains(from))
                m_stations.append(from);
            if (m_answering)
                sendSdes(from);
        } else if (packet && packet->kind == wire::ControlPacket::Kind::Bye) {
            m_stations.removeAll(from);
            m_rooms.erase(from.toString());
        }
    }
}

void FakeConference::readData()
{
    while (m_data.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_data.receiveDatagram();
        const QHostAddress from(d.senderAddress().toIPv4Address());
        m_received.append({from, quint16(d.senderPort()), false, d.data()});
        if (const auto text = wire::parseText(d.data())) {
            if (m_stations.contains(from) && !wire::isStationText(*text)) {
                for (const QByteArray &line : wire::chatLines(*text))
                    handleLine(from, line);
            }
        }
    }
}

void FakeConference::handleLine(const QHostAddress &from, const QByteArray &line)
{
    const qsizetype end = line.indexOf('>');
    if (end <= 0)
        return; // not a station's line
    const QByteArray callsign = line.left(end);
    const QByteArray body = line.mid(end + 1);
    if (!body.startsWith('.')) {
        for (const QHostAddress &station : std::as_const(m_stations)) {
            if (station != from)
                sendData(station, wire::buildText(line + '\r'));
        }
        return;
    }
    // Commands are answered by the simulated conference's rules, in a room
    // of its own for each station.
    std::unique_ptr<sim::Conference> &room = m_rooms[from.toString()];
    if (!room)
        room = std::make_unique<sim::Conference>(
            sim::Conference::Settings{QString::fromLatin1(m_password), 1, QString::fromLatin1(callsign), {}, {}});
    room->receiveLine(m_clock.elapsed(), QString::fromLatin1(body));
    QByteArray lines;
    for (const sim::Conference::Output &out : room->takeOutputs())
        if (out.kind == sim::Conference::Output::Kind::Chat)
            lines += out.text.toLatin1() + '\r';
    if (!lines.isEmpty())
        sendData(from, wire::buildText(lines));
}

void FakeConference::sendData(const QHostAddress &station, const QByteArray &datagram)
{
    m_data.writeDatagram(datagram, station, m_basePort);
}

void FakeConference::sendControl(const QHostAddress &station, const QByteArray &datagram)
{
    m_control.writeDatagram(datagram, station, quint16(m_basePort + 1));
}

void FakeConference::sendAudio(const QHostAddress &station)
{
    QByteArray frames(4 * wire::GsmFrameBytes, '\0');
    for (int f = 0; f < 4; ++f)
        frames[f * wire::GsmFrameBytes] = char(0xd0);
    sendData(station, wire::buildAudio(m_sequence++, frames));
}
