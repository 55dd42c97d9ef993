#pragma once
// The objects behind GDI handles, and the one table that owns them.

#include "region.h"

#include <gdi/bridge.h>
#include <gdi/gdi.h>

#include <QFont>

#include <array>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace gdi {

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
struct FontRendering;

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
    int pixelsPerInch = 96; // GetDeviceCaps(LOGPIXELSX / LOGPIXELSY)
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
    // A new pen or brush, in a new object's state, and its handle (0 and
    // null when the table is full). Pens and brushes come and go on every
    // redraw: a few deleted ones stay in their slots to be taken again.
    template<typename T>
    T *addTool(HGDIOBJ &handle)
    {
        static_assert(std::is_same_v<T, Pen> || std::is_same_v<T, Brush>);
        const Kind kind = std::is_same_v<T, Pen> ? Kind::Pen : Kind::Brush;
        std::vector<std::uint32_t> &kept = m_keptTools[size_t(kind == Kind::Brush)];
        if (kept.empty()) {
            auto fresh = std::make_unique<T>();
            T *object = fresh.get();
            handle = add(std::move(fresh));
            return handle != 0 ? object : nullptr;
        }
        const std::uint32_t index = kept.back();
        kept.pop_back();
        Slot &slot = m_slots[index];
        T *object = static_cast<T *>(slot.object.get());
        *object = T();
        ++m_live[size_t(kind)];
        handle = slot.handle = nextHandle(index);
        return object;
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
    HGDIOBJ nextHandle(std::size_t index) { return (m_serial++ << kIndexBits) | HGDIOBJ(index); }
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
    // Free slots that still hold a deleted pen ([0]) or brush ([1]); other
    // kinds never get these slots.
    std::array<std::vector<std::uint32_t>, 2> m_keptTools;
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
inline Bitmap *targetOf(const DeviceContext *dc)
{
    return dc && dc->memory ? bitmapFor(dc->bitmap) : nullptr;
}

// A new bitmap, or null when the size is out of range (nothing allocated).
// Its pixels are black, or left unset for a caller that writes every one
// of them next (clear = false).
std::unique_ptr<Bitmap> makeBitmap(int width, int height, int bitsPerPixel, bool clear = true);
inline constexpr int kMaxBitmapSide = 16384;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 26;

void notifyDrawn(DeviceContext *dc);

// A new region object holding `region` (0 when the table is full).
HRGN addRegion(Region &&region);

} // namespace gdi
