#include <echolink/native/StationPackets.h>

#include <QtEndian>

namespace echolink::native::wire {

namespace {

constexpr quint8 kRtcpVersion3 = 0xC0;
constexpr quint8 kPaddingBit = 0x20;
constexpr quint8 kTypeSdes = 202;
constexpr quint8 kTypeBye = 203;
constexpr quint8 kSdesEnd = 0, kSdesCname = 1, kSdesName = 2, kSdesEmail = 3, kSdesPhone = 4,
                 kSdesTool = 6, kSdesPriv = 8;
constexpr int kNameCallsignWidth = 15;

// The empty receiver report that opens every control datagram.
void appendReceiverReport(QByteArray &out)
{
    const char rr[] = {char(0xC0), char(0xC9), 0x00, 0x01, 0, 0, 0, 0};
    out.append(rr, sizeof rr);
}

void appendItem(QByteArray &out, quint8 type, QByteArrayView value)
{
    Q_ASSERT_X(value.size() <= 255, "appendItem", "an SDES item holds at most 255 bytes");
    out.append(char(type));
    out.append(char(value.size()));
    out.append(value.data(), value.size());
}

// Pads the packet that starts at `start` to a multiple of 4 bytes with 1..4
// bytes whose last is their count, sets its padding bit and length field.
void finishPaddedPacket(QByteArray &out, qsizetype start)
{
    const int pad = 4 - int(out.size() % 4);
    out.append(QByteArray(pad - 1, '\0'));
    out.append(char(pad));
    out[start] = char(out[start] | kPaddingBit);
    const quint16 words = quint16((out.size() - start) / 4 - 1);
    qToBigEndian(words, out.data() + start + 2);
}

QString at(qsizetype offset, const QString &what)
{
    return QStringLiteral("byte %1: %2").arg(offset).arg(what);
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

// Reads the SDES chunks in [pos, end).
bool parseSdes(QByteArrayView d, qsizetype pos, qsizetype end, int chunks, ControlPacket &packet,
               QString *error)
{
    for (int c = 0; c < chunks; ++c) {
        if (end - pos < 4)
            return fail(error, at(pos, QStringLiteral("SDES chunk without its SSRC")));
        pos += 4;
        for (;;) {
            if (pos >= end)
                return fail(error, at(pos, QStringLiteral("SDES items run past the packet")));
            const auto type = quint8(d[pos]);
            if (type == kSdesEnd) {
                ++pos;
                break;
            }
            if (end - pos < 2)
                return fail(error, at(pos, QStringLiteral("SDES item without its length")));
            const qsizetype len = quint8(d[pos + 1]);
            if (end - pos - 2 < len)
                return fail(error, at(pos, QStringLiteral("SDES item of %1 bytes runs past the packet").arg(len)));
            const QByteArray value = d.sliced(pos + 2, len).toByteArray();
            if (type == kSdesCname)
                packet.cname = value;
            else if (type == kSdesName)
                packet.name = value;
            else if (type == kSdesTool)
                packet.tool = value;
            pos += 2 + len;
        }
        // Chunks are aligned to 4 bytes within the datagram.
        pos = (pos + 3) & ~qsizetype(3);
    }
    return true;
}

} // namespace

QByteArray buildConnectSdes(const StationDescription &station)
{
    QByteArray out;
    appendReceiverReport(out);
    const qsizetype start = out.size();
    const char header[] = {char(kRtcpVersion3 | 1), char(kTypeSdes), 0, 0, 0, 0, 0, 0};
    out.append(header, sizeof header);

    QByteArray name = station.callsign;
    if (name.size() < kNameCallsignWidth)
        name.append(QByteArray(kNameCallsignWidth - name.size(), ' '));
    name.append(station.name);

    appendItem(out, kSdesCname, "CALLSIGN");
    appendItem(out, kSdesName, name.left(255));
    appendItem(out, kSdesEmail, "CALLSIGN");
    appendItem(out, kSdesPhone, station.phone);
    appendItem(out, kSdesTool, station.tool);
    appendItem(out, kSdesPriv, "\x01P5198");
    appendItem(out, kSdesPriv, "\x01" "D0");
    out.append(char(kSdesEnd));
    while (out.size() % 4 != 0)
        out.append('\0');
    finishPaddedPacket(out, start);
    return out;
}

QByteArray buildBye()
{
    QByteArray out;
    appendReceiverReport(out);
    const qsizetype start = out.size();
    const char header[] = {char(kRtcpVersion3 | 1), char(kTypeBye), 0, 0, 0, 0, 0, 0};
    out.append(header, sizeof header);
    out.append(char(7));
    out.append("jan2002");
    finishPaddedPacket(out, start);
    return out;
}

std::optional<ControlPacket> parseControl(QByteArrayView d, QString *error)
{
    std::optional<ControlPacket> result;
    qsizetype pos = 0;
    if (d.isEmpty()) {
        fail(error, QStringLiteral("empty datagram"));
        return std::nullopt;
    }
    while (pos < d.size()) {
        if (d.size() - pos < 4) {
            fail(error, at(pos, QStringLiteral("truncated packet header")));
            return std::nullopt;
        }
        const auto first = quint8(d[pos]);
        const auto type = quint8(d[pos + 1]);
        const qsizetype length = (qsizetype(qFromBigEndian<quint16>(d.data() + pos + 2)) + 1) * 4;
        if ((first & 0x80) == 0) {
            fail(error, at(pos, QStringLiteral("not a control packet (version %1)").arg(first >> 6)));
            return std::nullopt;
        }
        if (length > d.size() - pos) {
            fail(error, at(pos, QStringLiteral("packet of %1 bytes, only %2 left").arg(length).arg(d.size() - pos)));
            return std::nullopt;
        }
        qsizetype end = pos + length;
        if (first & kPaddingBit) {
            const int pad = quint8(d[end - 1]);
            if (pad == 0 || pad > length - 4) {
                fail(error, at(end - 1, QStringLiteral("bad padding count %1").arg(pad)));
                return std::nullopt;
            }
            end -= pad;
        }
        const int count = first & 0x1F;
        if (type == kTypeSdes && !result) {
            ControlPacket packet;
            packet.kind = ControlPacket::Kind::Sdes;
            if (!parseSdes(d, pos + 4, end, count, packet, error))
                return std::nullopt;
            result = packet;
        } else if (type == kTypeBye && !result) {
            ControlPacket packet;
            packet.kind = ControlPacket::Kind::Bye;
            qsizetype p = pos + 4 + qsizetype(count) * 4;
            if (p > end) {
                fail(error, at(pos, QStringLiteral("BYE lists more sources than it holds")));
                return std::nullopt;
            }
            if (p < end) {
                const qsizetype len = quint8(d[p]);
                if (end - p - 1 < len) {
                    fail(error, at(p, QStringLiteral("BYE reason runs past the packet")));
                    return std::nullopt;
                }
                packet.byeReason = d.sliced(p + 1, len).toByteArray();
            }
            result = packet;
        }
        pos += length;
    }
    if (!result)
        fail(error, QStringLiteral("neither SDES nor BYE"));
    return result;
}

QByteArray buildText(QByteArrayView text)
{
    QByteArray out(TextMagic);
    out.append(text.data(), text.size());
    out.append('\0');
    return out;
}

std::optional<QByteArray> parseText(QByteArrayView d)
{
    const QByteArrayView magic(TextMagic);
    if (!d.startsWith(magic))
        return std::nullopt;
    QByteArrayView text = d.sliced(magic.size());
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text = text.first(nul);
    return text.toByteArray();
}

bool isStationText(QByteArrayView text)
{
    return text.startsWith('\r') || text.startsWith("CONF");
}

QList<QByteArray> chatLines(QByteArrayView text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype cr = text.indexOf('\r', start);
        if (cr < 0) {
            lines.append(text.sliced(start).toByteArray());
            break;
        }
        lines.append(text.sliced(start, cr - start).toByteArray());
        start = cr + 1;
    }
    return lines;
}

QByteArray buildAudio(quint16 sequence, QByteArrayView frames)
{
    QByteArray out(AudioHeaderBytes, '\0');
    out[0] = char(0xC0);
    out[1] = char(0x03);
    qToBigEndian(sequence, out.data() + 2);
    out.append(frames.data(), frames.size());
    return out;
}

std::optional<AudioPacket> parseAudio(QByteArrayView d)
{
    if (d.size() < AudioHeaderBytes + GsmFrameBytes)
        return std::nullopt;
    if (quint8(d[0]) != 0xC0 || (quint8(d[1]) & 0x7F) != 3)
        return std::nullopt;
    const qsizetype payload = d.size() - AudioHeaderBytes;
    if (payload % GsmFrameBytes != 0)
        return std::nullopt;
    AudioPacket packet;
    packet.sequence = qFromBigEndian<quint16>(d.data() + 2);
    packet.frames = d.sliced(AudioHeaderBytes);
    return packet;
}

} // namespace echolink::native::wire
