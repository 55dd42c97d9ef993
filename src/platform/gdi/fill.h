#pragma once
// Pixel values and the fills every drawing call ends in: one colour over a
// region, a rectangle or a list of runs, always inside the bitmap and the
// DC's clip.

#include "handles.h"
#include "region.h"

#include <gdi/gdi.h>

#include <algorithm>
#include <cstdint>
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

} // namespace gdi
