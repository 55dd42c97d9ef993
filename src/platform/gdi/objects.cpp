// Device contexts, bitmaps, pens, brushes, colours, regions and rectangles:
// the Win32 calls that make, select and delete objects.

#include "handles.h"
#include "fill.h"
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gdi {
namespace {

int s_screenWidth = 1920;
int s_screenHeight = 1080;

} // namespace
} // namespace gdi

using namespace gdi;

// ---- Device contexts and bitmaps ----

static HDC newDC(bool memory)
{
    HandleTable &t = HandleTable::instance();
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = memory;
    dc->bitmap = memory ? t.stockBitmap() : 0;
    dc->pen = t.stock(BLACK_PEN);
    dc->brush = t.stock(WHITE_BRUSH);
    dc->font = t.stock(SYSTEM_FONT);
    for (HGDIOBJ h : {dc->bitmap, dc->pen, dc->brush, dc->font})
        if (Object *o = t.find(h))
            ++o->selectCount;
    return t.add(std::move(dc));
}

HDC CreateCompatibleDC(HDC hdc)
{
    DeviceContext *source = hdc != 0 ? dcFor(hdc) : nullptr;
    if (hdc != 0 && !source)
        return 0;
    const HDC made = newDC(true);
    // A DC made for another draws at its resolution.
    if (source)
        dcFor(made)->pixelsPerInch = source->pixelsPerInch;
    return made;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    int bpp = 32;
    if (hdc != 0) {
        DeviceContext *dc = dcFor(hdc);
        if (!dc)
            return 0;
        if (Bitmap *cur = targetOf(dc))
            bpp = cur->bitsPerPixel;
    }
    if (cx == 0 || cy == 0)
        return HandleTable::instance().stockBitmap();
    auto bm = makeBitmap(cx, cy, bpp);
    if (!bm)
        return 0;
    return HandleTable::instance().add(std::move(bm));
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void *lpBits)
{
    if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 32))
        return 0;
    if (nWidth == 0 || nHeight == 0)
        return HandleTable::instance().stockBitmap();
    auto bm = makeBitmap(nWidth, nHeight, int(nBitCount), !lpBits);
    if (!bm)
        return 0;
    if (lpBits) {
        const auto *bytes = static_cast<const std::uint8_t *>(lpBits);
        if (nBitCount == 1) {
            const int stride = ((nWidth + 15) / 16) * 2; // scan lines are WORD-aligned
            for (int y = 0; y < nHeight; ++y)
                for (int x = 0; x < nWidth; ++x) {
                    const bool bit = (bytes[size_t(y) * stride + x / 8] >> (7 - x % 8)) & 1;
                    bm->row(y)[x] = bit ? kWhite : kBlack;
                }
        } else {
            for (size_t i = 0; i < bm->pixels.size(); ++i) {
                std::uint32_t v;
                std::memcpy(&v, bytes + i * 4, 4);
                bm->pixels[i] = v | 0xFF000000u;
            }
        }
    }
    return HandleTable::instance().add(std::move(bm));
}

static void swapSelection(HGDIOBJ *slot, HGDIOBJ h, Object *o)
{
    if (Object *old = HandleTable::instance().find(*slot))
        --old->selectCount;
    *slot = h;
    ++o->selectCount;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    DeviceContext *dc = dcFor(hdc);
    Object *o = HandleTable::instance().find(h);
    if (!dc || !o)
        return 0;
    HGDIOBJ old = 0;
    switch (o->kind) {
    case Kind::Pen:
        old = dc->pen;
        swapSelection(&dc->pen, h, o);
        return old;
    case Kind::Brush:
        old = dc->brush;
        swapSelection(&dc->brush, h, o);
        return old;
    case Kind::Font:
        old = dc->font;
        swapSelection(&dc->font, h, o);
        return old;
    case Kind::Bitmap:
        // A bitmap goes into one memory DC at a time (the stock one anywhere).
        if (!dc->memory || (o->selectCount > 0 && !o->stock && dc->bitmap != h))
            return 0;
        old = dc->bitmap;
        swapSelection(&dc->bitmap, h, o);
        return old;
    case Kind::Region:
        return HGDIOBJ(SelectClipRgn(hdc, h));
    case Kind::DC:
    case Kind::Icon:
        return 0;
    }
    return 0;
}

BOOL DeleteObject(HGDIOBJ ho)
{
    HandleTable &t = HandleTable::instance();
    Object *o = t.find(ho);
    if (!o || o->kind == Kind::DC || o->kind == Kind::Icon)
        return FALSE;
    if (o->stock)
        return TRUE;
    if (o->selectCount > 0)
        return FALSE; // still selected into a DC: refused, nothing changes
    t.remove(ho, o);
    return TRUE;
}

BOOL DeleteDC(HDC hdc)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return FALSE;
    HandleTable &t = HandleTable::instance();
    for (HGDIOBJ h : {dc->bitmap, dc->pen, dc->brush, dc->font})
        if (Object *o = t.find(h))
            --o->selectCount;
    t.remove(hdc);
    return TRUE;
}

HDC GetDC(HWND hWnd)
{
    if (hWnd != 0)
        return 0;
    return newDC(false);
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
    DeviceContext *dc = dcFor(hDC);
    if (hWnd != 0 || !dc || dc->memory)
        return 0;
    return DeleteDC(hDC) ? 1 : 0;
}

int GetMapMode(HDC hdc)
{
    DeviceContext *dc = dcFor(hdc);
    return dc ? dc->mapMode : 0;
}

int SetMapMode(HDC hdc, int iMode)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || iMode != MM_TEXT)
        return 0;
    const int old = dc->mapMode;
    dc->mapMode = iMode;
    return old;
}

int GetDeviceCaps(HDC hdc, int index)
{
    if (!dcFor(hdc))
        return 0;
    switch (index) {
    case HORZRES: return s_screenWidth;
    case VERTRES: return s_screenHeight;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return dcFor(hdc)->pixelsPerInch;
    default: return 0;
    }
}

HGDIOBJ GetStockObject(int i) { return HandleTable::instance().stock(i); }

DWORD GetObjectType(HGDIOBJ h)
{
    Object *o = HandleTable::instance().find(h);
    if (!o)
        return 0;
    switch (o->kind) {
    case Kind::DC: return static_cast<DeviceContext *>(o)->memory ? OBJ_MEMDC : OBJ_DC;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Region: return OBJ_REGION;
    case Kind::Icon: return 0;
    }
    return 0;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return 0;
    switch (type) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_BITMAP: return dc->bitmap;
    default: return 0;
    }
}

// ---- Pens, brushes, colours ----

HPEN CreatePen(int iStyle, int cWidth, COLORREF color)
{
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME)
        return 0;
    HGDIOBJ h;
    if (Pen *p = HandleTable::instance().addTool<Pen>(h)) {
        p->style = iStyle;
        p->width = std::clamp(cWidth, 1, 1000);
        p->colour = color & 0xFFFFFF;
    }
    return h;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    HGDIOBJ h;
    if (Brush *b = HandleTable::instance().addTool<Brush>(h))
        b->colour = color & 0xFFFFFF;
    return h;
}

int SetBkMode(HDC hdc, int mode)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return 0;
    const int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}

int GetBkMode(HDC hdc)
{
    DeviceContext *dc = dcFor(hdc);
    return dc ? dc->bkMode : 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return CLR_INVALID;
    const COLORREF old = dc->bkColor;
    dc->bkColor = color & 0xFFFFFF;
    return old;
}

COLORREF GetBkColor(HDC hdc)
{
    DeviceContext *dc = dcFor(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return CLR_INVALID;
    const COLORREF old = dc->textColor;
    dc->textColor = color & 0xFFFFFF;
    return old;
}

COLORREF GetTextColor(HDC hdc)
{
    DeviceContext *dc = dcFor(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

DWORD GetSysColor(int nIndex)
{
    // The classic "Windows Standard" scheme.
    static constexpr COLORREF table[] = {
        RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
        RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240), RGB(192, 192, 192), RGB(10, 36, 106),
        RGB(212, 208, 200),
    };
    if (nIndex < 0 || nIndex >= int(std::size(table)))
        return 0;
    return table[nIndex];
}

int SetStretchBltMode(HDC hdc, int mode)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    const int old = dc->stretchMode;
    dc->stretchMode = mode;
    return old;
}

int GetStretchBltMode(HDC hdc)
{
    DeviceContext *dc = dcFor(hdc);
    return dc ? dc->stretchMode : 0;
}

// ---- Regions ----

static int regionType(const Region &r)
{
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2)
{
    auto o = HandleTable::instance().reuse<RegionObject>(Kind::Region);
    o->region.assign(Rect{x1, y1, x2, y2});
    return HandleTable::instance().add(std::move(o));
}

HRGN CreateRectRgnIndirect(const RECT *lprect)
{
    if (!lprect)
        return 0;
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    const Rect box = Rect{x1, y1, x2, y2}.normalized();
    if (std::int64_t(box.width()) * box.height() > kMaxBitmapPixels)
        return 0;
    return addRegion(ellipticRegion(box));
}

HRGN CreatePolygonRgn(const POINT *pptl, int cPoint, int iMode)
{
    if (!pptl || cPoint < 0 || (iMode != ALTERNATE && iMode != WINDING))
        return 0;
    // Small polygons (the usual case) are converted on the stack.
    constexpr int kLocalPoints = 16;
    std::int64_t local[2 * kLocalPoints];
    std::vector<std::int64_t> heap;
    std::int64_t *xy = local;
    if (cPoint > kLocalPoints) {
        heap.resize(size_t(cPoint) * 2);
        xy = heap.data();
    }
    for (int i = 0; i < cPoint; ++i) {
        if (std::abs(pptl[i].x) > (1 << 16) || std::abs(pptl[i].y) > (1 << 16))
            return 0; // out of the range this rasteriser handles
        xy[2 * i] = pptl[i].x;
        xy[2 * i + 1] = pptl[i].y;
    }
    auto o = HandleTable::instance().reuse<RegionObject>(Kind::Region);
    polygonRegion(xy, cPoint, iMode, o->region);
    return HandleTable::instance().add(std::move(o));
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode)
{
    RegionObject *dst = regionFor(hrgnDst);
    RegionObject *a = regionFor(hrgnSrc1);
    if (!dst || !a)
        return ERROR;
    if (iMode == RGN_COPY) {
        if (dst != a)
            dst->region.assign(a->region);
        return regionType(dst->region);
    }
    RegionObject *b = regionFor(hrgnSrc2);
    if (!b)
        return ERROR;
    Region::Op op;
    switch (iMode) {
    case RGN_AND: op = Region::Op::And; break;
    case RGN_OR: op = Region::Op::Or; break;
    case RGN_XOR: op = Region::Op::Xor; break;
    case RGN_DIFF: op = Region::Op::Diff; break;
    default: return ERROR;
    }
    // Built aside first (the destination may be a source), then swapped in;
    // the destination's old storage is kept aside for the next call.
    static Region scratch;
    Region::combine(a->region, b->region, op, scratch);
    std::swap(dst->region, scratch);
    return regionType(dst->region);
}

int OffsetRgn(HRGN hrgn, int x, int y)
{
    RegionObject *r = regionFor(hrgn);
    if (!r)
        return ERROR;
    r->region.translate(x, y);
    return regionType(r->region);
}

int GetRgnBox(HRGN hrgn, RECT *lprc)
{
    RegionObject *r = regionFor(hrgn);
    if (!r || !lprc)
        return ERROR;
    const Rect b = r->region.boundingRect();
    *lprc = {b.left, b.top, b.right, b.bottom};
    return regionType(r->region);
}

BOOL PtInRegion(HRGN hrgn, int x, int y)
{
    RegionObject *r = regionFor(hrgn);
    return r && r->region.contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2)
{
    RegionObject *a = regionFor(hrgn1);
    RegionObject *b = regionFor(hrgn2);
    if (!a || !b)
        return ERROR;
    return a->region == b->region ? TRUE : FALSE;
}

int SelectClipRgn(HDC hdc, HRGN hrgn)
{
    DeviceContext *dc = dcFor(hdc);
    if (!dc)
        return ERROR;
    if (hrgn == 0) {
        dc->clip.reset();
        return SIMPLEREGION;
    }
    RegionObject *r = regionFor(hrgn);
    if (!r)
        return ERROR;
    dc->clip = r->region;
    return regionType(r->region);
}

int GetClipRgn(HDC hdc, HRGN hrgn)
{
    DeviceContext *dc = dcFor(hdc);
    RegionObject *r = regionFor(hrgn);
    if (!dc || !r)
        return -1;
    if (!dc->clip)
        return 0;
    r->region = *dc->clip;
    return 1;
}

// ---- Rectangles ----

BOOL OffsetRect(RECT *lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL SetRect(RECT *lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (!lprc)
        return FALSE;
    *lprc = {xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL InflateRect(RECT *lprc, int dx, int dy)
{
    if (!lprc)
        return FALSE;
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL IsRectEmpty(const RECT *lprc)
{
    return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

// ---- The stand-in's own object calls ----

namespace gdi {

HBITMAP currentBitmap(HDC dc)
{
    DeviceContext *d = dcFor(dc);
    return d && d->memory ? d->bitmap : 0;
}

HBITMAP createFilledBitmap(int width, int height, COLORREF colour)
{
    if (width == 0 || height == 0)
        return HandleTable::instance().stockBitmap();
    auto bm = makeBitmap(width, height, 32, false);
    if (!bm)
        return 0;
    fillPixels(bm->pixels.data(), width * height, toPixel(colour));
    return HandleTable::instance().add(std::move(bm));
}

void setDrawNotifier(HDC dc, std::function<void()> notifier)
{
    if (DeviceContext *d = dcFor(dc))
        d->notifier = std::move(notifier);
}

void setPixelsPerInch(HDC dc, int pixelsPerInch)
{
    if (DeviceContext *d = dcFor(dc); d && pixelsPerInch > 0)
        d->pixelsPerInch = pixelsPerInch;
}

void setScreenSize(int width, int height)
{
    s_screenWidth = std::max(1, width);
    s_screenHeight = std::max(1, height);
}

} // namespace gdi
