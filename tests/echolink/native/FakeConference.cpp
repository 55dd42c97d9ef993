#include "FakeConference.h"

#include <echolink/native/StationPackets.h>

#include <QNetworkDatagram>

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
}

void FakeConference::setAnswering(bool answering)
{
    m_answering = answering;
    if (answering)
        m_sdesTimer.start();
    else
        m_sdesTimer.stop();
}

QList<QByteArray> FakeConference::receivedData(const QHostAddress &from) const
{
    QList<QByteArray> out;
    for (const Received &r : m_received) {
        if (!r.control && r.from == from)
            out.append(r.data);
    }
    return out;
}

QList<QByteArray> FakeConference::receivedControl(const QHostAddress &from) const
{
    QList<QByteArray> out;
    for (const Received &r : m_received) {
        if (r.control && r.from == from)
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
            if (!m_stations.contains(from)) {
                m_stations.append(from);
                m_callsigns[from.toString()] = packet->name.left(packet->name.indexOf(' '));
            }
            if (m_answering)
                sendSdes(from);
        } else if (packet && packet->kind == wire::ControlPacket::Kind::Bye) {
            m_stations.removeAll(from);
            m_admins.removeAll(from);
        }
        emit datagramReceived();
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
        emit datagramReceived();
    }
}

void FakeConference::handleLine(const QHostAddress &from, const QByteArray &line)
{
    const QByteArray callsign = m_callsigns.value(from.toString());
    if (!line.startsWith(callsign + '>'))
        return; // a prefix that differs from the SDES callsign is not taken
    const QByteArray body = line.mid(callsign.size() + 1);
    if (!body.startsWith('.')) {
        for (const QHostAddress &station : std::as_const(m_stations)) {
            if (station != from)
                sendData(station, wire::buildText(line + '\r'));
        }
        return;
    }
    if (body == ".admin " + m_password) {
        m_admins.append(from);
        reply(from, "Your wish is my command.\r");
        return;
    }
    if (!m_admins.contains(from))
        return; // privileged commands get no answer
    auto known = [this](const QByteArray &call) {
        for (const QByteArray &c : std::as_const(m_callsigns))
            if (c == call)
                return true;
        return false;
    };
    const QList<QByteArray> words = body.split(' ');
    const QByteArray arg = body.mid(body.indexOf(' ') + 1);
    if (body == ".users") {
        QByteArray lines;
        int n = 1;
        for (const QHostAddress &station : std::as_const(m_stations)) {
            lines += QByteArray::number(n++) + ". " + m_callsigns.value(station.toString())
                     + (m_admins.contains(station) ? " A" : " ") + '\r';
        }
        reply(from, lines);
    } else if (body == ".admins") {
        reply(from, "Admins:\r" + callsign + " Alpha\rSysops:\r");
    } else if (body == ".uptime") {
        reply(from, "Uptime: 0 minutes and 1 seconds\r");
    } else if (body == ".version") {
        reply(from, "thebridge V 1.09 on x86_64-unknown-linux-gnu\r");
    } else if (body == ".mute chat" || body == ".unmute chat") {
        reply(from, body == ".mute chat" ? "chat text muted.\r" : "chat text unmuted.\r");
    } else if (words.first() == ".mute" || words.first() == ".unmute") {
        const QByteArray call = arg.toUpper();
        if (!known(call))
            reply(from, "No " + call + " found.\r");
        else
            reply(from, call + (words.first() == ".mute" ? " muted.\r" : " unmuted.\r"));
    } else if (body == ".busy on" || body == ".busy off") {
        reply(from, body == ".busy on" ? "The conference is busy.\r" : "The conference is available.\r");
    } else if (words.first() == ".connect") {
        reply(from, "Connecting to \"" + arg.toUpper() + "\".\r");
    } else if (words.first() == ".disconnect") {
        reply(from, arg.toUpper() + " not found\r");
    } else if (body.startsWith(".ban add")) {
        const QByteArray call = body.mid(9).toUpper();
        if (call.isEmpty()) {
            reply(from, "Add who ?\r");
        } else {
            m_banned.append(call);
            reply(from, call + " banned\r");
        }
    } else if (body.startsWith(".ban delete")) {
        const QByteArray call = body.mid(12).toUpper();
        if (call.isEmpty())
            reply(from, "Delete who ?\r");
        else if (m_banned.removeAll(call) > 0)
            reply(from, call + " removed from the banned list.\r");
        else
            reply(from, call + " was not found on the banned list.\r");
    } else if (body == ".ban list") {
        QByteArray lines = m_banned.isEmpty() ? "The banned list is empty.\r" : "banned users:\r";
        for (const QByteArray &call : std::as_const(m_banned))
            lines += call + " -\r";
        reply(from, lines);
    } else if (words.first() == ".kick") {
        reply(from, arg.toUpper() + (known(arg.toUpper()) ? " kicked\r" : " not found\r"));
    } else if (body == ".showip ") {
        QByteArray lines;
        for (const QHostAddress &station : std::as_const(m_stations))
            lines += m_callsigns.value(station.toString()) + '\t' + station.toString().toLatin1() + "\tE\r";
        reply(from, lines + '\r');
    } else if (body == ".stat ") {
        reply(from, "Uptime: 0 minutes and 1 seconds\rTx packets: 12, 0.00 Mbytes\rRx packets: 18, 0.00 Mbytes\r"
                    "Connections: 1\rUsers: 1 of 8 Max\r");
    } else if (body == ".list") {
        reply(from, "Sorry, no bulletins are available at this time.\r");
    } else if (words.first() == ".quote") {
        for (const QHostAddress &admin : std::as_const(m_admins))
            reply(admin, "*CONFCALL*>" + arg + '\r');
    }
}

void FakeConference::reply(const QHostAddress &to, const QByteArray &lines)
{
    sendData(to, wire::buildText(lines));
}

void FakeConference::sendData(const QHostAddress &station, const QByteArray &datagram)
{
    m_data.writeDatagram(datagram, station, m_basePort);
}

void FakeConference::sendControl(const QHostAddress &station, const QByteArray &datagram)
{
    m_control.writeDatagram(datagram, station, quint16(m_basePort + 1));
}

void FakeConference::sendStationList(const QByteArray &header, const QList<QByteArray> &stations)
{
    QByteArray text = header + "\r\r";
    for (const QByteArray &s : stations)
        text += s + '\r';
    for (const QHostAddress &station : std::as_const(m_stations))
        sendData(station, wire::buildText(text));
}

void FakeConference::sendAudio(const QHostAddress &station, int packets)
{
    QByteArray frames(4 * wire::GsmFrameBytes, '\0');
    for (int f = 0; f < 4; ++f)
        frames[f * wire::GsmFrameBytes] = char(0xd0);
    for (int i = 0; i < packets; ++i)
        sendData(station, wire::buildAudio(m_sequence++, frames));
}
