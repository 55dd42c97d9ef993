// Shapes, pixels and block transfers.
//
// Every shape is first turned into the set of device pixels it covers (a
// Region), independent of clipping; fillRegion() then intersects that set
// with the bitmap and the clip and writes it. So clipping never changes which
// pixels a shape lights, only which of them reach the surface.

#include "handles.h"
#include "fill.h"
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gdi {

// Adds pixel (x,y), joining it to the previous run when they touch on a row.
static inline void plot(std::vector<RowSpan> &out, int x, int y)
{
    if (!out.empty()) {
        RowSpan &last = out.back();
        if (last.y == y && last.x2 == x) {
            ++last.x2;
            return;
        }
        if (last.y == y && last.x1 == x + 1) {
            --last.x1;
            return;
        }
    }
    out.push_back({y, x, x + 1});
}

// Declared for tests in gdi/testsupport/GdiHooks.h.
void setFastPathsEnabled(bool enabled) { g_fastPaths = enabled; }

// A row or column segment as a box one pixel thick, its end pixel left out:
// x0..x1-1 going right, x1+1..x0 going left; likewise down and up. Empty
// for a segment of no length.
static inline Rect straightSegment(int x0, int y0, int x1, int y1)
{
    if (x0 == x1)
        return y0 < y1 ? Rect{x0, y0, x0 + 1, y1} : Rect{x0, y1 + 1, x0 + 1, y0 + 1};
    return x0 < x1 ? Rect{x0, y0, x1, y0 + 1} : Rect{x1 + 1, y0, x0 + 1, y0 + 1};
}

void cosmeticLine(int x0, int y0, int x1, int y1, std::vector<RowSpan> &out)
{
    const int dx = x1 - x0, dy = y1 - y0;
    if ((dx == 0 || dy == 0) && fastPathsEnabled()) {
        const Rect box = straightSegment(x0, y0, x1, y1);
        for (int y = box.top; y < box.bottom; ++y)
            out.push_back(RowSpan{y, box.left, box.right});
        return;
    }
    const int adx = std::abs(dx), ady = std::abs(dy);
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    // Exact diagonals count as y-major. On an error tie, x-major lines step
    // when going up and y-major lines when going left, so a reversed
    // segment lights the same interior pixels.
    if (adx > ady) {
        const bool biased = dy < 0;
        int e = 2 * ady - adx;
        int x = x0, y = y0;
        for (int i = 0; i < adx; ++i) {
            plot(out, x, y);
            if (e > 0 || (e == 0 && biased)) {
                y += sy;
                e += 2 * ady - 2 * adx;
            } else {
                e += 2 * ady;
            }
            x += sx;
        }
    } else {
        const bool biased = dx < 0;
        int e = 2 * adx - ady;
        int x = x0, y = y0;
        for (int i = 0; i < ady; ++i) {
            plot(out, x, y);
            if (e > 0 || (e == 0 && biased)) {
                x += sx;
                e += 2 * adx - 2 * ady;
            } else {
                e += 2 * adx;
            }
            y += sy;
        }
    }
}

Region penDot(int x, int y, int width)
{
    const int lo = width / 2, hi = (width + 1) / 2 + 1;
    return ellipticRegion(Rect{x - lo, y - lo, x + hi, y + hi});
}

Region wideSegment(int x0, int y0, int x1, int y1, int width)
{
    const int h = width / 2;
    Region body;
    if (y0 == y1 && x0 != x1) {
        body = Region(Rect{std::min(x0, x1), y0 - h, std::max(x0, x1), y0 - h + width});
    } else if (x0 == x1 && y0 != y1) {
        body = Region(Rect{x0 - h, std::min(y0, y1), x0 - h + width, std::max(y0, y1)});
    } else if (x0 != x1 || y0 != y1) {
        // A quadrilateral around the segment; odd widths sit half a pixel
        // low/right, like the straight cases.
        const double c = width / 2.0 - h;
        const double len = std::hypot(double(x1 - x0), double(y1 - y0));
        const double nx = -(y1 - y0) / len * width / 2.0, ny = (x1 - x0) / len * width / 2.0;
        const double q[8] = {x0 + c + nx, y0 + c + ny, x1 + c + nx, y1 + c + ny,
                             x1 + c - nx, y1 + c - ny, x0 + c - nx, y0 + c - ny};
        body = polygonRegionF(q, 4, WINDING);
    }
    return body.united(penDot(x0, y0, width)).united(penDot(x1, y1, width));
}

// Adds a region's rows to a span list (one region is then built at the end,
// instead of a union per piece).
static void appendRows(const Region &r, std::vector<RowSpan> &out)
{
    for (const Region::Band &b : r.bands())
        for (int y = b.top; y < b.bottom; ++y)
            for (const Span &s : r.spans(b))
                out.push_back({y, s.x1, s.x2});
}

Region polylineRegion(const POINT *pts, int count, int width, bool closed)
{
    std::vector<RowSpan> spans;
    const int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const POINT a = pts[i], b = pts[(i + 1) % count];
        if (width <= 1)
            cosmeticLine(a.x, a.y, b.x, b.y, spans);
        else
            appendRows(wideSegment(a.x, a.y, b.x, b.y, width), spans);
    }
    return Region::fromRowSpans(std::move(spans));
}

std::vector<IndexRange> stretchMap(int srcSize, int dstSize)
{
    std::vector<IndexRange> map(size_t(std::max(dstSize, 0)), IndexRange{0, 0});
    if (srcSize <= 0 || dstSize <= 0)
        return map;
    const std::int64_t S = srcSize, D = dstSize;
    if (D >= S) {
        // destination d takes source floor((2d+1)S / 2D)
        for (std::int64_t d = 0; d < D; ++d)
            map[size_t(d)] = {int((2 * d + 1) * S / (2 * D)), 1};
    } else {
        // source s goes to destination floor((2s+1)D / 2S)
        for (std::int64_t s = 0; s < S; ++s) {
            IndexRange &r = map[size_t((2 * s + 1) * D / (2 * S))];
            if (r.count == 0)
                r.first = int(s);
            ++r.count;
        }
    }
    return map;
}

} // namespace gdi

using namespace gdi;

namespace {

constexpr int kCoordLimit = 1 << 16;

bool inRange(int v) { return v > -kCoordLimit && v < kCoordLimit; }

// The pen a shape outline uses, or null for none.
const Pen *outlinePen(const DeviceContext *dc)
{
    const Pen *pen = penFor(dc->pen);
    return pen && pen->style != PS_NULL ? pen : nullptr;
}

const Brush *fillBrush(const DeviceContext *dc)
{
    const Brush *b = brushFor(dc->brush);
    return b && !b->hollow ? b : nullptr;
}

// Draws a filled shape: the brush covers `inside` less the pen's pixels,
// then the pen is painted.
void paintShape(DeviceContext *dc, const Region &inside, const Region &outline, const Pen *pen)
{
    if (const Brush *brush = fillBrush(dc))
        fillRegion(dc, inside.subtracted(outline), brush->colour);
    if (pen)
        fillRegion(dc, outline, pen->colour);
    notifyDrawn(dc);
}

} // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || !inRange(left) || !inRange(top) || !inRange(right) || !inRange(bottom))
        return FALSE;
    Rect box = Rect{left, top, right, bottom}.normalized();
    if (box.isEmpty())
        return TRUE;
    const Pen *pen = outlinePen(dc);
    if (fastPathsEnabled() && pen && pen->width <= 1) {
        // A thin outline in the fill colour: the loop and the inside together
        // cover the whole box, except that a 1 x 1 box has no loop at all.
        const Brush *brush = fillBrush(dc);
        if (brush && brush->colour == pen->colour) {
            if (box.width() > 1 || box.height() > 1)
                fillRect(dc, box, brush->colour);
            notifyDrawn(dc);
            return TRUE;
        }
    }
    if (fastPathsEnabled() && (!pen || pen->width <= 1)) {
        // A thin or no outline: every write is a plain copy, so filling the
        // whole inside and then drawing the loop over it leaves the same
        // pixels as filling only what the loop does not cover.
        if (const Brush *brush = fillBrush(dc))
            fillRect(dc, Rect{box.left, box.top, box.right - 1, box.bottom - 1}, brush->colour);
        if (pen) {
            thread_local std::vector<RowSpan> loop;
            loop.clear();
            const POINT c[4] = {
                {box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1}, {box.left, box.bottom - 1}};
            for (int i = 0; i < 4; ++i)
                cosmeticLine(c[i].x, c[i].y, c[(i + 1) % 4].x, c[(i + 1) % 4].y, loop);
            fillSpans(dc, loop, pen->colour);
        }
        notifyDrawn(dc);
        return TRUE;
    }
    Region outline;
    if (pen) {
        int w = pen->width;
        if (pen->style == PS_INSIDEFRAME && w > 1) {
            box = Rect{box.left + w / 2, box.top + w / 2, box.right - (w - 1) / 2, box.bottom - (w - 1) / 2};
            if (box.isEmpty())
                return TRUE;
        }
        const POINT corners[4] = {
            {box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1}, {box.left, box.bottom - 1}};
        outline = polylineRegion(corners, 4, w, true);
    }
    paintShape(dc, Region(Rect{box.left, box.top, box.right - 1, box.bottom - 1}), outline, pen);
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || !inRange(left) || !inRange(top) || !inRange(right) || !inRange(bottom))
        return FALSE;
    const Rect box = Rect{left, top, right, bottom}.normalized();
    if (box.isEmpty())
        return TRUE;
    const Pen *pen = outlinePen(dc);
    if (curveTooLarge(box, pen ? pen->width : 1))
        return FALSE;
    Region outline;
    if (pen)
        outline = curveOutline(box, pen->width, nullptr);
    paintShape(dc, ellipseFilled(box), outline, pen);
    return TRUE;
}

namespace gdi {

bool curveTooLarge(const Rect &box, int width)
{
    // Outline points times the rows of a pen dot bounds the work of a wide
    // outline; past this the call is refused rather than eating memory.
    const std::int64_t points = 2 * (std::int64_t(std::abs(box.width())) + std::abs(box.height())) + 4;
    return points * std::max(width, 1) > (std::int64_t(1) << 22);
}

Region curveOutline(const Rect &box, int width, const ArcRays *rays)
{
    std::vector<RowSpan> pixels = ellipseOutline(box);
    if (rays) {
        // Keep the points met going counter-clockwise (on screen) from the
        // start ray to the end ray. Angles grow counter-clockwise with y up.
        const double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
        auto angle = [&](double x, double y) {
            double a = std::atan2(cy - y, x - cx);
            return a < 0 ? a + 2 * M_PI : a;
        };
        const double a0 = angle(rays->xStart, rays->yStart), a1 = angle(rays->xEnd, rays->yEnd);
        double sweep = a1 - a0;
        if (sweep <= 0)
            sweep += 2 * M_PI;
        std::erase_if(pixels, [&](const RowSpan &p) {
            double d = angle(p.x1, p.y) - a0;
            if (d < 0)
                d += 2 * M_PI;
            return d > sweep;
        });
    }
    if (width <= 1)
        return Region::fromRowSpans(std::move(pixels));
    // Wide pens stamp their dot on every outline point.
    std::vector<RowSpan> dot, spans;
    appendRows(penDot(0, 0, width), dot);
    spans.reserve(pixels.size() * dot.size());
    for (const RowSpan &p : pixels)
        for (const RowSpan &d : dot)
            spans.push_back({p.y + d.y, p.x1 + d.x1, p.x1 + d.x2});
    return Region::fromRowSpans(std::move(spans));
}

} // namespace gdi

BOOL Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || !inRange(x1) || !inRange(y1) || !inRange(x2) || !inRange(y2))
        return FALSE;
    const Rect box = Rect{x1, y1, x2, y2}.normalized();
    if (box.isEmpty())
        return TRUE;
    const Pen *pen = outlinePen(dc);
    if (!pen)
        return TRUE;
    if (curveTooLarge(box, pen->width))
        return FALSE;
    const bool full = x3 == x4 && y3 == y4;
    const ArcRays rays{double(x3), double(y3), double(x4), double(y4)};
    fillRegion(dc, curveOutline(box, pen->width, full ? nullptr : &rays), pen->colour);
    notifyDrawn(dc);
    return TRUE;
}

int FillRect(HDC hDC, const RECT *lprc, HBRUSH hbr)
{
    DeviceContext *dc = dcFor(hDC);
    if (!dc || !lprc)
        return 0;
    COLORREF colour;
    if (hbr > 0 && hbr <= COLOR_MENUBAR + 1) {
        colour = GetSysColor(int(hbr) - 1); // a system colour index + 1
    } else {
        const Brush *b = brushFor(hbr);
        if (!b)
            return 0;
        if (b->hollow)
            return 1;
        colour = b->colour;
    }
    const Rect box = Rect{lprc->left, lprc->top, lprc->right, lprc->bottom}.normalized();
    if (fastPathsEnabled())
        fillRect(dc, box, colour);
    else
        fillRegion(dc, Region(box), colour);
    notifyDrawn(dc);
    return 1;
}

BOOL Polyline(HDC hdc, const POINT *apt, int cpt)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || !apt || cpt < 2)
        return FALSE;
    for (int i = 0; i < cpt; ++i)
        if (!inRange(apt[i].x) || !inRange(apt[i].y))
            return FALSE;
    const Pen *pen = outlinePen(dc);
    if (!pen)
        return TRUE;
    if (pen->width <= 1) {
        // Thin lines go straight to the surface: overlapping runs only
        // repaint the same colour, so no region needs to be built.
        thread_local std::vector<RowSpan> spans;
        spans.clear();
        for (int i = 0; i + 1 < cpt; ++i) {
            const POINT a = apt[i], b = apt[i + 1];
            if ((a.x == b.x || a.y == b.y) && fastPathsEnabled()) {
                fillRect(dc, straightSegment(a.x, a.y, b.x, b.y), pen->colour);
                continue;
            }
            cosmeticLine(a.x, a.y, b.x, b.y, spans);
        }
        if (!spans.empty())
            fillSpans(dc, spans, pen->colour);
    } else {
        fillRegion(dc, polylineRegion(apt, cpt, pen->width, false), pen->colour);
    }
    notifyDrawn(dc);
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT *lppt)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return FALSE;
    if (lppt)
        *lppt = dc->position;
    dc->position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return FALSE;
    const POINT pts[2] = {dc->position, {x, y}};
    const BOOL ok = Polyline(hdc, pts, 2);
    if (ok)
        dc->position = {x, y};
    return ok;
}

namespace {

bool drawable(const DeviceContext *dc, const Bitmap *bm, int x, int y)
{
    return x >= 0 && y >= 0 && x < bm->width && y < bm->height && (!dc->clip || dc->clip->contains(x, y));
}

} // namespace

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    DeviceContext *dc = dcFor(hdc);
    Bitmap *bm = targetOf(dc);
    if (!bm || !drawable(dc, bm, x, y))
        return CLR_INVALID;
    const std::uint32_t px = surfacePixel(bm, color);
    bm->row(y)[x] = px;
    notifyDrawn(dc);
    return toColorRef(px);
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    DeviceContext *dc = dcFor(hdc);
    Bitmap *bm = targetOf(dc);
    if (!bm || !drawable(dc, bm, x, y))
        return CLR_INVALID;
    return toColorRef(bm->row(y)[x]);
}

// ---- Raster operations ----

namespace gdi {

std::uint32_t rop3(std::uint8_t index, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    std::uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((index >> i) & 1))
            continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return (r & 0x00FFFFFFu) | 0xFF000000u;
}

void ropRow(std::uint8_t index, std::uint32_t p, const std::uint32_t *s, std::uint32_t *d, int n)
{
    // Common codes have their own loops; every other code takes the truth
    // table (the tests check each loop against it).
    constexpr std::uint32_t rgb = 0x00FFFFFFu, opaque = 0xFF000000u;
    switch (index) {
    case 0xCC: // S
        for (int i = 0; i < n; ++i)
            d[i] = s[i] | opaque;
        return;
    case 0x88: // D & S
        for (int i = 0; i < n; ++i)
            d[i] = (d[i] & s[i] & rgb) | opaque;
        return;
    case 0xEE: // D | S
        for (int i = 0; i < n; ++i)
            d[i] = ((d[i] | s[i]) & rgb) | opaque;
        return;
    case 0x66: // D ^ S
        for (int i = 0; i < n; ++i)
            d[i] = ((d[i] ^ s[i]) & rgb) | opaque;
        return;
    case 0x22: // D & ~S
        for (int i = 0; i < n; ++i)
            d[i] = (d[i] & ~s[i] & rgb) | opaque;
        return;
    case 0xF0: // P
        std::fill(d, d + n, (p & rgb) | opaque);
        return;
    case 0x00:
        std::fill(d, d + n, opaque);
        return;
    case 0xFF:
        std::fill(d, d + n, 0xFFFFFFFFu);
        return;
    default:
        for (int i = 0; i < n; ++i)
            d[i] = rop3(index, p, s ? s[i] : 0, d[i]);
        return;
    }
}

bool ropUsesSource(DWORD rop) { return (((rop >> 2) ^ rop) & 0x330000u) != 0; }
bool ropUsesPattern(DWORD rop) { return (((rop >> 4) ^ rop) & 0x0F0000u) != 0; }

} // namespace gdi

namespace {

std::uint32_t patternPixel(const DeviceContext *dc, const Bitmap *dst)
{
    const Brush *b = fillBrush(dc);
    return b ? surfacePixel(dst, b->colour) : kBlack;
}

// One block transfer. The destination box may be mirrored against the
// source box by giving one of them a negative extent.
BOOL transfer(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
              int hSrc, DWORD rop, bool stretch)
{
    DeviceContext *dc = dcFor(hdcDest);
    Bitmap *dst = targetOf(dc);
    if (!dst)
        return FALSE;
    for (int v : {xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc})
        if (!inRange(v))
            return FALSE;
    const std::uint8_t index = std::uint8_t(rop >> 16);
    const bool useSource = ropUsesSource(rop);
    DeviceContext *sdc = nullptr;
    const Bitmap *src = nullptr;
    if (useSource) {
        sdc = dcFor(hdcSrc);
        src = targetOf(sdc);
        if (!src)
            return FALSE;
    }
    // Normalise both boxes; mirror when exactly one was negative. In a
    // stretch a negative extent runs from the given point leftwards (upwards),
    // the point itself included: x + w + 1 .. x. PatBlt and BitBlt treat it
    // as a rectangle, x + w .. x - 1, and never mirror.
    const int inclusive = stretch ? 1 : 0;
    bool mirrorX = false, mirrorY = false;
    if (wDest < 0) {
        xDest += wDest + inclusive;
        wDest = -wDest;
        mirrorX = !mirrorX;
    }
    if (hDest < 0) {
        yDest += hDest + inclusive;
        hDest = -hDest;
        mirrorY = !mirrorY;
    }
    if (useSource && stretch) {
        if (wSrc < 0) {
            xSrc += wSrc + 1;
            wSrc = -wSrc;
            mirrorX = !mirrorX;
        }
        if (hSrc < 0) {
            ySrc += hSrc + 1;
            hSrc = -hSrc;
            mirrorY = !mirrorY;
        }
    } else {
        wSrc = wDest;
        hSrc = hDest;
    }
    if (wDest == 0 || hDest == 0 || (useSource && (wSrc == 0 || hSrc == 0)))
        return TRUE;

    if (fastPathsEnabled() && useSource && !stretch && index == 0xCC && src != dst && !mirrorX && !mirrorY
        && src->isMono() == dst->isMono()) {
        // A straight copy between surfaces of one format: whole rows, limited
        // to the pixels that have a source and may be drawn.
        const Rect rows = Rect{xDest, yDest, xDest + wDest, yDest + hDest}
                              .intersected(Rect{0, 0, dst->width, dst->height})
                              .intersected(Rect{xDest - xSrc, yDest - ySrc, xDest - xSrc + src->width,
                                                yDest - ySrc + src->height});
        const Region *clip = dc->clip ? &*dc->clip : nullptr;
        for (int y = rows.top; y < rows.bottom; ++y) {
            const Region::Row clipRow = clip ? clip->rowSpans(y) : Region::Row();
            if (clip && clipRow.empty())
                continue;
            const std::uint32_t *srow = src->row(y - yDest + ySrc) + (xSrc - xDest);
            std::uint32_t *drow = dst->row(y);
            // Every surface pixel is opaque, so a copy is a plain memcpy.
            forEachClippedRun(clip ? &clipRow : nullptr, rows.left, rows.right, [&](int a, int b) {
                std::memcpy(drow + a, srow + a, size_t(b - a) * sizeof(std::uint32_t));
            });
        }
        notifyDrawn(dc);
        return TRUE;
    }

    const Region box(Rect{xDest, yDest, xDest + wDest, yDest + hDest});
    const std::uint32_t pattern = patternPixel(dc, dst);
    if (!useSource) {
        forEachDrawableSpan(dc, dst, box, [&](int y, int x1, int x2) {
            ropRow(index, pattern, nullptr, dst->row(y) + x1, x2 - x1);
        });
        notifyDrawn(dc);
        return TRUE;
    }

    // Stretch in the source format (merging per the destination's stretch
    // mode), then convert the format through the DC colours, then the ROP.
    const std::vector<IndexRange> mapX = stretchMap(wSrc, wDest);
    const std::vector<IndexRange> mapY = stretchMap(hSrc, hDest);
    const int mode = dc->stretchMode;
    const bool merge = mode == BLACKONWHITE || mode == WHITEONBLACK;
    const std::uint32_t srcBk = toPixel(sdc->bkColor);
    const std::uint32_t dstText = toPixel(dc->textColor), dstBk = toPixel(dc->bkColor);
    const bool monoToColour = src->isMono() && !dst->isMono();
    const bool colourToMono = !src->isMono() && dst->isMono();

    // Copy first when the source is the destination bitmap, so overlapping
    // transfers read the pixels as they were before the call.
    PixelStore snapshot;
    const std::uint32_t *srcPixels = src->pixels.data();
    if (src == dst) {
        snapshot = src->pixels;
        srcPixels = snapshot.data();
    }
    // Destination columns and rows whose first source lies in the source
    // bitmap; the others have nothing to copy and stay as they are.
    auto sourceIndex = [](const std::vector<IndexRange> &map, int d, int extent, bool mirror) {
        return map[size_t(mirror ? extent - 1 - d : d)];
    };
    auto inSource = [&](int v, int origin, int size) { return origin + v >= 0 && origin + v < size; };

    std::vector<std::uint32_t> sourceRow;
    forEachDrawableSpan(dc, dst, box, [&](int y, int x1, int x2) {
        const IndexRange ry = sourceIndex(mapY, y - yDest, hDest, mirrorY);
        if (!inSource(ry.first, ySrc, src->height))
            return;
        const int ny = merge ? ry.count : 1;
        std::uint32_t *drow = dst->row(y);
        int x = x1;
        while (x < x2) {
            // One run of destination pixels that all have a source.
            while (x < x2 && !inSource(sourceIndex(mapX, x - xDest, wDest, mirrorX).first, xSrc, src->width))
                ++x;
            const int runStart = x;
            while (x < x2 && inSource(sourceIndex(mapX, x - xDest, wDest, mirrorX).first, xSrc, src->width))
                ++x;
            const int n = x - runStart;
            if (n == 0)
                continue;
            const bool direct = !mirrorX && wSrc == wDest && !monoToColour && !colourToMono && ny == 1;
            const std::uint32_t *srow;
            if (direct) {
                srow = srcPixels + size_t(ySrc + ry.first) * size_t(src->width)
                     + size_t(xSrc + runStart - xDest);
            } else {
                sourceRow.resize(size_t(n));
                for (int i = 0; i < n; ++i) {
                    const IndexRange rx = sourceIndex(mapX, runStart + i - xDest, wDest, mirrorX);
                    const int nx = merge ? rx.count : 1;
                    std::uint32_t v = mode == WHITEONBLACK ? 0 : 0xFFFFFFFFu;
                    for (int j = 0; j < ny; ++j) {
                        const int sy = ySrc + ry.first + j;
                        if (sy >= src->height)
                            break;
                        const std::uint32_t *line = srcPixels + size_t(sy) * size_t(src->width);
                        for (int k = 0; k < nx; ++k) {
                            const int sx = xSrc + rx.first + k;
                            if (sx >= src->width)
                                break;
                            v = mode == WHITEONBLACK ? (v | line[sx]) : (v & line[sx]);
                        }
                    }
                    v |= 0xFF000000u;
                    if (monoToColour)
                        v = (v & 0xFFFFFF) ? dstBk : dstText;
                    else if (colourToMono)
                        v = ((v ^ srcBk) & 0xFFFFFF) == 0 ? kWhite : kBlack;
                    sourceRow[size_t(i)] = v;
                }
                srow = sourceRow.data();
            }
            ropRow(index, pattern, srow, drow + runStart, n);
        }
    });
    notifyDrawn(dc);
    return TRUE;
}

} // namespace

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    if (ropUsesSource(rop))
        return FALSE;
    return transfer(hdc, x, y, w, h, 0, 0, 0, 0, 0, rop, false);
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    // A negative extent only moves the box; BitBlt never mirrors.
    if (cx < 0) {
        x += cx;
        x1 += cx;
        cx = -cx;
    }
    if (cy < 0) {
        y += cy;
        y1 += cy;
        cy = -cy;
    }
    return transfer(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop, false);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop)
{
    return transfer(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop, true);
}
