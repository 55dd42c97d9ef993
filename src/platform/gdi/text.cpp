// Fonts and DrawTextA.

#include "handles.h"
#include "fill.h"
#include "raster.h"
#include "text.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <optional>
#include <tuple>
#include <unordered_map>

namespace gdi {

QString fromCodePage(const char *text, int length)
{
    // 0x80..0x9F differ from Latin-1; the five unassigned ones map to
    // themselves, as Windows does.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out;
    out.reserve(length);
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out.append(c >= 0x80 && c < 0xA0 ? QChar(high[c - 0x80]) : QChar(c));
    }
    return out;
}

namespace {

struct Prefixed
{
    QString text;
    int underline = -1;
};

Prefixed stripPrefixes(const QString &in)
{
    Prefixed out;
    out.text.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == u'&' && i + 1 < in.size()) {
            ++i;
            if (in[i] != u'&')
                out.underline = int(out.text.size()); // the last marked one wins
        }
        out.text.append(in[i]);
    }
    return out;
}

} // namespace

std::vector<TextLine> layoutText(const QString &text, const TextLayoutOptions &options, const Measure &measure)
{
    std::vector<TextLine> lines;
    Prefixed all = options.prefix ? stripPrefixes(text) : Prefixed{text, -1};

    // Logical lines: CR, LF, CR LF and LF CR each end one; a break at the
    // very end starts no new line.
    struct Piece
    {
        qsizetype start, length;
    };
    std::vector<Piece> pieces;
    const QString &s = all.text;
    if (options.singleLine) {
        if (!s.isEmpty())
            pieces.push_back({0, s.size()});
    } else {
        qsizetype start = 0, i = 0;
        while (i < s.size()) {
            const QChar c = s[i];
            if (c == u'\r' || c == u'\n') {
                pieces.push_back({start, i - start});
                const QChar pair = c == u'\r' ? u'\n' : u'\r';
                i += (i + 1 < s.size() && s[i + 1] == pair) ? 2 : 1;
                start = i;
            } else {
                ++i;
            }
        }
        if (start < s.size())
            pieces.push_back({start, s.size() - start});
    }

    auto addLine = [&](qsizetype start, qsizetype end, int fitted = 0, int overflow = std::numeric_limits<int>::max()) {
        TextLine line;
        line.fitted = fitted;
        line.overflow = overflow;
        line.text = s.mid(start, end - start);
        if (options.singleLine)
            line.text.remove(u'\r').remove(u'\n');
        line.width = measure(line.text);
        if (all.underline >= start && all.underline < end)
            line.underline = int(all.underline - start);
        lines.push_back(std::move(line));
    };

    for (const Piece &p : pieces) {
        const qsizetype end = p.start + p.length;
        if (!options.wordBreak || options.singleLine) {
            addLine(p.start, end);
            continue;
        }
        qsizetype start = p.start;
        do {
            qsizetype fitted = start; // end of the last word that fits
            qsizetype pos = start;
            int widestFit = 0, overflow = std::numeric_limits<int>::max();
            while (pos < end) {
                qsizetype we = pos;
                while (we < end && s[we] == u' ')
                    ++we;
                while (we < end && s[we] != u' ')
                    ++we;
                // The first word of a line stays whole even when too wide.
                if (fitted != start) {
                    const int w = measure(QStringView(s).mid(start, we - start));
                    if (w > options.width) {
                        overflow = w;
                        break;
                    }
                    widestFit = std::max(widestFit, w);
                }
                fitted = we;
                pos = we;
            }
            qsizetype trimmed = fitted;
            while (trimmed > start && s[trimmed - 1] == u' ')
                --trimmed;
            addLine(start, trimmed, widestFit, overflow);
            start = fitted;
            while (start < end && s[start] == u' ') // the spaces at a break are dropped
                ++start;
        } while (start < end);
    }
    return lines;
}

bool sameLayout(const std::vector<TextLine> &lines, const TextLayoutOptions &before, const TextLayoutOptions &options)
{
    if (before.prefix != options.prefix || before.wordBreak != options.wordBreak
        || before.singleLine != options.singleLine)
        return false;
    // Without word breaking the room plays no part.
    if (!options.wordBreak || options.singleLine || before.width == options.width)
        return true;
    for (const TextLine &line : lines)
        if (line.fitted > options.width || line.overflow <= options.width)
            return false;
    return true;
}

static bool s_substitutionsDone = false;

} // namespace gdi

void gdi::registerFontSubstitutions()
{
    if (s_substitutionsDone)
        return;
    s_substitutionsDone = true;
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

// What tells fonts apart as drawn.
using FontKey = std::tuple<QString, int, int, bool, bool, bool, int>;
static FontKey fontKey(const QFont &font)
{
    return {font.family(),    font.pixelSize(), int(font.weight()),         font.italic(),
            font.underline(), font.strikeOut(), int(font.styleStrategy())};
}

QFont gdi::qfontFromLogFont(const LOGFONTA &lf)
{
    registerFontSubstitutions();
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    QString family = fromCodePage(face, int(std::strlen(face)));
    if (family.isEmpty())
        family = QStringLiteral("MS Sans Serif");
    const QStringList subst = QFont::substitutes(family);
    QFont font(subst.isEmpty() ? family : subst.first());
    int pixels = 11; // lfHeight 0: the usual dialog text size
    if (lf.lfHeight < 0) {
        pixels = -lf.lfHeight;
    } else if (lf.lfHeight > 0) {
        // A positive height asks for the cell (ascent + descent): scale the
        // em size by the font's own cell-to-em ratio.
        QFont probe(font);
        probe.setPixelSize(100);
        const QFontMetricsF m(probe);
        const double cell = m.ascent() + m.descent();
        pixels = cell > 0 ? int(std::lround(lf.lfHeight * 100.0 / cell)) : lf.lfHeight;
    }
    font.setPixelSize(std::clamp(pixels, 1, 2000));
    if (lf.lfWeight > 0)
        font.setWeight(QFont::Weight(std::clamp(int(lf.lfWeight), 1, 1000)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    font.setKerning(false);
    font.setStyleStrategy(lf.lfQuality == NONANTIALIASED_QUALITY ? QFont::NoAntialias : QFont::PreferAntialias);

    // Fonts of one description share one Qt font: Qt matches a font against
    // the font database once per font object, on its first use, and every
    // control making its own font would pay that again.
    static std::map<FontKey, QFont> made;
    return made.try_emplace(fontKey(font), font).first->second;
}

// One rendering, with its metrics, laid-out captions and glyphs, serves
// every font object of one description on one kind of surface.
static std::shared_ptr<gdi::FontRendering> sharedRendering(const QFont &font, bool mono)
{
    static std::map<std::pair<FontKey, bool>, std::shared_ptr<gdi::FontRendering>> made;
    std::shared_ptr<gdi::FontRendering> &found = made[{fontKey(font), mono}];
    if (!found) {
        QFont f = font;
        if (mono)
            f.setStyleStrategy(QFont::NoAntialias);
        found = std::make_shared<gdi::FontRendering>(f);
    }
    return found;
}

using namespace gdi;

HFONT CreateFontIndirectA(const LOGFONTA *lplf)
{
    if (!lplf)
        return 0;
    auto f = std::make_unique<Font>();
    f->logFont = *lplf;
    f->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return HandleTable::instance().add(std::move(f));
}

// One line shaped as QPainter::drawText shapes it, with glyph positions
// relative to the start of its baseline. Empty when the line holds a control
// character, whose handling differs between the two.
static std::vector<QGlyphRun> shapedLine(const QString &text, const QFont &font)
{
    std::vector<QGlyphRun> out;
    for (QChar c : text)
        if (c.unicode() < 0x20)
            return out;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return out;
    }
    line.setLineWidth(1e6);
    layout.endLayout();
    const qreal ascent = line.ascent();
    for (QGlyphRun run : layout.glyphRuns()) {
        QList<QPointF> positions = run.positions();
        for (QPointF &p : positions)
            p.ry() -= ascent;
        run.setPositions(positions);
        out.push_back(run);
    }
    return out;
}

namespace {

int s_stampedLines = 0;

// Multiplies each channel of a pixel by a coverage, v * a / 255 with the
// raster engine's rounding; two channels at a time in 16-bit lanes.
inline std::uint32_t mulPixel(std::uint32_t x, std::uint32_t a)
{
    std::uint32_t t = (x & 0xFF00FFu) * a;
    t = ((t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    std::uint32_t u = ((x >> 8) & 0xFF00FFu) * a;
    u = (u + ((u >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return t | u;
}

// Opaque ink over an opaque pixel at a glyph coverage, blended as the raster
// engine blends greyscale glyphs: ink * c + pixel * (255 - c), each product
// rounded. The two never carry into the next channel: together they are at
// most 255 in each.
const InkProducts &inkProducts(InkProducts &products, std::uint32_t ink)
{
    if (!products.ready || products.ink != ink) {
        for (std::uint32_t c = 0; c < 256; ++c)
            products.times[c] = mulPixel(ink, c);
        products.ink = ink;
        products.ready = true;
    }
    return products;
}

} // namespace

namespace {

QString faceKey(const QRawFont &raw)
{
    return raw.familyName() + u'|' + raw.styleName() + u'|' + QString::number(raw.pixelSize());
}

struct Origin
{
    int x, y;    // the pixel the glyph's origin falls in
    GlyphKey key; // glyph and the fraction left over
};

Origin originOf(quint32 index, QPointF p)
{
    const double fx = std::floor(p.x()), fy = std::floor(p.y());
    return {int(fx), int(fy), {index, int(std::lround((p.x() - fx) * 64)), int(std::lround((p.y() - fy) * 64))}};
}

// Renders glyphs in white on black, on the kind of image the surfaces are,
// each in a cell of its own so that none overlaps another, and keeps each
// one's coverage. False when the glyphs are not plain greyscale coverage
// (subpixel antialiasing, colour glyphs) or reach the edge of a cell.
bool captureGlyphs(const QRawFont &raw, const std::vector<GlyphKey> &keys, int ascent, int lineHeight,
                   FaceGlyphs &out)
{
    // A cell holds a glyph as wide as the line is high with a margin all
    // round.
    const int margin = 2 + lineHeight / 4;
    const int cell = lineHeight + 2 * margin;
    const int baseY = ascent + margin;
    const int count = int(keys.size());
    if (count == 0)
        return true;
    if (std::int64_t(count) * cell > 32768 || cell > 2048)
        return false;
    QImage image(count * cell, cell, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QList<quint32> indexes;
        QList<QPointF> positions;
        for (int g = 0; g < count; ++g) {
            indexes.append(keys[size_t(g)].index);
            positions.append(QPointF(g * cell + margin + keys[size_t(g)].fx / 64.0, baseY + keys[size_t(g)].fy / 64.0));
        }
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        QPainter painter(&image);
        painter.setPen(Qt::white);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    for (int g = 0; g < count; ++g) {
        const int cx = g * cell;
        int x0 = cell, y0 = cell, x1 = -1, y1 = -1;
        for (int y = 0; y < cell; ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y)) + cx;
            for (int x = 0; x < cell; ++x) {
                const int a = qBlue(row[x]);
                if (qRed(row[x]) != a || qGreen(row[x]) != a)
                    return false;
                if (a != 0) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
            }
        }
        GlyphCoverage glyph;
        if (x1 >= 0) {
            if (x0 == 0 || y0 == 0 || x1 == cell - 1 || y1 == cell - 1)
                return false;
            // Cell pixel (x, y) lies (x - cx - margin, y - baseY) from the glyph's origin pixel.
            glyph.left = x0 - margin;
            glyph.top = y0 - baseY;
            glyph.width = x1 - x0 + 1;
            glyph.height = y1 - y0 + 1;
            glyph.alpha.assign(size_t(glyph.stride()) * size_t(glyph.height), 0);
            glyph.rows.assign(size_t(glyph.height), {0, 0});
            for (int y = 0; y < glyph.height; ++y) {
                const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y0 + y)) + cx + x0;
                for (int x = 0; x < glyph.width; ++x) {
                    const auto a = std::uint8_t(qBlue(row[x]));
                    glyph.alpha[size_t(y) * size_t(glyph.stride()) + size_t(x)] = a;
                    auto &extent = glyph.rows[size_t(y)];
                    if (a != 0) {
                        if (extent.second == 0)
                            extent.first = std::uint16_t(x);
                        extent.second = std::uint16_t(x + 1);
                    }
                }
            }
        } // else nothing visible (a space): kept empty
        out.emplace(keys[size_t(g)], std::move(glyph));
    }
    return true;
}

// A background with a different value in every channel of nearby pixels.
inline std::uint32_t probePixel(int x, int y)
{
    return 0xFF000000u | std::uint32_t(((x * 67 + y * 29) & 0xFF) << 16) | std::uint32_t(((x * 13 + y * 101) & 0xFF) << 8)
           | std::uint32_t((x * 151 + y * 7) & 0xFF);
}

// Blends a line's glyphs in ink with their baseline starting at `origin`,
// inside `allowed`.
#ifdef __SSE2__
// Four pixels of a glyph row at a time, from x until end is reached or the
// next four would pass limit (the first pixel that may not be written);
// returns where it stopped. The four may run past end: the coverage there
// is zero (the row's padding included), which leaves a pixel as it is. The
// same products as mulPixel, in 16-bit lanes: ink * c + pixel * (255 - c),
// each rounded, so every pixel comes out as the one-at-a-time loop makes it
// (at c = 0 the pixel, at 255 the ink).
int stampFour(std::uint32_t *row, const std::uint8_t *alpha, int x, int end, int limit, std::uint32_t ink)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i inks = _mm_set1_epi32(int(ink));
    const __m128i inkWide = _mm_unpacklo_epi8(inks, zero);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(0x80);
    const auto rounded = [&](__m128i t) {
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
    };
    const auto blend = [&](__m128i pixels, __m128i cover) {
        return _mm_add_epi16(rounded(_mm_mullo_epi16(inkWide, cover)),
                             rounded(_mm_mullo_epi16(pixels, _mm_sub_epi16(full, cover))));
    };
    for (; x < end && x + 4 <= limit; x += 4) {
        std::uint32_t four;
        std::memcpy(&four, alpha + x, 4);
        if (four == 0)
            continue;
        if (four == 0xFFFFFFFFu) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(row + x), inks);
            continue;
        }
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + x));
        // Each coverage byte once per channel of its pixel, in 16-bit lanes.
        const __m128i bytes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(four)), _mm_cvtsi32_si128(int(four)));
        const __m128i covers = _mm_unpacklo_epi8(_mm_unpacklo_epi16(bytes, bytes), zero);
        const __m128i coversHigh = _mm_unpackhi_epi8(_mm_unpacklo_epi16(bytes, bytes), zero);
        const __m128i low = blend(_mm_unpacklo_epi8(pixels, zero), covers);
        const __m128i high = blend(_mm_unpackhi_epi8(pixels, zero), coversHigh);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(row + x), _mm_packus_epi16(low, high));
    }
    return x;
}
#endif

void stampLine(std::uint32_t *pixels, int stride, const Rect &allowed, QPoint origin, const TextCoverage &line,
               const InkProducts &ink)
{
#ifdef __SSE2__
    const bool byFour = fastPathsEnabled();
#endif
    for (const PlacedGlyph &placed : line) {
        const GlyphCoverage &g = *placed.glyph;
        const int gx = origin.x() + placed.x + g.left, gy = origin.y() + placed.y + g.top;
        const Rect box = Rect{gx, gy, gx + g.width, gy + g.height}.intersected(allowed);
        for (int y = box.top; y < box.bottom; ++y) {
            const auto [first, last] = g.rows[size_t(y - gy)];
            const int x0 = std::max(box.left, gx + first), x1 = std::min(box.right, gx + last);
            std::uint32_t *row = pixels + size_t(y) * size_t(stride);
            const std::uint8_t *alpha = g.alpha.data() + size_t(y - gy) * size_t(g.stride());
            int x = x0;
#ifdef __SSE2__
            if (byFour)
                x = stampFour(row, alpha - gx, x0, x1, allowed.right, ink.ink);
#endif
            for (; x < x1; ++x) {
                const std::uint32_t a = alpha[x - gx];
                if (a == 255)
                    row[x] = ink.ink;
                else if (a != 0)
                    row[x] = ink.times[a] + mulPixel(row[x], 255 - a);
            }
        }
    }
}

// Draws the line with Qt's painter over a varied background and checks that
// blending the kept coverage gives every pixel exactly the same, for a few
// inks.
bool blendMatchesPainter(const std::vector<QGlyphRun> &runs, const TextCoverage &line)
{
    if (line.empty())
        return true;
    Rect bounds{0, 0, 0, 0};
    bool first = true;
    for (const PlacedGlyph &placed : line) {
        const GlyphCoverage &g = *placed.glyph;
        const Rect r{placed.x + g.left, placed.y + g.top, placed.x + g.left + g.width, placed.y + g.top + g.height};
        bounds = first ? r : Rect{std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                                  std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
        first = false;
    }
    // The line drawn one pixel in from the corner of an image that holds it.
    const QPoint origin(1 - bounds.left, 1 - bounds.top);
    const int w = bounds.width() + 2, h = bounds.height() + 2;
    QImage painted(w, h, QImage::Format_RGB32);
    std::vector<std::uint32_t> blended(size_t(w) * size_t(h));
    InkProducts products;
    for (std::uint32_t ink : {0xFF3C8A1Fu, 0xFFF0E0D0u, 0xFF000000u}) {
        for (int y = 0; y < h; ++y) {
            auto *row = reinterpret_cast<QRgb *>(painted.scanLine(y));
            for (int x = 0; x < w; ++x)
                row[x] = blended[size_t(y) * size_t(w) + size_t(x)] = probePixel(x, y);
        }
        {
            QPainter painter(&painted);
            painter.setPen(QColor::fromRgb(ink));
            for (const QGlyphRun &run : runs)
                painter.drawGlyphRun(origin, run);
        }
        stampLine(blended.data(), w, Rect{0, 0, w, h}, origin, line, inkProducts(products, ink));
        for (int y = 0; y < h; ++y)
            if (std::memcmp(painted.constScanLine(y), blended.data() + size_t(y) * size_t(w), size_t(w) * 4) != 0)
                return false;
    }
    return true;
}

// Places a caption's glyphs from the store, taking the coverage of any
// glyph not met before; the first line with visible glyphs in a font also
// checks that blending agrees with the painter.
FontRendering::Layout::Stamp prepareStamp(FontRendering &rendering, FontRendering::Layout &entry, int ascent,
                                          int lineHeight)
{
    using Stamp = FontRendering::Layout::Stamp;
    FontGlyphs &store = rendering.glyphs;
    if (store.blendAgrees == false)
        return Stamp::Unusable;
    entry.coverage.assign(entry.glyphs.size(), TextCoverage{});
    for (size_t i = 0; i < entry.glyphs.size(); ++i) {
        TextCoverage &line = entry.coverage[i];
        for (const QGlyphRun &run : entry.glyphs[i]) {
            const QRawFont raw = run.rawFont();
            FaceGlyphs &face = store.faces[faceKey(raw)];
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            std::vector<GlyphKey> missing;
            for (qsizetype j = 0; j < indexes.size(); ++j) {
                const Origin o = originOf(indexes[j], positions[j]);
                if (!face.count(o.key) && std::find(missing.begin(), missing.end(), o.key) == missing.end())
                    missing.push_back(o.key);
            }
            if (!captureGlyphs(raw, missing, ascent, lineHeight, face)) {
                entry.coverage.clear();
                return Stamp::Unusable;
            }
            for (qsizetype j = 0; j < indexes.size(); ++j) {
                const Origin o = originOf(indexes[j], positions[j]);
                const GlyphCoverage &g = face.at(o.key);
                if (g.width > 0)
                    line.push_back({&g, o.x, o.y});
            }
        }
        if (!store.blendAgrees && !line.empty())
            store.blendAgrees = blendMatchesPainter(entry.glyphs[i], line);
        if (store.blendAgrees == false) {
            entry.coverage.clear();
            return Stamp::Unusable;
        }
    }
    return Stamp::Usable;
}

} // namespace

namespace gdi {

// Declared for tests in gdi/testsupport/GdiHooks.h.
int stampedTextLines()
{
    return s_stampedLines;
}

} // namespace gdi

static QFont dcFont(const DeviceContext *dc)
{
    if (Font *f = fontFor(dc->font))
        return f->qfont();
    return qfontFromLogFont(LOGFONTA{});
}

BOOL GetTextExtentPoint32A(HDC hdc, const char *lpString, int c, SIZE *psizl)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || !psizl || c < 0 || (c > 0 && !lpString))
        return FALSE;
    const QFontMetrics m(dcFont(dc));
    psizl->cx = m.horizontalAdvance(fromCodePage(lpString, c));
    psizl->cy = m.ascent() + m.descent();
    return TRUE;
}

int DrawTextA(HDC hdc, const char *lpchText, int cchText, RECT *lprc, UINT format)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || !lprc || (!lpchText && cchText != 0))
        return 0;
    const int length = cchText < 0 ? int(std::strlen(lpchText)) : cchText;
    const QString text = fromCodePage(lpchText, length);

    Bitmap *bm = targetOf(dc);
    const bool mono = bm && bm->isMono();
    TextLayoutOptions options;
    options.prefix = !(format & DT_NOPREFIX);
    options.wordBreak = format & DT_WORDBREAK;
    options.singleLine = format & DT_SINGLELINE;
    options.width = lprc->right - lprc->left;

    // The font as this surface draws it, and the caption's lines: from the
    // font's cache when the same text was laid out the same way.
    Font *fontObject = fastPathsEnabled() ? fontFor(dc->font) : nullptr;
    std::optional<FontRendering> local;
    FontRendering *rendering;
    if (fontObject) {
        std::shared_ptr<FontRendering> &slot = fontObject->rendering[mono ? 1 : 0];
        if (!slot)
            slot = sharedRendering(fontObject->qfont(), mono);
        rendering = slot.get();
    } else {
        QFont f = dcFont(dc);
        if (mono)
            f.setStyleStrategy(QFont::NoAntialias);
        rendering = &local.emplace(f);
    }
    const QFont &font = rendering->font;
    const QFontMetrics &metrics = rendering->metrics;
    const int ascent = rendering->ascent;
    const int lineHeight = ascent + rendering->descent;

    auto measure = [&](QStringView s) { return metrics.horizontalAdvance(s.toString()); };
    const std::vector<TextLine> *laidOut = nullptr;
    std::vector<TextLine> fresh;
    if (fontObject) {
        std::vector<FontRendering::Layout> &cache = rendering->layouts;
        for (const FontRendering::Layout &l : cache) {
            if (l.text == text && sameLayout(l.lines, l.options, options)) {
                laidOut = &l.lines;
                break;
            }
        }
        if (!laidOut) {
            constexpr size_t kKept = 64; // one font serves many controls
            if (cache.size() >= kKept)
                cache.erase(cache.begin());
            FontRendering::Layout added;
            added.text = text;
            added.options = options;
            added.lines = layoutText(text, options, measure);
            cache.push_back(std::move(added));
            laidOut = &cache.back().lines;
        }
    } else {
        fresh = layoutText(text, options, measure);
        laidOut = &fresh;
    }
    const std::vector<TextLine> &lines = *laidOut;
    // The shaped glyphs of each line, kept with the cached layout, so a
    // repeated caption is not shaped again. Only for plain lines: decorated
    // fonts and tabs take the text path.
    std::vector<std::vector<QGlyphRun>> *glyphCache = nullptr;
    FontRendering::Layout *entry = nullptr;
    if (fontObject && !font.underline() && !font.strikeOut() && !font.overline()) {
        entry = &*std::find_if(rendering->layouts.begin(), rendering->layouts.end(),
                               [&](const FontRendering::Layout &l) { return &l.lines == laidOut; });
        glyphCache = &entry->glyphs;
    }
    const int height = int(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine &l : lines)
            widest = std::max(widest, l.width);
        lprc->right = lprc->left + widest;
        lprc->bottom = lprc->top + height;
        return height;
    }
    if (!bm)
        return height; // a screen DC shows nothing

    // Where the text may draw. With no clip, or a rectangular one, that is a
    // rectangle and no region needs to be built.
    const Rect textBox = Rect{lprc->left, lprc->top, lprc->right, lprc->bottom}.normalized();
    const Region *clip = dc->clip ? &*dc->clip : nullptr;
    const bool rectangular = fontObject && (!clip || clip->isEmpty() || clip->rectCount() == 1);
    Rect allowedRect;
    Region allowed;
    if (rectangular) {
        allowedRect = Rect{0, 0, bm->width, bm->height};
        if (clip)
            allowedRect = allowedRect.intersected(clip->boundingRect());
        if (!(format & DT_NOCLIP))
            allowedRect = allowedRect.intersected(textBox);
        if (allowedRect.isEmpty() || lines.empty())
            return height;
        if (dc->bkMode == OPAQUE)
            allowed = Region(allowedRect);
    } else {
        allowed = drawableArea(dc, bm);
        if (!(format & DT_NOCLIP))
            allowed = allowed.intersected(textBox);
        if (allowed.isEmpty() || lines.empty())
            return height;
    }

    int top = lprc->top;
    if (options.singleLine && (format & DT_VCENTER))
        top = lprc->top + (lprc->bottom - lprc->top - lineHeight) / 2;
    else if (options.singleLine && (format & DT_BOTTOM))
        top = lprc->bottom - lineHeight;

    const std::uint32_t ink = surfacePixel(bm, dc->textColor);
    const bool opaque = dc->bkMode == OPAQUE;
    if (opaque) {
        std::vector<RowSpan> cells;
        Region cellRegion;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int x = (format & DT_CENTER) ? (lprc->left + lprc->right - lines[i].width) / 2
                        : (format & DT_RIGHT)  ? lprc->right - lines[i].width
                                               : lprc->left;
            const int y = top + int(i) * lineHeight;
            cellRegion = cellRegion.united(Region(Rect{x, y, x + lines[i].width, y + lineHeight}));
        }
        fillRegion(dc, cellRegion.intersected(allowed), dc->bkColor);
    }

    using Stamp = FontRendering::Layout::Stamp;
    if (glyphCache && glyphCache->size() != lines.size()) {
        glyphCache->clear();
        for (const TextLine &line : lines) {
            glyphCache->push_back(shapedLine(line.text, font));
            if (glyphCache->back().empty() && !line.text.isEmpty()) {
                glyphCache = nullptr; // nothing to reuse: draw as text
                break;
            }
        }
    }
    const int underlineY = ascent + std::max(1, rendering->underlinePos);
    const int underlineH = std::max(1, rendering->lineWidth);
    auto lineX = [&](const TextLine &line) {
        return (format & DT_CENTER) ? (lprc->left + lprc->right - line.width) / 2
             : (format & DT_RIGHT)  ? lprc->right - line.width
                                    : lprc->left;
    };

    // The glyphs' coverage, taken once per glyph and font, is blended
    // straight into the surface, without a painter.
    if (glyphCache && rectangular) {
        if (entry->stamp == Stamp::Unknown)
            entry->stamp = prepareStamp(*rendering, *entry, ascent, lineHeight);
        if (entry->stamp == Stamp::Usable) {
            for (size_t i = 0; i < lines.size(); ++i) {
                const TextLine &line = lines[i];
                const int x = lineX(line);
                const int y = top + int(i) * lineHeight;
                stampLine(bm->pixels.data(), bm->width, allowedRect, QPoint(x, y + ascent), entry->coverage[i],
                          inkProducts(entry->products, ink));
                ++s_stampedLines;
                if (line.underline >= 0) {
                    const int x0 = x + metrics.horizontalAdvance(line.text.left(line.underline));
                    const int x1 = x + metrics.horizontalAdvance(line.text.left(line.underline + 1));
                    fillRect(dc, Rect{x0, y + underlineY, x1, y + underlineY + underlineH}.intersected(allowedRect),
                             dc->textColor);
                }
            }
            notifyDrawn(dc);
            return height;
        }
    }

    QImage image = bitmapImage(dc->bitmap);
    {
        QPainter painter(&image);
        if (rectangular) {
            painter.setClipRect(QRect(allowedRect.left, allowedRect.top, allowedRect.width(), allowedRect.height()));
        } else {
            QList<QRect> rects;
            for (const Region::Band &b : allowed.bands())
                for (const Span &s : allowed.spans(b))
                    rects.append(QRect(s.x1, b.top, s.x2 - s.x1, b.bottom - b.top));
            QRegion clipRegion;
            clipRegion.setRects(rects.constData(), int(rects.size()));
            painter.setClipRegion(clipRegion);
        }
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(ink));
        for (size_t i = 0; i < lines.size(); ++i) {
            const TextLine &line = lines[i];
            const int x = lineX(line);
            const int y = top + int(i) * lineHeight;
            const QPoint baseline(x, y + ascent);
            const std::vector<QGlyphRun> *runs = glyphCache ? &glyphCache->at(i) : nullptr;
            if (runs) {
                for (const QGlyphRun &run : *runs)
                    painter.drawGlyphRun(baseline, run);
            } else {
                painter.drawText(baseline, line.text);
            }
            if (line.underline >= 0) {
                const int x0 = x + metrics.horizontalAdvance(line.text.left(line.underline));
                const int x1 = x + metrics.horizontalAdvance(line.text.left(line.underline + 1));
                painter.fillRect(QRect(x0, y + underlineY, x1 - x0, underlineH), QColor::fromRgb(ink));
            }
        }
    }
    notifyDrawn(dc);
    return height;
}
