#include <forms/GifDecoder.h>

#include <algorithm>
#include <array>
#include <cstring>

#include <QtEndian>

namespace forms {

namespace {

// Larger canvases are refused rather than allocated: 16 M pixels is far
// beyond any animation a window plays.
constexpr qint64 MaxCanvasPixels = qint64(1) << 24;
constexpr int MaxCodes = 4096;

// Reads LSB-first codes of a changing width from the joined data blocks,
// four bytes at a time: the run carries CodePadding zero bytes past its end
// so the load never leaves it, and the bit count says where the data stops.
constexpr std::size_t CodePadding = 4;

class BitReader
{
public:
    BitReader(const quint8 *bytes, std::size_t size) : m_bytes(bytes), m_bits(quint64(size) * 8) {}

    // -1 when the data runs out before `width` more bits.
    int read(int width)
    {
        if (m_at + quint64(width) > m_bits)
            return -1;
        quint32 word;
        std::memcpy(&word, m_bytes + (m_at >> 3), 4);
        const int code = int((qFromLittleEndian(word) >> (m_at & 7)) & ((1u << width) - 1));
        m_at += quint64(width);
        return code;
    }

private:
    const quint8 *m_bytes;
    quint64 m_bits;
    quint64 m_at = 0;
};

// The LZW codes of one image into out[0, pixels): each root code becomes
// root(code), each longer string is copied from where it was written before
// (a string is always the earlier output of its prefix code followed by one
// more pixel, so the table only keeps where and how long). Strings past the
// end are cut off there. Returns how many pixels were written, or -1 with
// *what naming a code that cannot exist.
template <typename Pixel, typename Root>
qint64 decodeLzw(BitReader reader, int minCodeSize, Pixel *out, std::size_t pixels, Root root, QString *what)
{
    const int clear = 1 << minCodeSize;
    const int endOfImage = clear + 1;
    std::array<quint32, MaxCodes> offset;
    std::array<quint16, MaxCodes> length;
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int old = -1;
    std::size_t oldAt = 0;  // where the previous code's string was written
    std::size_t oldLength = 0;
    std::size_t written = 0;
    // A short or unterminated code stream stops here, leaving the rest of
    // the frame as it was, as other readers do.
    while (written < pixels) {
        const int code = reader.read(codeSize);
        if (code < 0 || code == endOfImage)
            break;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            old = -1;
            continue;
        }
        const std::size_t at = written;
        std::size_t stringLength = 1;
        if (old < 0) {
            if (code > clear) {
                *what = QStringLiteral("image data starts with code %1").arg(code);
                return -1;
            }
            out[written++] = root(code);
        } else if (code < clear) {
            out[written++] = root(code);
        } else if (code < next) {
            // Defined before, so written whole before `at`: no overlap.
            stringLength = length[code];
            const std::size_t n = std::min(stringLength, pixels - written);
            const Pixel *from = out + offset[code];
            if (n <= 8) {
                for (std::size_t i = 0; i < n; ++i)
                    out[written + i] = from[i];
            } else {
                std::memcpy(out + written, from, n * sizeof(Pixel));
            }
            written += n;
        } else if (code == next) {
            // The previous string and its own first pixel.
            stringLength = oldLength + 1;
            const std::size_t n = std::min(oldLength, pixels - written);
            std::memcpy(out + written, out + oldAt, n * sizeof(Pixel));
            written += n;
            if (written < pixels)
                out[written++] = out[oldAt];
        } else {
            *what = QStringLiteral("code %1 before it is defined").arg(code);
            return -1;
        }
        if (old >= 0 && next < MaxCodes) {
            offset[next] = quint32(oldAt);
            length[next] = quint16(oldLength + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        old = code;
        oldAt = at;
        oldLength = stringLength;
    }
    return qint64(written);
}

} // namespace

bool GifDecoder::fail(QString *error, const QString &what)
{
    if (error)
        *error = QStringLiteral("offset %1: %2").arg(m_pos).arg(what);
    m_end = true;
    return false;
}

bool GifDecoder::open(QByteArray data, QString *error)
{
    m_data = std::move(data);
    m_pos = 0;
    m_end = false;
    m_loopCount = 0;
    m_pendingDisposal = 0;
    m_globalPalette.clear();
    if (m_data.size() < 13 || !(m_data.startsWith("GIF87a") || m_data.startsWith("GIF89a")))
        return fail(error, QStringLiteral("not a GIF file"));
    const auto *p = reinterpret_cast<const quint8 *>(m_data.constData());
    m_width = p[6] | (p[7] << 8);
    m_height = p[8] | (p[9] << 8);
    const quint8 flags = p[10];
    m_pos = 13;
    if (m_width == 0 || m_height == 0 || qint64(m_width) * m_height > MaxCanvasPixels)
        return fail(error, QStringLiteral("canvas %1 x %2 is empty or too large").arg(m_width).arg(m_height));
    if ((flags & 0x80) && !readColourTable(2 << (flags & 7), &m_globalPalette, error))
        return false;
    m_canvas = QImage(m_width, m_height, QImage::Format_ARGB32_Premultiplied);
    if (m_canvas.isNull())
        return fail(error, QStringLiteral("no memory for a %1 x %2 canvas").arg(m_width).arg(m_height));
    m_canvas.fill(0);
    m_previous = QImage();
    return true;
}

bool GifDecoder::readColourTable(int entries, std::vector<QRgb> *table, QString *error)
{
    if (m_data.size() - m_pos < qsizetype(entries) * 3)
        return fail(error, QStringLiteral("colour table cut short"));
    const auto *p = reinterpret_cast<const quint8 *>(m_data.constData()) + m_pos;
    table->resize(entries);
    for (int i = 0; i < entries; ++i, p += 3)
        (*table)[i] = qRgb(p[0], p[1], p[2]);
    m_pos += qsizetype(entries) * 3;
    return true;
}

bool GifDecoder::skipSubBlocks(QString *error)
{
    while (true) {
        if (m_pos >= m_data.size())
            return fail(error, QStringLiteral("data blocks cut short"));
        const int length = quint8(m_data[m_pos++]);
        if (length == 0)
            return true;
        if (m_data.size() - m_pos < length)
            return fail(error, QStringLiteral("data block cut short"));
        m_pos += length;
    }
}

bool GifDecoder::readFrame(QImage *frame, int *delayMs, QString *error)
{
    if (m_end || m_canvas.isNull())
        return false;

    // What the previous frame asked to leave behind.
    if (m_pendingDisposal == 2) {
        const QRect r = m_pendingRect & m_canvas.rect();
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memset(reinterpret_cast<QRgb *>(m_canvas.scanLine(y)) + r.left(), 0, std::size_t(r.width()) * 4);
    } else if (m_pendingDisposal == 3 && !m_previous.isNull()) {
        m_canvas = m_previous;
    }
    m_pendingDisposal = 0;

    int disposal = 0;
    int transparent = -1;
    int delay = 0;
    const auto *p = reinterpret_cast<const quint8 *>(m_data.constData());
    while (true) {
        if (m_pos >= m_data.size()) {
            // A file without its trailer ends after its last whole frame.
            m_end = true;
            return false;
        }
        const quint8 introducer = p[m_pos];
        if (introducer == 0x3B) {
            m_end = true;
            return false;
        }
        if (introducer == 0x21) {
            if (m_data.size() - m_pos < 3)
                return fail(error, QStringLiteral("extension cut short"));
            const quint8 label = p[m_pos + 1];
            m_pos += 2;
            const quint8 length = p[m_pos];
            if (label == 0xF9 && length >= 4 && m_data.size() - m_pos > 4) {
                const quint8 flags = p[m_pos + 1];
                disposal = (flags >> 2) & 7;
                delay = (p[m_pos + 2] | (p[m_pos + 3] << 8)) * 10;
                transparent = (flags & 1) ? p[m_pos + 4] : -1;
            } else if (label == 0xFF && length == 11 && m_data.size() - m_pos > 16
                       && (std::memcmp(p + m_pos + 1, "NETSCAPE2.0", 11) == 0
                           || std::memcmp(p + m_pos + 1, "ANIMEXTS1.0", 11) == 0)) {
                const qsizetype sub = m_pos + 12;
                if (p[sub] >= 3 && p[sub + 1] == 1 && m_data.size() - sub > 3) {
                    const int count = p[sub + 2] | (p[sub + 3] << 8);
                    m_loopCount = count == 0 ? -1 : count;
                }
            }
            if (!skipSubBlocks(error))
                return false;
            continue;
        }
        if (introducer != 0x2C)
            return fail(error, QStringLiteral("unknown block 0x%1").arg(introducer, 2, 16, QLatin1Char('0')));

        if (m_data.size() - m_pos < 10)
            return fail(error, QStringLiteral("image descriptor cut short"));
        const int left = p[m_pos + 1] | (p[m_pos + 2] << 8);
        const int top = p[m_pos + 3] | (p[m_pos + 4] << 8);
        const int width = p[m_pos + 5] | (p[m_pos + 6] << 8);
        const int height = p[m_pos + 7] | (p[m_pos + 8] << 8);
        const quint8 flags = p[m_pos + 9];
        // A frame is clipped to the canvas, but its codes are decoded whole
        // first: one larger than any canvas allowed is refused, not allocated.
        if (qint64(width) * height > MaxCanvasPixels)
            return fail(error, QStringLiteral("frame %1 x %2 is too large").arg(width).arg(height));
        m_pos += 10;
        std::vector<QRgb> local;
        if ((flags & 0x80) && !readColourTable(2 << (flags & 7), &local, error))
            return false;
        if (disposal == 3)
            m_previous = m_canvas.copy();
        if (!decodeImage((flags & 0x80) ? local : m_globalPalette, left, top, width, height, flags & 0x40,
                         transparent, error))
            return false;
        m_pendingDisposal = disposal;
        m_pendingRect = QRect(left, top, width, height);
        *frame = m_canvas;
        *delayMs = delay;
        return true;
    }
}

bool GifDecoder::decodeImage(const std::vector<QRgb> &palette, int left, int top, int width, int height,
                             bool interlaced, int transparent, QString *error)
{
    if (m_pos >= m_data.size())
        return fail(error, QStringLiteral("image data cut short"));
    const int minCodeSize = quint8(m_data[m_pos++]);
    if (minCodeSize < 1 || minCodeSize > 8)
        return fail(error, QStringLiteral("code size %1 out of range").arg(minCodeSize));

    // The image's data sub-blocks joined into one run.
    m_codes.clear();
    while (true) {
        if (m_pos >= m_data.size())
            return fail(error, QStringLiteral("image data cut short"));
        const int length = quint8(m_data[m_pos++]);
        if (length == 0)
            break;
        if (m_data.size() - m_pos < length)
            return fail(error, QStringLiteral("image data block cut short"));
        const auto *from = reinterpret_cast<const quint8 *>(m_data.constData()) + m_pos;
        m_codes.insert(m_codes.end(), from, from + length);
        m_pos += length;
    }
    if (width == 0 || height == 0)
        return true;
    const std::size_t codeBytes = m_codes.size();
    m_codes.resize(codeBytes + CodePadding, 0);
    const BitReader reader(m_codes.data(), codeBytes);

    // Indexes past the palette are black.
    std::array<QRgb, 256> colours;
    colours.fill(qRgb(0, 0, 0));
    std::copy_n(palette.begin(), std::min<std::size_t>(palette.size(), 256), colours.begin());
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    QString what;

    // An opaque frame of whole canvas rows, stored in order, is decoded
    // straight into the canvas as colours.
    if (transparent < 0 && !interlaced && left == 0 && width == m_width && top + height <= m_height) {
        QRgb *out = reinterpret_cast<QRgb *>(m_canvas.bits()) + std::size_t(top) * std::size_t(m_width);
        if (decodeLzw(reader, minCodeSize, out, pixels, [&](int code) { return colours[std::size_t(code)]; }, &what) < 0)
            return fail(error, what);
        return true;
    }

    // Otherwise as indexes first: the frame may be clipped, interlaced or
    // see-through.
    m_indices.resize(pixels);
    const qint64 written = decodeLzw(reader, minCodeSize, m_indices.data(), pixels,
                                     [](int code) { return quint8(code); }, &what);
    if (written < 0)
        return fail(error, what);

    // Onto the canvas, rows in the order they were stored; what the codes
    // did not reach stays as it was.
    const QRect clip = QRect(left, top, width, height) & m_canvas.rect();
    if (clip.isEmpty())
        return true;
    int row = 0;
    static constexpr int PassStart[4] = {0, 4, 2, 1};
    static constexpr int PassStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass) {
        const int start = interlaced ? PassStart[pass] : 0;
        const int step = interlaced ? PassStep[pass] : 1;
        for (int y = start; y < height; y += step, ++row) {
            const qint64 rowStart = qint64(row) * width;
            if (rowStart >= written)
                return true;
            const int canvasY = top + y;
            if (canvasY < clip.top() || canvasY > clip.bottom())
                continue;
            const int from = clip.left() - left;
            const int n = int(std::min<qint64>(clip.width(), written - rowStart - from));
            const quint8 *in = m_indices.data() + rowStart + from;
            QRgb *out = reinterpret_cast<QRgb *>(m_canvas.scanLine(canvasY)) + clip.left();
            if (transparent < 0) {
                for (int x = 0; x < n; ++x)
                    out[x] = colours[in[x]];
            } else {
                for (int x = 0; x < n; ++x) {
                    if (in[x] != transparent)
                        out[x] = colours[in[x]];
                }
            }
        }
    }
    return true;
}

} // namespace forms
