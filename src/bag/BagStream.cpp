#include <bag/BagStream.h>

#include "AnsiCodePage.h"
#include "ByteReader.h"

#include <QtEndian>

#include <cstring>

namespace bag {

namespace {

using detail::ByteReader;

constexpr qint64 HeaderSize = 8;
constexpr qint64 EntryHeaderSize = 12;
constexpr qint64 ClassIdSize = 16;
constexpr qint64 FontFixedSize = 11; // version .. name length

// Class ids in their stored byte order (first three fields little-endian).
constexpr unsigned char FontClassId[ClassIdSize] = {
    0x03, 0x52, 0xE3, 0x0B, 0x91, 0x8F, 0xCE, 0x11, 0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51};
constexpr unsigned char PictureClassId[ClassIdSize] = {
    0x04, 0x52, 0xE3, 0x0B, 0x91, 0x8F, 0xCE, 0x11, 0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51};

QString hex32(quint32 v)
{
    return QLatin1String("0x") + QString::number(v, 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

QString classIdText(QByteArrayView id)
{
    // {Data1-Data2-Data3-Data4[0..1]-Data4[2..7]}
    auto le = [&](int at, int n) {
        quint64 v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = (v << 8) | quint8(id[at + i]);
        return QStringLiteral("%1").arg(v, n * 2, 16, QLatin1Char('0'));
    };
    QString tail;
    for (int i = 8; i < 16; ++i) {
        if (i == 10)
            tail += QLatin1Char('-');
        tail += QStringLiteral("%1").arg(quint8(id[i]), 2, 16, QLatin1Char('0'));
    }
    return QStringLiteral("{%1-%2-%3-%4}").arg(le(0, 4), le(4, 2), le(6, 2), tail).toUpper();
}

class Reader
{
public:
    explicit Reader(QByteArrayView data) : m_data(data), m_r(data) {}

    ReadResult run();

private:
    // Parses the entry at `offset` that ends at `end`; false when it is skipped.
    bool readEntry(qint64 offset, qint64 end, StreamEntry *entry, StreamError *why) const;
    std::optional<Value> readObject(qint64 at, qint64 end, VarType type, const QString &key,
                                    StreamError *why) const;

    StreamError fault(StreamFault f, qint64 offset, QString detail, QString key = {}) const
    {
        return StreamError{f, offset, std::move(key), std::move(detail)};
    }

    QByteArrayView m_data;
    ByteReader m_r;
};

ReadResult Reader::run()
{
    ReadResult result;
    auto fatal = [&](StreamError e) {
        result.error = std::move(e);
        result.bag.clear();
        return result;
    };

    quint32 signature = 0, length = 0;
    if (!m_r.u32(0, &signature))
        return fatal(fault(StreamFault::Truncated, 0,
                           QStringLiteral("%1 bytes, shorter than the 8-byte stream header").arg(m_r.size())));
    if (signature != StreamSignature)
        return fatal(fault(StreamFault::BadSignature, 0,
                           QStringLiteral("signature %1, expected %2").arg(hex32(signature), hex32(StreamSignature))));
    if (!m_r.u32(4, &length))
        return fatal(fault(StreamFault::Truncated, 4,
                           QStringLiteral("%1 bytes, shorter than the 8-byte stream header").arg(m_r.size())));
    if (length > m_r.size())
        return fatal(fault(StreamFault::Truncated, 4,
                           QStringLiteral("stream length %1, but only %2 bytes present").arg(length).arg(m_r.size())));
    if (length != m_r.size() || length < HeaderSize)
        return fatal(fault(StreamFault::LengthMismatch, 4,
                           QStringLiteral("stream length %1 disagrees with the %2 bytes of data").arg(length).arg(m_r.size())));

    const qint64 end = length;
    qint64 offset = HeaderSize;
    while (offset < end) {
        quint32 rawLink = 0;
        if (!m_r.has(offset, EntryHeaderSize) || !m_r.u32(offset + 8, &rawLink))
            return fatal(fault(StreamFault::Truncated, offset,
                               QStringLiteral("entry header needs %1 bytes, %2 left")
                                   .arg(EntryHeaderSize).arg(end - offset)));
        const qint32 link = qint32(rawLink);
        qint64 entryEnd;
        bool last;
        if (link > 0) {
            if (link < EntryHeaderSize)
                return fatal(fault(StreamFault::LinkTooSmall, offset + 8,
                                   QStringLiteral("entry size %1 is smaller than an entry header").arg(link)));
            entryEnd = offset + link;
            if (entryEnd >= end)
                return fatal(fault(StreamFault::LinkOutside, offset + 8,
                                   QStringLiteral("link %1 leads to offset %2, at or past the stream end %3 "
                                                  "(no entry links back to the first)")
                                       .arg(link).arg(entryEnd).arg(end)));
            last = false;
        } else {
            const qint64 target = offset + link;
            if (target < HeaderSize)
                return fatal(fault(StreamFault::LinkOutside, offset + 8,
                                   QStringLiteral("link %1 leads to offset %2, before the first entry")
                                       .arg(link).arg(target)));
            if (target != HeaderSize)
                return fatal(fault(StreamFault::LinkLoop, offset + 8,
                                   QStringLiteral("link %1 leads back to offset %2, not to the first entry at 8")
                                       .arg(link).arg(target)));
            entryEnd = end;
            last = true;
        }

        StreamEntry entry;
        StreamError why;
        if (readEntry(offset, entryEnd, &entry, &why)) {
            if (result.bag.contains(entry.key)) {
                result.skipped.append(fault(StreamFault::DuplicateKey, offset,
                                            QStringLiteral("key already read earlier; the first one is kept"), entry.key));
            } else {
                result.bag.setValue(entry.key, entry.value);
                result.entries.append(entry);
            }
        } else {
            result.skipped.append(why);
        }
        if (last)
            return result;
        offset = entryEnd;
    }
    // Only reached for a stream without entries (offset == end == 8).
    return result;
}

bool Reader::readEntry(qint64 offset, qint64 end, StreamEntry *entry, StreamError *why) const
{
    quint16 typeCode = 0, keyLength = 0;
    quint32 storedHash = 0, rawLink = 0;
    m_r.u16(offset, &typeCode);
    m_r.u16(offset + 2, &keyLength);
    m_r.u32(offset + 4, &storedHash);
    m_r.u32(offset + 8, &rawLink);

    const qint64 keyAt = offset + EntryHeaderSize;
    const qint64 keyBytes = qint64(keyLength) * 2;
    if (keyLength == 0) {
        *why = fault(StreamFault::BadKey, offset + 2, QStringLiteral("empty key"));
        return false;
    }
    if (keyBytes > end - keyAt) {
        *why = fault(StreamFault::KeyPastEnd, offset + 2,
                     QStringLiteral("key of %1 characters runs past the entry's end at %2").arg(keyLength).arg(end));
        return false;
    }
    // Keys are property names, ASCII: lowered as they are read. Any other
    // key is lowered whole, as the bag does.
    QString key(keyLength, Qt::Uninitialized);
    QChar *keyChars = key.data();
    bool ascii = true;
    for (qint64 i = 0; i < keyLength; ++i) {
        quint16 u = 0;
        m_r.u16(keyAt + i * 2, &u);
        ascii = ascii && u < 0x80;
        keyChars[i] = QChar(u);
    }
    if (ascii) {
        for (qint64 i = 0; i < keyLength; ++i) {
            const char16_t u = keyChars[i].unicode();
            if (u >= u'A' && u <= u'Z')
                keyChars[i] = QChar(char16_t(u + (u'a' - u'A')));
        }
    } else {
        key = PropertyBag::normalizedKey(key);
    }
    const quint32 expected = keyHash(key);
    if (storedHash != expected) {
        *why = fault(StreamFault::HashMismatch, offset + 4,
                     QStringLiteral("stored hash %1, the key's hash is %2").arg(hex32(storedHash), hex32(expected)), key);
        return false;
    }

    const qint64 at = keyAt + keyBytes;
    const qint64 room = end - at;
    auto pastEnd = [&](qint64 need) {
        *why = fault(StreamFault::ValuePastEnd, at,
                     QStringLiteral("value needs %1 bytes, the entry has %2 left").arg(need).arg(room), key);
        return false;
    };
    std::optional<Value> value;
    switch (VarType(typeCode)) {
    case VarType::Int16:
    case VarType::Boolean: {
        quint16 v = 0;
        if (room < 2)
            return pastEnd(2);
        m_r.u16(at, &v);
        value = typeCode == quint16(VarType::Boolean) ? Value(v != 0) : Value(qint16(v));
        break;
    }
    case VarType::Int32: {
        quint32 v = 0;
        if (room < 4)
            return pastEnd(4);
        m_r.u32(at, &v);
        value = Value::int32(qint32(v));
        break;
    }
    case VarType::Text: {
        quint32 count = 0;
        if (room < 4)
            return pastEnd(4);
        m_r.u32(at, &count);
        const qint64 need = 4 + qint64(count) * 2;
        if (need > room) {
            *why = fault(StreamFault::ValuePastEnd, at,
                         QStringLiteral("text of %1 characters runs past the entry's end at %2").arg(count).arg(end), key);
            return false;
        }
        QString text(qsizetype(count), Qt::Uninitialized);
        for (qint64 i = 0; i < count; ++i) {
            quint16 u = 0;
            m_r.u16(at + 4 + i * 2, &u);
            text[i] = QChar(u);
        }
        value = Value(text);
        break;
    }
    case VarType::Object:
    case VarType::UnknownObject:
        value = readObject(at, end, VarType(typeCode), key, why);
        if (!value)
            return false;
        break;
    default:
        *why = fault(StreamFault::UnknownType, offset, QStringLiteral("unknown type code %1").arg(typeCode), key);
        return false;
    }

    entry->offset = offset;
    entry->size = end - offset;
    entry->typeCode = typeCode;
    entry->link = qint32(rawLink);
    entry->key = key;
    entry->value = *value;
    return true;
}

std::optional<Value> Reader::readObject(qint64 at, qint64 end, VarType type, const QString &key,
                                        StreamError *why) const
{
    if (end - at < ClassIdSize) {
        *why = fault(StreamFault::ValuePastEnd, at,
                     QStringLiteral("object class id needs 16 bytes, the entry has %1 left").arg(end - at), key);
        return std::nullopt;
    }
    const QByteArrayView id = m_r.bytes(at, ClassIdSize);
    const qint64 p = at + ClassIdSize;
    if (std::memcmp(id.data(), FontClassId, ClassIdSize) == 0) {
        if (end - p < FontFixedSize) {
            *why = fault(StreamFault::BadObject, p,
                         QStringLiteral("font needs %1 bytes, the entry has %2 left").arg(FontFixedSize).arg(end - p), key);
            return std::nullopt;
        }
        FontValue font;
        quint8 nameLength = 0;
        m_r.u8(p, &font.version);
        m_r.u16(p + 1, &font.charset);
        m_r.u8(p + 3, &font.attributes);
        m_r.u16(p + 4, &font.weight);
        m_r.u32(p + 6, &font.size);
        m_r.u8(p + 10, &nameLength);
        if (nameLength > end - (p + FontFixedSize)) {
            *why = fault(StreamFault::BadObject, p + 10,
                         QStringLiteral("font name of %1 bytes runs past the entry's end at %2").arg(nameLength).arg(end), key);
            return std::nullopt;
        }
        font.name = detail::fromAnsi(m_r.bytes(p + FontFixedSize, nameLength));
        return Value(font, type);
    }
    if (std::memcmp(id.data(), PictureClassId, ClassIdSize) == 0) {
        quint32 signature = 0, count = 0;
        if (end - p < 8 || !m_r.u32(p, &signature) || !m_r.u32(p + 4, &count)) {
            *why = fault(StreamFault::BadObject, p,
                         QStringLiteral("picture header needs 8 bytes, the entry has %1 left").arg(end - p), key);
            return std::nullopt;
        }
        if (signature != PictureSignature) {
            *why = fault(StreamFault::BadObject, p,
                         QStringLiteral("picture signature %1, expected %2").arg(hex32(signature), hex32(PictureSignature)), key);
            return std::nullopt;
        }
        if (qint64(count) > end - (p + 8)) {
            *why = fault(StreamFault::BadObject, p + 4,
                         QStringLiteral("picture of %1 bytes runs past the entry's end at %2").arg(count).arg(end), key);
            return std::nullopt;
        }
        return Value(PictureValue(m_r.bytes(p + 8, count).toByteArray()), type);
    }
    *why = fault(StreamFault::UnknownClass, at, QStringLiteral("object of unknown class %1").arg(classIdText(id)), key);
    return std::nullopt;
}

// --- writing ---------------------------------------------------------------

void putU16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putUtf16(QByteArray &out, const QString &s)
{
    for (QChar c : s)
        putU16(out, c.unicode());
}

} // namespace

quint32 keyHash(const QString &key)
{
    // ASCII keys are hashed lowered in place, without the lowered copy.
    quint32 h = 0;
    for (QChar c : key) {
        char16_t u = c.unicode();
        if (u >= 0x80) {
            h = 0;
            for (QChar l : key.toLower())
                h = ((h << 13) | (h >> 19)) ^ l.unicode();
            return h;
        }
        if (u >= u'A' && u <= u'Z')
            u = char16_t(u + (u'a' - u'A'));
        h = ((h << 13) | (h >> 19)) ^ u;
    }
    return h;
}

bool StreamError::isFatal() const
{
    switch (fault) {
    case StreamFault::Truncated:
    case StreamFault::BadSignature:
    case StreamFault::LengthMismatch:
    case StreamFault::LinkOutside:
    case StreamFault::LinkLoop:
    case StreamFault::LinkTooSmall:
    case StreamFault::Unwritable:
        return true;
    default:
        return false;
    }
}

const char *StreamError::faultName(StreamFault fault)
{
    switch (fault) {
    case StreamFault::Truncated: return "truncated stream";
    case StreamFault::BadSignature: return "wrong signature";
    case StreamFault::LengthMismatch: return "wrong stream length";
    case StreamFault::LinkOutside: return "link outside the stream";
    case StreamFault::LinkLoop: return "link loop";
    case StreamFault::LinkTooSmall: return "entry size too small";
    case StreamFault::KeyPastEnd: return "key past the entry's end";
    case StreamFault::BadKey: return "bad key";
    case StreamFault::HashMismatch: return "key hash mismatch";
    case StreamFault::UnknownType: return "unknown type";
    case StreamFault::ValuePastEnd: return "value past the entry's end";
    case StreamFault::UnknownClass: return "unknown object class";
    case StreamFault::BadObject: return "malformed object";
    case StreamFault::DuplicateKey: return "duplicate key";
    case StreamFault::Unwritable: return "value cannot be stored";
    }
    return "fault";
}

QString StreamError::toString() const
{
    QString s = QStringLiteral("%1 at offset %2 (0x%3)")
                    .arg(QLatin1String(faultName(fault)))
                    .arg(offset)
                    .arg(offset, 0, 16);
    if (!key.isEmpty())
        s += QStringLiteral(", key \"%1\"").arg(key);
    if (!detail.isEmpty())
        s += QStringLiteral(": ") + detail;
    return s;
}

ReadResult readStream(QByteArrayView data)
{
    return Reader(data).run();
}

WriteResult writeStream(const PropertyBag &bag)
{
    WriteResult result;
    QByteArray out;
    putU32(out, StreamSignature);
    putU32(out, 0); // length, patched below
    auto fail = [&](StreamFault f, const QString &key, QString detail) {
        result.error = StreamError{f, out.size(), key, std::move(detail)};
        return result;
    };

    const auto &entries = bag.entries();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString &key = entries[i].first;
        const Value &value = entries[i].second;
        if (key.isEmpty() || key.size() > 0xFFFF)
            return fail(StreamFault::Unwritable, key, QStringLiteral("a key needs 1 to 65535 characters"));
        const qsizetype start = out.size();
        putU16(out, quint16(value.type()));
        putU16(out, quint16(key.size()));
        putU32(out, keyHash(key));
        putU32(out, 0); // link, patched below
        putUtf16(out, key);

        const auto &d = value.data();
        if (auto p = std::get_if<qint16>(&d)) {
            putU16(out, quint16(*p));
        } else if (auto p = std::get_if<bool>(&d)) {
            putU16(out, *p ? 0xFFFF : 0);
        } else if (auto p = std::get_if<qint32>(&d)) {
            putU32(out, quint32(*p));
        } else if (auto p = std::get_if<QString>(&d)) {
            putU32(out, quint32(p->size()));
            putUtf16(out, *p);
        } else if (auto p = std::get_if<FontValue>(&d)) {
            const auto name = detail::toAnsi(p->name);
            if (!name)
                return fail(StreamFault::Unwritable, key,
                            QStringLiteral("font name \"%1\" has characters outside the ANSI code page").arg(p->name));
            if (name->size() > 255)
                return fail(StreamFault::Unwritable, key, QStringLiteral("font name longer than 255 bytes"));
            out.append(reinterpret_cast<const char *>(FontClassId), ClassIdSize);
            out.append(char(p->version));
            putU16(out, p->charset);
            out.append(char(p->attributes));
            putU16(out, p->weight);
            putU32(out, p->size);
            out.append(char(name->size()));
            out.append(*name);
        } else if (auto p = std::get_if<PictureValue>(&d)) {
            out.append(reinterpret_cast<const char *>(PictureClassId), ClassIdSize);
            putU32(out, PictureSignature);
            putU32(out, quint32(p->data().size()));
            out.append(p->data());
        } else {
            out.truncate(start);
            return fail(StreamFault::Unwritable, key, QStringLiteral("empty value"));
        }
        while (out.size() % 4)
            out.append('\0');

        const qint64 link = i + 1 < entries.size() ? out.size() - start : -(start - HeaderSize);
        if (out.size() > 0x7FFFFFFF)
            return fail(StreamFault::Unwritable, key, QStringLiteral("stream larger than 2 GiB"));
        qToLittleEndian(quint32(qint32(link)), out.data() + start + 8);
    }
    qToLittleEndian(quint32(out.size()), out.data() + 4);
    result.bytes = out;
    return result;
}

} // namespace bag
