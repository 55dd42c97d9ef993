// The handle table and the objects it owns.

#include "handles.h"
#include "fill.h"
#include "raster.h"

#include <cstring>

namespace gdi {

HandleTable::HandleTable()
{
    auto brush = [](COLORREF c, bool hollow) {
        auto b = std::make_unique<Brush>();
        b->colour = c;
        b->hollow = hollow;
        return b;
    };
    auto pen = [](COLORREF c, int style) {
        auto p = std::make_unique<Pen>();
        p->colour = c;
        p->style = style;
        return p;
    };
    m_stock[WHITE_BRUSH] = addStock(brush(RGB(255, 255, 255), false));
    m_stock[LTGRAY_BRUSH] = addStock(brush(RGB(192, 192, 192), false));
    m_stock[GRAY_BRUSH] = addStock(brush(RGB(128, 128, 128), false));
    m_stock[DKGRAY_BRUSH] = addStock(brush(RGB(64, 64, 64), false));
    m_stock[BLACK_BRUSH] = addStock(brush(RGB(0, 0, 0), false));
    m_stock[NULL_BRUSH] = addStock(brush(0, true));
    m_stock[WHITE_PEN] = addStock(pen(RGB(255, 255, 255), PS_SOLID));
    m_stock[BLACK_PEN] = addStock(pen(0, PS_SOLID));
    m_stock[NULL_PEN] = addStock(pen(0, PS_NULL));
    for (int index : {SYSTEM_FONT, DEFAULT_GUI_FONT}) {
        auto f = std::make_unique<Font>();
        f->logFont.lfHeight = index == SYSTEM_FONT ? -13 : -11;
        f->logFont.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
        f->logFont.lfCharSet = DEFAULT_CHARSET;
        std::strcpy(f->logFont.lfFaceName, "MS Sans Serif");
        m_stock[index] = addStock(std::move(f));
    }
    auto bm = std::make_unique<Bitmap>();
    bm->width = bm->height = 1;
    bm->bitsPerPixel = 1;
    bm->pixels.assign(1, kBlack);
    m_stockBitmap = addStock(std::move(bm));
}

HGDIOBJ HandleTable::addStock(std::unique_ptr<Object> object)
{
    object->stock = true;
    --m_live[size_t(object->kind)]; // stock objects are not counted as live
    return add(std::move(object));
}

HGDIOBJ HandleTable::add(std::unique_ptr<Object> object)
{
    Q_ASSERT_X(object, "HandleTable::add", "null object");
    std::size_t index;
    if (!m_freeSlots.empty()) {
        index = m_freeSlots.back();
        m_freeSlots.pop_back();
    } else {
        index = m_slots.size();
        if (index > kIndexMask)
            return 0; // a million live objects: refuse rather than collide
        m_slots.emplace_back();
    }
    ++m_live[size_t(object->kind)];
    const HGDIOBJ h = nextHandle(index);
    m_slots[index] = Slot{h, std::move(object)};
    return h;
}

void HandleTable::remove(HGDIOBJ h, Object *o)
{
    if (!o || o->stock)
        return;
    const std::size_t index = std::size_t(h) & kIndexMask;
    Slot &slot = m_slots[index];
    --m_live[size_t(o->kind)];
    const Kind kind = o->kind;
    if ((kind == Kind::Pen || kind == Kind::Brush) && fastPathsEnabled()) {
        std::vector<std::uint32_t> &kept = m_keptTools[size_t(kind == Kind::Brush)];
        if (kept.size() < kSpare) {
            slot.handle = 0; // found no more; addTool() takes the object again
            kept.push_back(std::uint32_t(index));
            return;
        }
    }
    // Regions come and go on every shape built: a few small ones are kept
    // for reuse with their storage.
    std::vector<std::unique_ptr<Object>> &spare = m_spare[size_t(kind)];
    const bool reusable = kind == Kind::Region && static_cast<RegionObject *>(o)->region.spanCapacity() <= 64;
    if (reusable && spare.size() < kSpare && fastPathsEnabled())
        spare.push_back(std::move(slot.object));
    slot = Slot{};
    m_freeSlots.push_back(std::uint32_t(index));
}

int HandleTable::liveTotal() const
{
    int n = 0;
    for (int v : m_live)
        n += v;
    return n;
}

HGDIOBJ HandleTable::stock(int index)
{
    return index >= 0 && index < int(m_stock.size()) ? m_stock[size_t(index)] : 0;
}

HBITMAP HandleTable::stockBitmap() { return m_stockBitmap; }

std::unique_ptr<Bitmap> makeBitmap(int width, int height, int bitsPerPixel, bool clear)
{
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide
        || std::int64_t(width) * height > kMaxBitmapPixels)
        return nullptr;
    auto bm = std::make_unique<Bitmap>();
    bm->width = width;
    bm->height = height;
    bm->bitsPerPixel = bitsPerPixel == 1 ? 1 : 32;
    bm->pixels.resize(size_t(width) * size_t(height));
    if (clear)
        fillPixels(bm->pixels.data(), width * height, kBlack);
    return bm;
}

void notifyDrawn(DeviceContext *dc)
{
    if (dc && dc->notifier) {
        auto copy = dc->notifier; // the notifier may replace itself
        copy();
    }
}
HRGN addRegion(Region &&r)
{
    auto o = HandleTable::instance().reuse<RegionObject>(Kind::Region);
    o->region = std::move(r);
    return HandleTable::instance().add(std::move(o));
}

// Declared for tests in gdi/testsupport/GdiHooks.h.
int liveObjects(Kind kind) { return HandleTable::instance().live(kind); }
int liveObjectsTotal() { return HandleTable::instance().liveTotal(); }

} // namespace gdi
