#pragma once
// The objects behind GDI handles, and the one table that owns them.

#include "region.h"

#include <gdi/bridge.h>
#include <gdi/gdi.h>

#include "text.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <unordered_map>
#include <type_traits>
#include <utility>
#include <vector>

namespace gdi {

// Pixels are 0xffRRGGBB (what QImage::Format_RGB32 reads); COLORREFs are
// 0x00BBGGRR.
inline std::uint32_t toPixel(COLORREF c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF toColorRef(std::uint32_t p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
inline constexpr std::uint32_t kBlack = 0xFF000000u;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
// The nearest of black and white, for monochrome surfaces.
inline std::uint32_t toMono(std::uint32_t p)
{
    const int sum = int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF);
    return sum >= 384 ? kWhite : kBlack;
}

// An allocator whose resize() leaves new elements uninitialised: pixel
// stores are written in full right after they are sized, so zeroing them
// first would be wasted work.
template<typename T>
struct UninitAllocator : std::allocator<T>
{
    template<typename U>
    struct rebind
    {
        using other = UninitAllocator<U>;
    };
    UninitAllocator() = default;
    template<typename U>
    UninitAllocator(const UninitAllocator<U> &) noexcept
    {
    }
    template<typename U>
    void construct(U *p) noexcept
    {
        ::new (static_cast<void *>(p)) U;
    }
    template<typename U, typename... Args>
    void construct(U *p, Args &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
};
using PixelStore = std::vector<std::uint32_t, UninitAllocator<std::uint32_t>>;

struct Object
{
    explicit Object(Kind k) : kind(k) { }
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
    int selectCount = 0; // DCs holding it
};

// A bitmap is always stored as 32-bit pixels; a monochrome one holds only
// kBlack (bit 0) and kWhite (bit 1).
struct Bitmap : Object
{
    Bitmap() : Object(Kind::Bitmap) { }
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32; // 1 or 32
    bool addressable = false; // reports bmBits (loaded from a file)
    PixelStore pixels;

    bool isMono() const { return bitsPerPixel == 1; }
    std::uint32_t *row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const std::uint32_t *row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
};

struct Pen : Object
{
    Pen() : Object(Kind::Pen) { }
    int style = PS_SOLID;
    int width = 1;
    COLORREF colour = 0;
};

struct Brush : Object
{
    Brush() : Object(Kind::Brush) { }
    bool hollow = false;
    COLORREF colour = 0;
};

// Fonts (text.cpp).
QFont qfontFromLogFont(const LOGFONTA &lf);

// One glyph's antialiased coverage (0..255) at one fraction of a pixel, in a
// box placed relative to the pixel its origin falls in.
struct GlyphCoverage
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;
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

struct Font : Object
{
    Font() : Object(Kind::Font) { }
    LOGFONTA logFont{};
    QFont font; // built on first use: needs the GUI application
    bool built = false;
    // [0] on colour surfaces, [1] on monochrome ones (no antialiasing);
    // shared by every font object of the same description (text.cpp).
    std::shared_ptr<FontRendering> rendering[2];
    const QFont &qfont()
    {
        if (!built) {
            font = qfontFromLogFont(logFont);
            built = true;
        }
        return font;
    }
};

struct RegionObject : Object
{
    RegionObject() : Object(Kind::Region) { }
    Region region;
};

// One image of an icon: straight-alpha ARGB colour (alpha unused unless
// hasAlpha) and the AND mask, 1 = transparent.
struct IconImage
{
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    bool monochrome = false; // black-and-white icon: no colour bitmap
    PixelStore colour;
    std::vector<std::uint8_t> mask;
};

struct Icon : Object
{
    Icon() : Object(Kind::Icon) { }
    std::vector<IconImage> images;
    int current = 0; // the icon's own image
    const IconImage &image() const { return images[size_t(current)]; }
};

struct DeviceContext : Object
{
    DeviceContext() : Object(Kind::DC) { }
    bool memory = true; // false: a screen DC from GetDC(0)
    HBITMAP bitmap = 0;
    HPEN pen = 0;
    HBRUSH brush = 0;
    HFONT font = 0;
    std::optional<Region> clip;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    int mapMode = MM_TEXT;
    POINT position{0, 0};
    std::function<void()> notifier;
};

// Owns every object. Handles count up and are never reused, so a deleted
// handle can never reach a newer object.
class HandleTable
{
public:
    static HandleTable &instance()
    {
        static HandleTable table;
        return table;
    }

    HGDIOBJ add(std::unique_ptr<Object> object);
    Object *find(HGDIOBJ h) const
    {
        const std::size_t index = std::size_t(h) & kIndexMask;
        return index < m_slots.size() && m_slots[index].handle == h && h != 0 ? m_slots[index].object.get()
                                                                             : nullptr;
    }
    template<typename T>
    T *get(HGDIOBJ h, Kind kind) const
    {
        Object *o = find(h);
        return o && o->kind == kind ? static_cast<T *>(o) : nullptr;
    }
    void remove(HGDIOBJ h) { remove(h, find(h)); }
    // Removes the object a handle was found to name.
    void remove(HGDIOBJ h, Object *o);
    // A fresh object of a kind, from the deleted ones kept for reuse when
    // there is one (reset to a new object's state).
    template<typename T>
    std::unique_ptr<T> reuse(Kind kind)
    {
        std::vector<std::unique_ptr<Object>> &spare = m_spare[size_t(kind)];
        if (spare.empty())
            return std::make_unique<T>();
        std::unique_ptr<T> object(static_cast<T *>(spare.back().release()));
        spare.pop_back();
        if constexpr (std::is_same_v<T, RegionObject>) {
            // A region keeps its storage for the next shape.
            object->selectCount = 0;
            object->region.clear();
        } else {
            *object = T();
        }
        return object;
    }
    int live(Kind kind) const { return m_live[size_t(kind)]; }
    int liveTotal() const;
    HGDIOBJ stock(int index);
    HBITMAP stockBitmap();

private:
    HandleTable();
    HGDIOBJ addStock(std::unique_ptr<Object> object);
    // A handle is a serial number above the index of the slot that holds its
    // object. Slots are reused, serials never: a stale handle names a slot
    // whose handle no longer matches, so it finds nothing.
    static constexpr int kIndexBits = 20;
    static constexpr std::size_t kIndexMask = (std::size_t(1) << kIndexBits) - 1;
    struct Slot
    {
        HGDIOBJ handle = 0;
        std::unique_ptr<Object> object;
    };
    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_freeSlots;
    HGDIOBJ m_serial = 1;
    static constexpr size_t kSpare = 8;
    std::array<std::vector<std::unique_ptr<Object>>, 7> m_spare;
    std::array<int, 7> m_live{};
    std::array<HGDIOBJ, 32> m_stock{};
    HBITMAP m_stockBitmap = 0;
};

inline DeviceContext *dcFor(HDC h) { return HandleTable::instance().get<DeviceContext>(h, Kind::DC); }
inline Bitmap *bitmapFor(HBITMAP h) { return HandleTable::instance().get<Bitmap>(h, Kind::Bitmap); }
inline Pen *penFor(HPEN h) { return HandleTable::instance().get<Pen>(h, Kind::Pen); }
inline Brush *brushFor(HBRUSH h) { return HandleTable::instance().get<Brush>(h, Kind::Brush); }
inline Font *fontFor(HFONT h) { return HandleTable::instance().get<Font>(h, Kind::Font); }
inline RegionObject *regionFor(HRGN h) { return HandleTable::instance().get<RegionObject>(h, Kind::Region); }
inline Icon *iconFor(HICON h) { return HandleTable::instance().get<Icon>(h, Kind::Icon); }

// The bitmap a memory DC draws into; null for a screen DC.
Bitmap *targetOf(const DeviceContext *dc);

// A new bitmap, or null when the size is out of range (nothing allocated).
// Its pixels are black, or left unset for a caller that writes every one
// of them next (clear = false).
std::unique_ptr<Bitmap> makeBitmap(int width, int height, int bitsPerPixel, bool clear = true);
inline constexpr int kMaxBitmapSide = 16384;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 26;

void notifyDrawn(DeviceContext *dc);

// Pixel pipeline shared by the drawing calls.

// Device pixels a drawing call may write: the bitmap's area and the clip.
Region drawableArea(const DeviceContext *dc, const Bitmap *bm);

// Calls fn(a, b) for each part of the run [x1, x2) that one row of clip spans
// lets through; a null row means no clip.
template<typename Fn>
void forEachClippedRun(const Region::Row *clipRow, int x1, int x2, Fn &&fn)
{
    if (!clipRow) {
        if (x1 < x2)
            fn(x1, x2);
        return;
    }
    for (const Span &c : *clipRow) {
        if (c.x1 >= x2)
            break;
        const int a = std::max(x1, c.x1), b = std::min(x2, c.x2);
        if (a < b)
            fn(a, b);
    }
}

// Calls fn(y, x1, x2) for every run of `shape` that lies inside the bitmap
// and the DC's clip: the one place where drawing meets clipping.
template<typename Fn>
void forEachDrawableSpan(const DeviceContext *dc, const Bitmap *bm, const Region &shape, Fn &&fn)
{
    const Region *clip = dc->clip ? &*dc->clip : nullptr;
    for (const Region::Band &band : shape.bands()) {
        const int y0 = std::max(band.top, 0), y1 = std::min(band.bottom, bm->height);
        for (int y = y0; y < y1; ++y) {
            const Region::Row clipRow = clip ? clip->rowSpans(y) : Region::Row();
            if (clip && clipRow.empty())
                continue;
            for (const Span &s : shape.spans(band)) {
                const int x1 = std::max(s.x1, 0), x2 = std::min(s.x2, bm->width);
                forEachClippedRun(clip ? &clipRow : nullptr, x1, x2, [&](int a, int b) { fn(y, a, b); });
            }
        }
    }
}

// Writes n copies of one pixel: short runs here, long ones in fillLongRun.
void fillLongRun(std::uint32_t *row, int n, std::uint32_t px);
inline void fillPixels(std::uint32_t *row, int n, std::uint32_t px)
{
    if (n >= 16) {
        fillLongRun(row, n, px);
        return;
    }
    for (int i = 0; i < n; ++i)
        row[i] = px;
}
// Fills region & drawable area with one colour (COLORREF), as the DC's
// surface format requires.
void fillRegion(DeviceContext *dc, const Region &region, COLORREF colour);
// The same for a rectangle (normalised), without building a region.
void fillRect(DeviceContext *dc, const Rect &rect, COLORREF colour);
// The same for a list of runs that may overlap.
void fillSpans(DeviceContext *dc, const std::vector<RowSpan> &spans, COLORREF colour);
std::uint32_t surfacePixel(const Bitmap *bm, COLORREF colour);

// StretchBlt's index maps. For each destination index, the first source
// index and the count of sources that merge into it.
struct IndexRange
{
    int first;
    int count;
};
std::vector<IndexRange> stretchMap(int srcSize, int dstSize);

// Icon helpers (icon.cpp).
IconImage scaledIconImage(const IconImage &img, int width, int height);
int nearestImage(const std::vector<IconImage> &images, int width, int height);

// Decoders (imagefile.cpp): outside data, bounds-checked.
bool decodeIcon(const QByteArray &data, std::vector<IconImage> *images, QString *error);
std::unique_ptr<Bitmap> decodeBitmap(const QByteArray &data, QString *error);


} // namespace gdi
