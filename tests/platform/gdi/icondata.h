#pragma once
// Writers of small .ico and .bmp files for the reader's tests and fuzzing.
// Pixels are given top row first, as 0x00RRGGBB (or 0xAARRGGBB at 32 bpp);
// the writers lay them out as the formats store them (bottom-up rows padded
// to 4 bytes, palettes for <= 8 bpp, the AND mask after the colour rows).

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QList>

#include <cstdint>

namespace icondata {

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
    QList<std::uint32_t> palette;   // for <= 8 bpp
    QList<std::uint32_t> pixels;    // colour, or palette index for <= 8 bpp
    QList<bool> transparent;        // AND mask; empty = all opaque
    QByteArray png;                 // a PNG entry instead of a DIB
};

inline QByteArray rows(const Image &img, int bitCount, const QList<std::uint32_t> &values)
{
    QByteArray out;
    const int stride = ((img.width * bitCount + 31) / 32) * 4;
    for (int y = img.height - 1; y >= 0; --y) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < img.width; ++x) {
            const std::uint32_t v = values[y * img.width + x];
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const int bit = x * bitCount;
                line[bit / 8] = char(std::uint8_t(line[bit / 8]) | (v << (8 - bitCount - bit % 8)));
                break;
            }
            case 24:
                line[x * 3] = char(v & 0xFF);
                line[x * 3 + 1] = char((v >> 8) & 0xFF);
                line[x * 3 + 2] = char((v >> 16) & 0xFF);
                break;
            case 32:
                for (int k = 0; k < 4; ++k)
                    line[x * 4 + k] = char((v >> (8 * k)) & 0xFF);
                break;
            }
        }
        out += line;
    }
    return out;
}

inline QByteArray dib(const Image &img)
{
    QByteArray b;
    put32(b, 40);
    put32(b, std::uint32_t(img.width));
    put32(b, std::uint32_t(img.height * 2));
    put16(b, 1);
    put16(b, img.bitCount);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, std::uint32_t(img.palette.size()));
    put32(b, 0);
    for (std::uint32_t c : img.palette)
        put32(b, c & 0xFFFFFF);
    b += rows(img, img.bitCount, img.pixels);
    QList<std::uint32_t> mask;
    for (int i = 0; i < img.width * img.height; ++i)
        mask.append(img.transparent.isEmpty() ? 0 : (img.transparent[i] ? 1 : 0));
    b += rows(img, 1, mask);
    return b;
}

inline QByteArray ico(const QList<Image> &images)
{
    QByteArray out;
    put16(out, 0);
    put16(out, 1);
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
        put16(out, 1);
        put16(out, img.bitCount);
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

// A .bmp: 24 or 8 bpp, bottom-up, or top-down when topDown.
inline QByteArray bmp(const Image &img, bool topDown = false)
{
    QByteArray pixels;
    if (topDown) {
        Image flipped = img;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                flipped.pixels[y * img.width + x] = img.pixels[(img.height - 1 - y) * img.width + x];
        pixels = rows(flipped, img.bitCount, flipped.pixels);
    } else {
        pixels = rows(img, img.bitCount, img.pixels);
    }
    QByteArray b;
    const std::uint32_t dataOffset = 14 + 40 + 4 * std::uint32_t(img.palette.size());
    b.append("BM");
    put32(b, dataOffset + std::uint32_t(pixels.size()));
    put32(b, 0);
    put32(b, dataOffset);
    put32(b, 40);
    put32(b, std::uint32_t(img.width));
    put32(b, std::uint32_t(topDown ? -img.height : img.height));
    put16(b, 1);
    put16(b, img.bitCount);
    put32(b, 0);
    put32(b, std::uint32_t(pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, std::uint32_t(img.palette.size()));
    put32(b, 0);
    for (std::uint32_t c : img.palette)
        put32(b, c & 0xFFFFFF);
    return b + pixels;
}

} // namespace icondata
