#include <bag/PictureValue.h>

#include "ByteReader.h"

#include <cstdlib>

namespace bag {

namespace {

using detail::ByteReader;

struct Sniffed
{
    PictureValue::Kind kind = PictureValue::Kind::Unknown;
    int width = 0;
    int height = 0;
    int count = 0;
};

// Icon and cursor files: a 6-byte header (0, type 1 or 2, count) and a
// 16-byte directory entry per image; a width or height byte of 0 means 256.
bool sniffIconFile(const ByteReader &r, Sniffed *out)
{
    quint16 reserved = 0, type = 0, count = 0;
    if (!r.u16(0, &reserved) || !r.u16(2, &type) || !r.u16(4, &count))
        return false;
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        return false;
    if (!r.has(6, qint64(count) * 16))
        return false;
    int bestW = 0, bestH = 0;
    for (int i = 0; i < count; ++i) {
        quint8 w = 0, h = 0;
        r.u8(6 + i * 16, &w);
        r.u8(6 + i * 16 + 1, &h);
        const int width = w ? w : 256;
        const int height = h ? h : 256;
        if (qint64(width) * height > qint64(bestW) * bestH) {
            bestW = width;
            bestH = height;
        }
    }
    out->kind = type == 1 ? PictureValue::Kind::Icon : PictureValue::Kind::Cursor;
    out->width = bestW;
    out->height = bestH;
    out->count = count;
    return true;
}

// Bitmap files: "BM", a 14-byte file header, then a core header (size 12,
// 16-bit width and height) or an info header (size >= 40, 32-bit width and
// height; a negative height is a top-down bitmap).
bool sniffBitmapFile(const ByteReader &r, Sniffed *out)
{
    quint8 b = 0, m = 0;
    quint32 headerSize = 0;
    if (!r.u8(0, &b) || !r.u8(1, &m) || b != 'B' || m != 'M' || !r.u32(14, &headerSize))
        return false;
    qint64 width, height;
    if (headerSize == 12) {
        quint16 w = 0, h = 0;
        if (!r.u16(18, &w) || !r.u16(20, &h))
            return false;
        width = w;
        height = h;
    } else if (headerSize >= 40) {
        quint32 w = 0, h = 0;
        if (!r.u32(18, &w) || !r.u32(22, &h))
            return false;
        width = qint32(w);
        height = std::llabs(qint64(qint32(h)));
    } else {
        return false;
    }
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return false;
    out->kind = PictureValue::Kind::Bitmap;
    out->width = int(width);
    out->height = int(height);
    out->count = 1;
    return true;
}

} // namespace

PictureValue::PictureValue(QByteArray fileBytes)
    : m_data(std::move(fileBytes))
{
    if (m_data.isEmpty())
        return;
    const ByteReader r(m_data);
    Sniffed s;
    if (!sniffIconFile(r, &s) && !sniffBitmapFile(r, &s))
        s = Sniffed{};
    m_kind = s.kind;
    m_width = s.width;
    m_height = s.height;
    m_imageCount = s.count;
}

const char *PictureValue::kindName(Kind kind)
{
    switch (kind) {
    case Kind::None: return "empty";
    case Kind::Icon: return "icon";
    case Kind::Cursor: return "cursor";
    case Kind::Bitmap: return "bitmap";
    case Kind::Unknown: return "unknown";
    }
    return "unknown";
}

const char *PictureValue::fileSuffix(Kind kind)
{
    switch (kind) {
    case Kind::Icon: return "ico";
    case Kind::Cursor: return "cur";
    case Kind::Bitmap: return "bmp";
    case Kind::None:
    case Kind::Unknown: break;
    }
    return "bin";
}

} // namespace bag
