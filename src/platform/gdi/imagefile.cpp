// Readers for .ico and .bmp data. The data comes from outside: every read
// goes through Reader, which checks bounds, and every size is checked against
// the bytes present before anything is allocated.

#include "handles.h"
#include "fill.h"
#include "pictures.h"

#include <QImage>
#include <QSysInfo>

#include <algorithm>
#include <array>
#include <cstring>

namespace gdi {

namespace {

constexpr int kMaxImageSide = 1024;

class Reader
{
public:
    explicit Reader(const QByteArray &data) : m_data(data) { }
    qsizetype size() const { return m_data.size(); }
    bool has(qsizetype offset, qsizetype count) const
    {
        return offset >= 0 && count >= 0 && offset <= m_data.size() && count <= m_data.size() - offset;
    }
    std::uint8_t u8(qsizetype o) const { return std::uint8_t(m_data[o]); }
    std::uint16_t u16(qsizetype o) const { return std::uint16_t(u8(o) | (u8(o + 1) << 8)); }
    std::uint32_t u32(qsizetype o) const { return std::uint32_t(u16(o)) | (std::uint32_t(u16(o + 2)) << 16); }
    std::int32_t i32(qsizetype o) const { return std::int32_t(u32(o)); }
    const QByteArray &data() const { return m_data; }

private:
    const QByteArray &m_data;
};

bool fail(QString *error, const QString &what, qsizetype offset)
{
    if (error)
        *error = QStringLiteral("%1 (byte offset %2)").arg(what).arg(offset);
    return false;
}

struct DibHeader
{
    int width = 0;
    int height = 0; // as stored: may be negative (top-down) for .bmp
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0}; // r, g, b, a for BI_BITFIELDS
    int paletteEntries = 0;
    int paletteEntrySize = 4;
    qsizetype headerSize = 0;
};

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

bool readDibHeader(const Reader &r, qsizetype at, qsizetype end, DibHeader *h, QString *error)
{
    if (!r.has(at, 4) || at + 4 > end)
        return fail(error, QStringLiteral("bitmap header cut short"), at);
    const std::uint32_t size = r.u32(at);
    if (size == 12) {
        if (at + 12 > end)
            return fail(error, QStringLiteral("bitmap header cut short"), at);
        h->width = r.u16(at + 4);
        h->height = std::int16_t(r.u16(at + 6));
        if (r.u16(at + 8) != 1)
            return fail(error, QStringLiteral("plane count is not 1"), at + 8);
        h->bitCount = r.u16(at + 10);
        h->paletteEntrySize = 3;
        h->headerSize = 12;
        if (h->bitCount <= 8)
            h->paletteEntries = 1 << h->bitCount;
        return true;
    }
    if (size < 40 || size > 1024)
        return fail(error, QStringLiteral("unknown bitmap header size %1").arg(size), at);
    if (at + qsizetype(size) > end)
        return fail(error, QStringLiteral("bitmap header cut short"), at);
    h->headerSize = size;
    h->width = r.i32(at + 4);
    h->height = r.i32(at + 8);
    if (r.u16(at + 12) != 1)
        return fail(error, QStringLiteral("plane count is not 1"), at + 12);
    h->bitCount = r.u16(at + 14);
    h->compression = r.u32(at + 16);
    const std::uint32_t used = r.u32(at + 32);
    if (h->bitCount <= 8 && (h->bitCount == 1 || h->bitCount == 4 || h->bitCount == 8)) {
        const std::uint32_t maxEntries = 1u << h->bitCount;
        if (used > maxEntries)
            return fail(error, QStringLiteral("colour table of %1 entries for %2 bits per pixel")
                                   .arg(used).arg(h->bitCount),
                        at + 32);
        h->paletteEntries = used ? int(used) : int(maxEntries);
    }
    if (h->compression == BI_BITFIELDS) {
        if (h->bitCount != 16 && h->bitCount != 32)
            return fail(error, QStringLiteral("bit fields need 16 or 32 bits per pixel"), at + 16);
        // The masks follow a 40-byte header, or sit inside a larger one.
        const qsizetype m = at + 40;
        if (!r.has(m, 12) || m + 12 > end)
            return fail(error, QStringLiteral("bit field masks cut short"), m);
        h->masks[0] = r.u32(m);
        h->masks[1] = r.u32(m + 4);
        h->masks[2] = r.u32(m + 8);
        if (size >= 56)
            h->masks[3] = r.u32(m + 12);
        if (size == 40)
            h->headerSize = 52;
    } else if (h->compression != BI_RGB) {
        return fail(error, QStringLiteral("compression %1 is not supported").arg(h->compression), at + 16);
    }
    return true;
}

// One channel of a bit-field pixel: the bits under the mask, scaled so the
// mask's lowest run of bits maps onto 0..255.
struct Channel
{
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (!mask)
            return;
        while (!((mask >> shift) & 1))
            ++shift;
        int bits = 0;
        while (shift + bits < 32 && ((mask >> (shift + bits)) & 1))
            ++bits;
        max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
    }
    std::uint32_t operator()(std::uint32_t v) const
    {
        if (!max)
            return 0;
        const std::uint32_t value = (v & mask) >> shift;
        return std::uint32_t((std::uint64_t(value) * 255 + max / 2) / max);
    }
};

// Decodes `rows` rows of `width` pixels into out as ARGB (alpha 0 unless the
// format has alpha), bottom-up unless topDown. The caller checked that the
// rows lie in the data; each row is checked again before it is read.
// Every pixel is ORed with orBits (0xFF000000 makes bitmaps opaque).
// Returns, for 32-bit pixels, the OR of every pixel as stored (its top byte
// tells whether any pixel has alpha); 0 for the other depths.
std::uint32_t decodeRows(const Reader &r, qsizetype pixelsAt, const DibHeader &h, int width, int rows,
                         bool topDown, const std::vector<std::uint32_t> &palette, std::uint32_t orBits,
                         std::uint32_t *out)
{
    const qsizetype stride = ((qsizetype(width) * h.bitCount + 31) / 32) * 4;
    const qsizetype used = (qsizetype(width) * h.bitCount + 7) / 8;
    // Indexes past the colour table read black.
    std::array<std::uint32_t, 256> table{};
    std::copy_n(palette.begin(), std::min(palette.size(), table.size()), table.begin());
    for (std::uint32_t &v : table)
        v |= orBits;
    const Channel red(h.compression == BI_BITFIELDS ? h.masks[0] : 0x7C00u);
    const Channel green(h.compression == BI_BITFIELDS ? h.masks[1] : 0x03E0u);
    const Channel blue(h.compression == BI_BITFIELDS ? h.masks[2] : 0x001Fu);
    const Channel alpha(h.masks[3]);
    const bool fields32 = h.bitCount == 32 && h.compression == BI_BITFIELDS;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(r.data().constData());
    std::uint32_t seen = 0;
    for (int row = 0; row < rows; ++row) {
        const qsizetype line = pixelsAt + qsizetype(topDown ? row : rows - 1 - row) * stride;
        std::uint32_t *dst = out + size_t(row) * size_t(width);
        if (!r.has(line, used)) {
            std::fill(dst, dst + width, orBits);
            continue;
        }
        const std::uint8_t *src = bytes + line;
        switch (h.bitCount) {
        case 1:
            for (int x = 0; x < width; ++x)
                dst[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                dst[x] = table[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
            break;
        case 8:
            for (int x = 0; x < width; ++x)
                dst[x] = table[src[x]];
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = std::uint32_t(src[2 * x]) | (std::uint32_t(src[2 * x + 1]) << 8);
                dst[x] = (red(p) << 16) | (green(p) << 8) | blue(p) | orBits;
            }
            break;
        case 24: {
            int x = 0;
            if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
                // Four bytes at a time, the fourth (the next pixel's) masked
                // off; the last pixel of the row is read byte by byte so
                // nothing past the row is touched.
                for (; x + 1 < width; ++x) {
                    std::uint32_t p;
                    std::memcpy(&p, src + 3 * x, 4);
                    dst[x] = (p & 0x00FFFFFFu) | orBits;
                }
            }
            for (; x < width; ++x)
                dst[x] = std::uint32_t(src[3 * x]) | (std::uint32_t(src[3 * x + 1]) << 8)
                       | (std::uint32_t(src[3 * x + 2]) << 16) | orBits;
            break;
        }
        case 32:
            if (!fields32 && QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
                // Stored as this machine keeps its pixels: copied as it is.
                std::memcpy(dst, src, size_t(width) * 4);
            } else {
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t p = std::uint32_t(src[4 * x]) | (std::uint32_t(src[4 * x + 1]) << 8)
                                          | (std::uint32_t(src[4 * x + 2]) << 16)
                                          | (std::uint32_t(src[4 * x + 3]) << 24);
                    dst[x] = fields32 ? (alpha(p) << 24) | (red(p) << 16) | (green(p) << 8) | blue(p) : p;
                }
            }
            for (int x = 0; x < width; ++x) {
                seen |= dst[x];
                dst[x] |= orBits;
            }
            break;
        default:
            std::fill(dst, dst + width, orBits);
            break;
        }
    }
    return seen;
}

bool readPalette(const Reader &r, qsizetype at, qsizetype end, const DibHeader &h,
                 std::vector<std::uint32_t> *palette, QString *error)
{
    const qsizetype bytes = qsizetype(h.paletteEntries) * h.paletteEntrySize;
    if (!r.has(at, bytes) || at + bytes > end)
        return fail(error, QStringLiteral("colour table cut short"), at);
    palette->resize(size_t(h.paletteEntries));
    for (int i = 0; i < h.paletteEntries; ++i) {
        const qsizetype o = at + qsizetype(i) * h.paletteEntrySize;
        (*palette)[size_t(i)] = r.u8(o) | (r.u8(o + 1) << 8) | (std::uint32_t(r.u8(o + 2)) << 16);
    }
    return true;
}

// Each mask byte as its eight pixels, one byte (0 or 1) each, first pixel
// from the top bit.
const std::array<std::array<std::uint8_t, 8>, 256> kMaskBits = [] {
    std::array<std::array<std::uint8_t, 8>, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int bit = 0; bit < 8; ++bit)
            t[size_t(b)][size_t(bit)] = std::uint8_t((b >> (7 - bit)) & 1);
    return t;
}();

bool decodeIconDib(const Reader &r, qsizetype at, qsizetype end, IconImage *img, QString *error)
{
    DibHeader h;
    if (!readDibHeader(r, at, end, &h, error))
        return false;
    if (h.compression != BI_RGB)
        return fail(error, QStringLiteral("icon image is compressed"), at + 16);
    if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24 && h.bitCount != 32)
        return fail(error, QStringLiteral("icon image has %1 bits per pixel").arg(h.bitCount), at + 14);
    // The stored height covers the colour rows and the mask rows.
    const int width = h.width, height = h.height / 2;
    if (width <= 0 || width > kMaxImageSide || h.height <= 0 || h.height % 2 || height > kMaxImageSide)
        return fail(error, QStringLiteral("icon image size %1 x %2 out of range").arg(h.width).arg(h.height), at + 4);
    std::vector<std::uint32_t> palette;
    const qsizetype paletteAt = at + h.headerSize;
    if (!readPalette(r, paletteAt, end, h, &palette, error))
        return false;
    const qsizetype pixelsAt = paletteAt + qsizetype(h.paletteEntries) * h.paletteEntrySize;
    const qsizetype stride = ((qsizetype(width) * h.bitCount + 31) / 32) * 4;
    const qsizetype maskStride = ((qsizetype(width) + 31) / 32) * 4;
    if (!r.has(pixelsAt, stride * height) || pixelsAt + stride * height > end)
        return fail(error, QStringLiteral("icon pixels cut short"), pixelsAt);
    const qsizetype maskAt = pixelsAt + stride * height;
    const bool hasMask = r.has(maskAt, maskStride * height) && maskAt + maskStride * height <= end;
    if (!hasMask && h.bitCount != 32)
        return fail(error, QStringLiteral("icon mask cut short"), maskAt);

    img->width = width;
    img->height = height;
    const size_t n = size_t(width) * size_t(height);
    img->colour.resize(n);
    const std::uint32_t seen = decodeRows(r, pixelsAt, h, width, height, false, palette, 0, img->colour.data());
    img->hasAlpha = (seen >> 24) != 0;
    img->mask.resize(n);
    std::uint8_t *mask = img->mask.data();
    if (hasMask) {
        const auto *bytes = reinterpret_cast<const std::uint8_t *>(r.data().constData());
        const qsizetype maskUsed = (qsizetype(width) + 7) / 8;
        for (int row = 0; row < height; ++row) {
            const qsizetype line = maskAt + qsizetype(height - 1 - row) * maskStride;
            std::uint8_t *dst = mask + size_t(row) * size_t(width);
            if (!r.has(line, maskUsed)) {
                std::fill(dst, dst + width, std::uint8_t(0));
                continue;
            }
            const std::uint8_t *src = bytes + line;
            // Whole bytes eight pixels at a time, then the last few bits.
            int x = 0;
            for (; x + 8 <= width; x += 8)
                std::memcpy(dst + x, kMaskBits[src[x >> 3]].data(), 8);
            for (; x < width; ++x)
                dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
        }
    } else {
        // A 32-bit image without its mask: transparency from alpha.
        const std::uint32_t *colour = img->colour.data();
        for (size_t i = 0; i < n; ++i)
            mask[i] = (colour[i] >> 24) == 0 ? 1 : 0;
    }
    if (!img->hasAlpha && h.bitCount == 32)
        for (std::uint32_t &v : img->colour)
            v &= 0x00FFFFFFu;
    // A black-and-white image makes a monochrome icon.
    img->monochrome = h.bitCount == 1 && palette.size() == 2 && palette[0] == 0 && palette[1] == 0xFFFFFF;
    return true;
}

bool decodeIconPng(const QByteArray &bytes, qsizetype at, IconImage *img, QString *error)
{
    QImage png;
    if (!png.loadFromData(bytes, "PNG") || png.isNull())
        return fail(error, QStringLiteral("icon PNG image cannot be decoded"), at);
    if (png.width() > kMaxImageSide || png.height() > kMaxImageSide)
        return fail(error, QStringLiteral("icon PNG image %1 x %2 too large").arg(png.width()).arg(png.height()), at);
    png = png.convertToFormat(QImage::Format_ARGB32);
    img->width = png.width();
    img->height = png.height();
    img->hasAlpha = true;
    img->colour.resize(size_t(img->width) * size_t(img->height));
    img->mask.resize(img->colour.size());
    for (int y = 0; y < img->height; ++y) {
        const auto *line = reinterpret_cast<const std::uint32_t *>(png.constScanLine(y));
        for (int x = 0; x < img->width; ++x) {
            const size_t i = size_t(y) * size_t(img->width) + size_t(x);
            img->colour[i] = line[x];
            img->mask[i] = (line[x] >> 24) == 0 ? 1 : 0;
        }
    }
    return true;
}

} // namespace

bool decodeIcon(const QByteArray &data, std::vector<IconImage> *images, QString *error)
{
    const Reader r(data);
    images->clear();
    if (!r.has(0, 6))
        return fail(error, QStringLiteral("icon directory cut short"), 0);
    if (r.u16(0) != 0)
        return fail(error, QStringLiteral("icon directory reserved field is not 0"), 0);
    if (r.u16(2) != 1)
        return fail(error, QStringLiteral("not an icon file (type %1)").arg(r.u16(2)), 2);
    const int count = r.u16(4);
    if (count == 0)
        return fail(error, QStringLiteral("icon file holds no image"), 4);
    if (!r.has(6, qsizetype(count) * 16))
        return fail(error, QStringLiteral("icon directory of %1 entries cut short").arg(count), 6);
    for (int i = 0; i < count; ++i) {
        const qsizetype e = 6 + qsizetype(i) * 16;
        const std::uint32_t bytes = r.u32(e + 8);
        const std::uint32_t offset = r.u32(e + 12);
        if (!r.has(offset, bytes))
            return fail(error, QStringLiteral("icon image %1 lies outside the file").arg(i), e + 8);
        const qsizetype at = offset, end = qsizetype(offset) + qsizetype(bytes);
        IconImage img;
        static const char pngSignature[] = "\x89PNG\r\n\x1a\n";
        if (bytes >= 8 && std::memcmp(data.constData() + at, pngSignature, 8) == 0) {
            if (!decodeIconPng(data.mid(at, bytes), at, &img, error))
                return false;
        } else if (!decodeIconDib(r, at, end, &img, error)) {
            return false;
        }
        images->push_back(std::move(img));
    }
    return true;
}

std::unique_ptr<Bitmap> decodeBitmap(const QByteArray &data, QString *error)
{
    const Reader r(data);
    if (!r.has(0, 14)) {
        fail(error, QStringLiteral("bitmap file header cut short"), 0);
        return nullptr;
    }
    if (r.u8(0) != 'B' || r.u8(1) != 'M') {
        fail(error, QStringLiteral("not a bitmap file (no BM signature)"), 0);
        return nullptr;
    }
    const std::uint32_t pixelsOffset = r.u32(10);
    DibHeader h;
    if (!readDibHeader(r, 14, r.size(), &h, error))
        return nullptr;
    if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24
        && h.bitCount != 32) {
        fail(error, QStringLiteral("%1 bits per pixel is not supported").arg(h.bitCount), 28);
        return nullptr;
    }
    const bool topDown = h.height < 0;
    const std::int64_t height64 = topDown ? -std::int64_t(h.height) : h.height;
    if (h.width <= 0 || h.width > kMaxBitmapSide || height64 <= 0 || height64 > kMaxBitmapSide) {
        fail(error, QStringLiteral("bitmap size %1 x %2 out of range").arg(h.width).arg(h.height), 18);
        return nullptr;
    }
    const int width = h.width, height = int(height64);
    std::vector<std::uint32_t> palette;
    if (!readPalette(r, 14 + h.headerSize, r.size(), h, &palette, error))
        return nullptr;
    const qsizetype stride = ((qsizetype(width) * h.bitCount + 31) / 32) * 4;
    if (!r.has(pixelsOffset, stride * height)) {
        fail(error, QStringLiteral("bitmap pixels cut short"), pixelsOffset);
        return nullptr;
    }
    auto bm = makeBitmap(width, height, 32, false);
    if (!bm) {
        fail(error, QStringLiteral("bitmap too large"), 18);
        return nullptr;
    }
    decodeRows(r, pixelsOffset, h, width, height, topDown, palette, 0xFF000000u, bm->pixels.data());
    bm->addressable = true;
    return bm;
}

} // namespace gdi
