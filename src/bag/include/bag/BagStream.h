#pragma once

#include <bag/PropertyBag.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace bag {

// The stored form of a property bag (all numbers little-endian):
//
//   +0  u32 signature 0x0000B293
//   +4  u32 stream length (whole stream, header and final padding included)
//   +8  entries:
//         u16 type code   u16 key length (characters)   u32 key hash
//         i32 link: the entry's size; in the last entry minus its distance
//             from the first entry (0 when there is only one entry)
//         key (UTF-16LE, lower case), value, zero padding to 4 bytes
//
// Values: 2 and 11: 2 bytes; 3: 4 bytes; 8: u32 count + UTF-16LE characters;
// 9 and 13: 16-byte class id + the object's own stream (font or picture).

constexpr quint32 StreamSignature = 0x0000B293;
constexpr quint32 PictureSignature = 0x0000746C;

// Hash of a key as stored: over the lower-case key, rotate left 13, XOR char.
quint32 keyHash(const QString &key);

enum class StreamFault {
    // Fatal: the stream's framing cannot be trusted, nothing is read.
    Truncated,      // data ends inside the header or an entry header
    BadSignature,
    LengthMismatch, // stored length differs from the data's size
    LinkOutside,    // a link points before the first entry or at/after the end
    LinkLoop,       // the last entry's link does not lead back to the first entry
    LinkTooSmall,   // an entry size smaller than an entry header
    // Entry-local: the entry is skipped, the others are read.
    KeyPastEnd,     // key length runs past the entry's end
    BadKey,         // empty key
    HashMismatch,   // stored hash is not the key's hash
    UnknownType,    // type code the reader does not know
    ValuePastEnd,   // value (or a text's character count) runs past the entry's end
    UnknownClass,   // object of a class other than font or picture
    BadObject,      // font or picture stream malformed
    DuplicateKey,   // a key already read earlier in the stream (the first one is kept)
    // Writing only.
    Unwritable,     // value cannot be stored (font name not in the ANSI code page, ...)
};

struct StreamError
{
    StreamFault fault;
    qint64 offset = 0; // byte offset of the faulty field in the stream
    QString key;       // the entry's key, when it could be read
    QString detail;    // human-readable description

    bool isFatal() const;
    // "offset 0x24 (36): key 'mode': stored hash 0x00000000, expected 0xBC0CB6E4"
    QString toString() const;
    static const char *faultName(StreamFault fault);
};

// One entry as found in a stream, for listings with offsets and raw bytes.
struct StreamEntry
{
    qint64 offset = 0;
    qint64 size = 0;  // bytes from offset to the next entry (to the end for the last)
    quint16 typeCode = 0;
    qint32 link = 0;
    QString key;      // lower case
    Value value;
};

struct ReadResult
{
    PropertyBag bag;            // the entries read; empty on a fatal error
    QList<StreamEntry> entries; // the same, with their places; on a fatal error, those read before it
    std::optional<StreamError> error; // the fatal fault, if any
    QList<StreamError> skipped;       // entries left out, with why

    bool ok() const { return !error.has_value(); }
};

// Reads a whole stream. Never reads outside `data`.
ReadResult readStream(QByteArrayView data);

struct WriteResult
{
    QByteArray bytes; // empty on error
    std::optional<StreamError> error;

    bool ok() const { return !error.has_value(); }
};

// Writes the bag's entries in their order.
WriteResult writeStream(const PropertyBag &bag);

} // namespace bag
