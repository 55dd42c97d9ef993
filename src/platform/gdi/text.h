#pragma once
// Text layout for DrawTextA: line breaking and prefix processing follow the
// GDI rules; only glyph advances come from the font.

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace gdi {

struct TextLine
{
    QString text;
    int width = 0;
    int underline = -1; // index in text of the character after a single '&'
    // Word breaking: the widest measure that was found to fit and the first
    // that was not. Any room from the one up to below the other breaks the
    // line the same way.
    int fitted = 0;
    int overflow = std::numeric_limits<int>::max();
};

struct TextLayoutOptions
{
    bool prefix = true;     // '&' marks the access key
    bool wordBreak = false; // break between words at `width`
    bool singleLine = false;
    int width = 0;          // room for a line, in pixels
};

// Measures the advance width of a string in pixels.
using Measure = std::function<int(QStringView)>;

std::vector<TextLine> layoutText(const QString &text, const TextLayoutOptions &options, const Measure &measure);

// Whether laying out with `options` would give exactly `lines`, laid out with
// `before` (same text).
bool sameLayout(const std::vector<TextLine> &lines, const TextLayoutOptions &before, const TextLayoutOptions &options);

// One glyph's antialiased coverage (0..255) at one fraction of a pixel, in a
// box placed relative to the pixel its origin falls in.
struct GlyphCoverage
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    // Rows are stride() bytes apart: three zero bytes past each row let four
    // coverage bytes be read from any column of it.
    std::vector<std::uint8_t> alpha;
    int stride() const { return width + 3; }
    // Per row, the columns from the first to past the last covered pixel.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> rows;
};

// A glyph of a line: its coverage (kept by text.cpp for the life of the
// process) and the pixel its origin falls in, from the start of the baseline.
// A line keeps its glyphs in drawing order: where two glyphs touch one pixel
// it is blended twice, as the painter does.
struct PlacedGlyph
{
    const GlyphCoverage *glyph = nullptr;
    int x = 0;
    int y = 0;
};
using TextCoverage = std::vector<PlacedGlyph>;

// An ink times every coverage, made once per ink.
struct InkProducts
{
    std::uint32_t ink = 0;
    bool ready = false;
    std::array<std::uint32_t, 256> times{};
};

// Glyph coverage taken so far for one font as drawn, per face the shaper
// picked glyphs from, by glyph and fraction of a pixel (in 64ths) of its
// origin. Entries are never dropped: there are at most as many as the glyphs
// drawn at their fractions, and laid-out lines point at them.
struct GlyphKey
{
    quint32 index;
    int fx;
    int fy;
    bool operator==(const GlyphKey &) const = default;
};
struct GlyphKeyHash
{
    size_t operator()(const GlyphKey &k) const { return size_t(k.index) * 4099u + size_t(k.fx) * 67u + size_t(k.fy); }
};
using FaceGlyphs = std::unordered_map<GlyphKey, GlyphCoverage, GlyphKeyHash>;
struct FontGlyphs
{
    std::unordered_map<QString, FaceGlyphs> faces;
    std::optional<bool> blendAgrees; // found out on the first line drawn
};

// A font as one kind of surface draws it, with what DrawTextA reuses from
// call to call (text.cpp). Fonts never change after they are made, so nothing
// here goes stale; it is shared by the font objects of one description and
// kept for the life of the process.
struct FontRendering
{
    explicit FontRendering(const QFont &f)
        : font(f), metrics(f), ascent(metrics.ascent()), descent(metrics.descent()),
          underlinePos(metrics.underlinePos()), lineWidth(metrics.lineWidth())
    {
    }
    QFont font;
    QFontMetrics metrics;
    // The metrics every draw asks for, read once.
    int ascent;
    int descent;
    int underlinePos;
    int lineWidth;
    struct Layout
    {
        QString text;
        TextLayoutOptions options;
        std::vector<TextLine> lines;
        std::vector<std::vector<QGlyphRun>> glyphs; // per line, once drawn
        // Each line's glyph coverage, once it has been checked that blending
        // it gives exactly what Qt's painter gives (text.cpp).
        enum class Stamp { Unknown, Usable, Unusable };
        Stamp stamp = Stamp::Unknown;
        std::vector<TextCoverage> coverage;
        InkProducts products;
    };
    std::vector<Layout> layouts; // the most recent few
    FontGlyphs glyphs;
};

// Windows-1252 (the system code page of the original) to Unicode.
QString fromCodePage(const char *text, int length);

} // namespace gdi
