// The fills every drawing call ends in.

#include "fill.h"
#include "raster.h"

#include <cwchar>

namespace gdi {

Region drawableArea(const DeviceContext *dc, const Bitmap *bm)
{
    Region area(Rect{0, 0, bm->width, bm->height});
    if (dc->clip)
        area = area.intersected(*dc->clip);
    return area;
}

std::uint32_t surfacePixel(const Bitmap *bm, COLORREF colour)
{
    const std::uint32_t p = toPixel(colour);
    return bm->isMono() ? toMono(p) : p;
}

void fillLongRun(std::uint32_t *row, int n, std::uint32_t px)
{
    // Long runs go to the C library's wide-character fill, which writes
    // several pixels per instruction; wchar_t is 32 bits here.
    static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
    if (fastPathsEnabled())
        std::wmemset(reinterpret_cast<wchar_t *>(row), static_cast<wchar_t>(px), size_t(n));
    else
        std::fill(row, row + n, px);
}

void fillRegion(DeviceContext *dc, const Region &region, COLORREF colour)
{
    Bitmap *bm = targetOf(dc);
    if (!bm || region.isEmpty())
        return;
    const std::uint32_t px = surfacePixel(bm, colour);
    forEachDrawableSpan(dc, bm, region, [&](int y, int x1, int x2) {
        Q_ASSERT(y >= 0 && y < bm->height && x1 >= 0 && x2 <= bm->width);
        std::uint32_t *row = bm->row(y);
        fillPixels(row + x1, x2 - x1, px);
    });
}

void fillRect(DeviceContext *dc, const Rect &rect, COLORREF colour)
{
    Bitmap *bm = targetOf(dc);
    if (!bm)
        return;
    const Rect box = rect.intersected(Rect{0, 0, bm->width, bm->height});
    if (box.isEmpty())
        return;
    const std::uint32_t px = surfacePixel(bm, colour);
    if (!dc->clip) {
        for (int y = box.top; y < box.bottom; ++y)
            fillPixels(bm->row(y) + box.left, box.width(), px);
        return;
    }
    // Band by band: the rows of one band share their clip spans.
    const std::vector<Region::Band> &bands = dc->clip->bands();
    auto band = std::upper_bound(bands.begin(), bands.end(), box.top,
                                 [](int v, const Region::Band &b) { return v < b.bottom; });
    for (; band != bands.end() && band->top < box.bottom; ++band) {
        const Region::Row clipRow = dc->clip->spans(*band);
        const int y1 = std::min(band->bottom, box.bottom);
        for (int y = std::max(band->top, box.top); y < y1; ++y) {
            std::uint32_t *row = bm->row(y);
            forEachClippedRun(&clipRow, box.left, box.right, [&](int a, int b) { fillPixels(row + a, b - a, px); });
        }
    }
}

void fillSpans(DeviceContext *dc, const std::vector<RowSpan> &spans, COLORREF colour)
{
    Bitmap *bm = targetOf(dc);
    if (!bm)
        return;
    const std::uint32_t px = surfacePixel(bm, colour);
    const Region *clip = dc->clip ? &*dc->clip : nullptr;
    // Lines give runs on neighbouring rows: the clip band of the last run is
    // tried before searching.
    const Region::Band *band = nullptr;
    for (const RowSpan &s : spans) {
        if (s.y < 0 || s.y >= bm->height)
            continue;
        const int x1 = std::max(s.x1, 0), x2 = std::min(s.x2, bm->width);
        if (x1 >= x2)
            continue;
        if (clip && (!band || s.y < band->top || s.y >= band->bottom)) {
            const std::vector<Region::Band> &bands = clip->bands();
            auto it = std::upper_bound(bands.begin(), bands.end(), s.y,
                                       [](int v, const Region::Band &b) { return v < b.bottom; });
            band = it == bands.end() || s.y < it->top ? nullptr : &*it;
        }
        if (clip && !band)
            continue;
        std::uint32_t *row = bm->row(s.y);
        const Region::Row clipRow = clip ? clip->spans(*band) : Region::Row();
        forEachClippedRun(clip ? &clipRow : nullptr, x1, x2,
                          [&](int a, int b) { fillPixels(row + a, b - a, px); });
    }
}

} // namespace gdi
