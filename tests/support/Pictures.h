#pragma once
// Picture files written byte by byte: icons and cursors (DIB or PNG
// entries), bitmaps and GIF animations. Pixels are given top row first, as
// 0xAARRGGBB (palette indexes at 8 bpp and below), and stored as the formats
// store them.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <cstdint>
#include <functional>

namespace pictures {

inline void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

inline void put32(QByteArray &b, std::uint32_t v)
{
    put16(b, int(v & 0xFFFF));
    put16(b, int(v >> 16));
}

struct Image
{
    int width = 0;
    int height = 0;
    int bitCount = 32;
    QList<std::uint32_t> palette; // for <= 8 bpp
    QList<std::uint32_t> pixels;  // colour, or palette index for <= 8 bpp
    QList<bool> transparent;      // AND mask; empty = all opaque
    QByteArray png;               // a PNG entry instead of a DIB
};

// An image whose pixel (x, y) is pixel(x, y).
inline Image drawn(int width, int height, const std::function<QRgb(int, int)> &pixel, int bitCount = 32)
{
    Image img{width, height, bitCount, {}, {}, {}, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.pixels.append(pixel(x, y));
    return img;
}

// A small image at any depth, every pixel its own colour (at 8 bpp and
// below, indexes into up to 16 grey levels) and every third one masked.
inline Image sample(int bitCount, int width, int height)
{
    Image img{width, height, bitCount, {}, {}, {}, {}};
    for (int i = 0; bitCount <= 8 && i < (1 << std::min(bitCount, 4)); ++i)
        img.palette.append(std::uint32_t(i * 0x111111));
    for (int i = 0; i < width * height; ++i) {
        img.pixels.append(bitCount <= 8 ? std::uint32_t(i % img.palette.size()) : std::uint32_t(i * 0x010203));
        img.transparent.append(i % 3 == 0);
    }
    return img;
}

inline QByteArray rows(const Image &img, int bitCount, const QList<std::uint32_t> &values)
{
    QByteArray out;
    const int stride = ((img.width * bitCount + 31) / 32) * 4;
    for (int y = img.height - 1; y >= 0; --y) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < img.width; ++x) {
            const std::uint32_t v = values[y * img.width + x];
            if (bitCount <= 8) {
                const int bit = x * bitCount;
                line[bit / 8] = char(std::uint8_t(line[bit / 8]) | (v << (8 - bitCount - bit % 8)));
            } else {
                for (int k = 0; k < bitCount / 8; ++k)
                    line[x * bitCount / 8 + k] = char((v >> (8 * k)) & 0xFF);
            }
        }
        out += line;
    }
    return out;
}

inline void putInfoHeader(QByteArray &b, const Image &img, int height, std::uint32_t imageBytes)
{
    put32(b, 40);
    put32(b, std::uint32_t(img.width));
    put32(b, std::uint32_t(height));
    put16(b, 1);
    put16(b, img.bitCount);
    put32(b, 0);
    put32(b, imageBytes);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, std::uint32_t(img.palette.size()));
    put32(b, 0);
    for (std::uint32_t c : img.palette)
        put32(b, c & 0xFFFFFF);
}

// The image of an icon entry: header of double height, colour rows, mask rows.
inline QByteArray dib(const Image &img)
{
    QByteArray b;
    putInfoHeader(b, img, img.height * 2, 0);
    b += rows(img, img.bitCount, img.pixels);
    QList<std::uint32_t> mask;
    for (int i = 0; i < img.width * img.height; ++i)
        mask.append(!img.transparent.isEmpty() && img.transparent[i] ? 1 : 0);
    return b + rows(img, 1, mask);
}

// An icon file (type 1), or a cursor file (type 2) whose entries hold the
// hot spot where an icon's hold planes and bit count.
inline QByteArray ico(const QList<Image> &images, int type = 1, QPoint hotSpot = {})
{
    QByteArray out;
    put16(out, 0);
    put16(out, type);
    put16(out, int(images.size()));
    QList<QByteArray> blobs;
    for (const Image &img : images)
        blobs.append(img.png.isEmpty() ? dib(img) : img.png);
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const Image &img = images[i];
        out.append(char(img.width >= 256 ? 0 : img.width)); // 0 means 256
        out.append(char(img.height >= 256 ? 0 : img.height));
        out.append(char(img.bitCount <= 8 ? (1 << img.bitCount) & 0xFF : 0));
        out.append('\0');
        put16(out, type == 2 ? hotSpot.x() : 1);
        put16(out, type == 2 ? hotSpot.y() : img.bitCount);
        put32(out, std::uint32_t(blobs[i].size()));
        put32(out, offset);
        offset += std::uint32_t(blobs[i].size());
    }
    for (const QByteArray &b : blobs)
        out += b;
    return out;
}

inline QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A size x size icon (or cursor) of one opaque colour, at 32 bpp or as a PNG entry.
inline QByteArray icon(int size, QRgb colour, int type = 1, QPoint hotSpot = {})
{
    return ico({drawn(size, size, [colour](int, int) { return colour | 0xFF000000u; })}, type, hotSpot);
}

inline QByteArray pngIcon(int size, QRgb colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    Image entry{size, size, 32, {}, {}, {}, pngOf(image)};
    return ico({entry});
}

// A .bmp at 24 bpp or below (with a palette), bottom-up, or top-down when asked.
inline QByteArray bmp(const Image &img, bool topDown = false)
{
    Image stored = img;
    if (topDown)
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                stored.pixels[y * img.width + x] = img.pixels[(img.height - 1 - y) * img.width + x];
    const QByteArray pixels = rows(stored, img.bitCount, stored.pixels);
    QByteArray b("BM");
    const std::uint32_t dataOffset = 14 + 40 + 4 * std::uint32_t(img.palette.size());
    put32(b, dataOffset + std::uint32_t(pixels.size()));
    put32(b, 0);
    put32(b, dataOffset);
    putInfoHeader(b, img, topDown ? -img.height : img.height, std::uint32_t(pixels.size()));
    return b + pixels;
}

inline QByteArray bmp24(int width, int height, const std::function<QRgb(int, int)> &pixel)
{
    return bmp(drawn(width, height, pixel, 24));
}

// One GIF frame: palette indexes row by row over its rectangle.
struct Frame
{
    QRect rect;
    QList<quint8> indices;
    int disposal = 0;
    int transparent = -1;
    int delay = 0; // hundredths
    bool interlaced = false;
    QList<QRgb> localColours = {};
};

// The rows of a frame in the order the file stores them.
inline QList<int> storedRows(int height, bool interlaced)
{
    QList<int> order;
    const int starts[] = {0, 4, 2, 1};
    const int steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass)
        for (int y = interlaced ? starts[pass] : 0; y < height; y += interlaced ? steps[pass] : 1)
            order.append(y);
    return order;
}

// LZW data without compression: 9-bit literal codes, a clear code before
// the table would widen them.
inline QByteArray lzwLiterals(const QList<quint8> &indices)
{
    QByteArray bits;
    quint32 acc = 0;
    int count = 0;
    auto put = [&](int code) {
        acc |= quint32(code) << count;
        for (count += 9; count >= 8; count -= 8, acc >>= 8)
            bits.append(char(acc & 0xFF));
    };
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % 254 == 0)
            put(256);
        put(indices[i]);
    }
    put(257);
    if (count > 0)
        bits.append(char(acc & 0xFF));
    QByteArray out(1, char(8));
    for (qsizetype i = 0; i < bits.size(); i += 255) {
        const QByteArray block = bits.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    return out;
}

inline void putColourTable(QByteArray &out, const QList<QRgb> &colours)
{
    for (int i = 0; i < 256; ++i) {
        const QRgb c = colours.value(i);
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
}

// A GIF89a with a global table of 256 colours and, unless loops < 0, a
// repeat count.
inline QByteArray gif(QSize canvas, const QList<QRgb> &colours, const QList<Frame> &frames, int loops)
{
    QByteArray out("GIF89a");
    put16(out, canvas.width());
    put16(out, canvas.height());
    out.append(char(0x80 | 0x07)).append(char(0)).append(char(0));
    putColourTable(out, colours);
    if (loops >= 0) {
        out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        put16(out, loops);
        out.append(char(0));
    }
    for (const Frame &f : frames) {
        out.append("\x21\xF9\x04", 3);
        out.append(char((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0)));
        put16(out, f.delay);
        out.append(char(f.transparent >= 0 ? f.transparent : 0)).append(char(0)).append(char(0x2C));
        put16(out, f.rect.x());
        put16(out, f.rect.y());
        put16(out, f.rect.width());
        put16(out, f.rect.height());
        out.append(char((f.interlaced ? 0x40 : 0) | (f.localColours.isEmpty() ? 0 : 0x87)));
        if (!f.localColours.isEmpty())
            putColourTable(out, f.localColours);
        QList<quint8> stored;
        for (int y : storedRows(f.rect.height(), f.interlaced))
            stored.append(f.indices.mid(qsizetype(y) * f.rect.width(), f.rect.width()));
        out.append(lzwLiterals(stored));
    }
    out.append(char(0x3B));
    return out;
}

} // namespace pictures
