#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The datagrams a station exchanges with a conference.
//
// Control port (base + 1): RTCP-like compounds, an empty receiver report
// followed by one SDES or BYE packet. Every packet is
//
//   +--------+--------+--------+--------+
//   |V P cnt |  type  | length (words-1)|   V is 3 on this network
//   +--------+--------+--------+--------+
//   | body ...          [pad ... n]     |   P set: last byte n = pad count
//
// Data port (base): text is "oNDATA" + 8-bit text (+ NUL); audio is a 12-byte
// RTP header with payload type 3 and 33-byte GSM frames.
namespace echolink::native::wire {

inline constexpr int GsmFrameBytes = 33;
inline constexpr int GsmFrameSamples = 160;
inline constexpr int FramesPerPacket = 4;
inline constexpr int AudioHeaderBytes = 12;
inline constexpr int AudioPacketBytes = AudioHeaderBytes + FramesPerPacket * GsmFrameBytes; // 144
inline constexpr char TextMagic[] = "oNDATA";

// What a station says about itself in its SDES.
struct StationDescription
{
    QByteArray callsign; // at most 10 characters, no spaces
    QByteArray name;     // the operator's name (may be empty)
    QByteArray phone;    // 8 hex digits
    QByteArray tool;     // client and version
};

QByteArray buildConnectSdes(const StationDescription &station);
QByteArray buildBye();

struct ControlPacket
{
    enum class Kind { Sdes, Bye };
    Kind kind = Kind::Sdes;
    QByteArray cname;
    QByteArray name;
    QByteArray tool;
    QByteArray byeReason;
};

// Parses a control datagram. Returns nothing when it carries neither an SDES
// nor a BYE, or when it is malformed; *error then names the fault and its
// byte offset.
std::optional<ControlPacket> parseControl(QByteArrayView datagram, QString *error = nullptr);

// "oNDATA" + text + NUL.
QByteArray buildText(QByteArrayView text);
// The text of a text datagram up to its first NUL, or nothing when the
// datagram is not a text datagram.
std::optional<QByteArray> parseText(QByteArrayView datagram);

// Station text (station list, station info) starts with CR or "CONF";
// everything else is chat.
bool isStationText(QByteArrayView text);
// Splits chat at CR; the empty piece after a final CR is not a line.
QList<QByteArray> chatLines(QByteArrayView text);

// One audio datagram: header (seq, timestamp 0, ssrc 0) + the frames.
QByteArray buildAudio(quint16 sequence, QByteArrayView frames);

struct AudioPacket
{
    quint16 sequence = 0;
    QByteArrayView frames; // a whole number of 33-byte frames, at least one
};

// Recognises a GSM audio datagram (first byte 0xC0, payload type 3, a whole
// number of frames). The view points into the datagram.
std::optional<AudioPacket> parseAudio(QByteArrayView datagram);

} // namespace echolink::native::wire
