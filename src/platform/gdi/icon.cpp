// Pictures: icons and bitmaps loaded from files, GetObjectA, GetIconInfo,
// CopyImage, DrawIconEx, DestroyIcon.

#include "handles.h"
#include "fill.h"
#include "pictures.h"
#include "raster.h"

#include <algorithm>
#include <cstring>

namespace gdi {

int nearestImage(const std::vector<IconImage> &images, int width, int height)
{
    // Smallest size difference; on a tie the larger image, then the one
    // with alpha (more colour information).
    int best = 0;
    auto better = [&](const IconImage &a, const IconImage &b) {
        const int da = std::abs(a.width - width) + std::abs(a.height - height);
        const int db = std::abs(b.width - width) + std::abs(b.height - height);
        if (da != db)
            return da < db;
        if (a.width * a.height != b.width * b.height)
            return a.width * a.height > b.width * b.height;
        return a.hasAlpha && !b.hasAlpha;
    };
    for (size_t i = 1; i < images.size(); ++i)
        if (better(images[i], images[size_t(best)]))
            best = int(i);
    return best;
}

IconImage scaledIconImage(const IconImage &img, int width, int height)
{
    if (width == img.width && height == img.height)
        return img;
    // Like StretchBlt in COLORONCOLOR mode: the first pixel of each group.
    const std::vector<IndexRange> mx = stretchMap(img.width, width);
    const std::vector<IndexRange> my = stretchMap(img.height, height);
    IconImage out;
    out.width = width;
    out.height = height;
    out.hasAlpha = img.hasAlpha;
    out.monochrome = img.monochrome;
    out.colour.resize(size_t(width) * size_t(height));
    out.mask.resize(out.colour.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t from = size_t(my[size_t(y)].first) * size_t(img.width) + size_t(mx[size_t(x)].first);
            out.colour[size_t(y) * size_t(width) + size_t(x)] = img.colour[from];
            out.mask[size_t(y) * size_t(width) + size_t(x)] = img.mask[from];
        }
    return out;
}

HICON loadIcon(const QByteArray &icoData, QString *error, int wantW, int wantH)
{
    std::vector<IconImage> images;
    if (!decodeIcon(icoData, &images, error))
        return 0;
    auto icon = std::make_unique<Icon>();
    icon->current = nearestImage(images, wantW > 0 ? wantW : 32, wantH > 0 ? wantH : 32);
    icon->images = std::move(images);
    return HandleTable::instance().add(std::move(icon));
}

HBITMAP loadBitmap(const QByteArray &bmpData, QString *error)
{
    auto bm = decodeBitmap(bmpData, error);
    if (!bm)
        return 0;
    return HandleTable::instance().add(std::move(bm));
}

QImage decodeBitmapImage(const QByteArray &bmpData, QString *error)
{
    std::unique_ptr<Bitmap> bm = decodeBitmap(bmpData, error);
    if (!bm)
        return {};
    // The picture takes the decoded pixels over; they go with it.
    Bitmap *owned = bm.release();
    return QImage(reinterpret_cast<uchar *>(owned->pixels.data()), owned->width, owned->height, owned->width * 4,
                  QImage::Format_RGB32, [](void *bitmap) { delete static_cast<Bitmap *>(bitmap); }, owned);
}

bool iconSize(HICON icon, int *width, int *height)
{
    const Icon *i = iconFor(icon);
    if (!i)
        return false;
    if (width)
        *width = i->image().width;
    if (height)
        *height = i->image().height;
    return true;
}

} // namespace gdi

using namespace gdi;

int GetObjectA(HGDIOBJ h, int c, LPVOID pv)
{
    if (const Font *font = fontFor(h)) {
        if (!pv)
            return int(sizeof(LOGFONTA));
        const int n = std::clamp(c, 0, int(sizeof(LOGFONTA)));
        std::memcpy(pv, &font->logFont, size_t(n));
        return n;
    }
    const Bitmap *bm = bitmapFor(h);
    if (!bm)
        return 0; // only bitmaps and fonts are described
    if (!pv)
        return int(sizeof(BITMAP));
    if (c <= 0)
        return 0;
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = bm->width;
    info.bmHeight = bm->height;
    info.bmPlanes = 1;
    info.bmBitsPixel = WORD(bm->bitsPerPixel);
    info.bmWidthBytes = bm->isMono() ? ((bm->width + 15) / 16) * 2 : bm->width * 4;
    info.bmBits = bm->addressable ? const_cast<std::uint32_t *>(bm->pixels.data()) : nullptr;
    const int n = std::min(c, int(sizeof(BITMAP)));
    std::memcpy(pv, &info, size_t(n));
    return n;
}

BOOL GetIconInfo(HICON hIcon, ICONINFO *piconinfo)
{
    const Icon *icon = iconFor(hIcon);
    if (!icon || !piconinfo)
        return FALSE;
    const IconImage &img = icon->image();
    HandleTable &t = HandleTable::instance();
    // A monochrome icon keeps its image under the mask: AND rows on top,
    // XOR rows below, and no colour bitmap.
    const int maskHeight = img.monochrome ? img.height * 2 : img.height;
    auto mask = makeBitmap(img.width, maskHeight, 1, false);
    if (!mask)
        return FALSE;
    const size_t n = size_t(img.width) * size_t(img.height);
    {
        std::uint32_t *andBits = mask->pixels.data();
        const std::uint8_t *from = img.mask.data();
        // Mask entries are 0 or 1: white is black with all colour bits set.
        for (size_t i = 0; i < n; ++i)
            andBits[i] = kBlack | (0x00FFFFFFu * std::uint32_t(from[i] != 0));
        if (img.monochrome) {
            std::uint32_t *xorBits = andBits + n;
            const std::uint32_t *c = img.colour.data();
            for (size_t i = 0; i < n; ++i)
                xorBits[i] = kBlack | (0x00FFFFFFu * std::uint32_t((c[i] & 0xFFFFFF) != 0));
        }
    }
    HBITMAP colour = 0;
    if (!img.monochrome) {
        auto bm = makeBitmap(img.width, img.height, 32, false);
        if (!bm)
            return FALSE;
        std::uint32_t *to = bm->pixels.data();
        const std::uint32_t *c = img.colour.data();
        for (size_t i = 0; i < n; ++i)
            to[i] = c[i] | 0xFF000000u;
        colour = t.add(std::move(bm));
    }
    piconinfo->fIcon = TRUE;
    piconinfo->xHotspot = DWORD(img.width / 2);
    piconinfo->yHotspot = DWORD(img.height / 2);
    piconinfo->hbmMask = t.add(std::move(mask));
    piconinfo->hbmColor = colour;
    return TRUE;
}

HGDIOBJ CopyImage(HGDIOBJ h, UINT type, int cx, int cy, UINT flags)
{
    Q_UNUSED(flags);
    HandleTable &t = HandleTable::instance();
    if (cx < 0 || cy < 0 || cx > kMaxBitmapSide || cy > kMaxBitmapSide)
        return 0;
    if (type == IMAGE_ICON) {
        const Icon *icon = iconFor(h);
        if (!icon)
            return 0;
        const int w = cx ? cx : icon->image().width, hgt = cy ? cy : icon->image().height;
        if (std::int64_t(w) * hgt > kMaxBitmapPixels)
            return 0;
        const IconImage &from = icon->images[size_t(nearestImage(icon->images, w, hgt))];
        auto copy = std::make_unique<Icon>();
        copy->images.push_back(scaledIconImage(from, w, hgt));
        return t.add(std::move(copy));
    }
    if (type == IMAGE_BITMAP) {
        const Bitmap *bm = bitmapFor(h);
        if (!bm)
            return 0;
        const int w = cx ? cx : bm->width, hgt = cy ? cy : bm->height;
        auto copy = makeBitmap(w, hgt, bm->bitsPerPixel, false);
        if (!copy)
            return 0;
        const std::vector<IndexRange> mx = stretchMap(bm->width, w);
        const std::vector<IndexRange> my = stretchMap(bm->height, hgt);
        for (int y = 0; y < hgt; ++y)
            for (int x = 0; x < w; ++x)
                copy->row(y)[x] = bm->row(my[size_t(y)].first)[mx[size_t(x)].first];
        return t.add(std::move(copy));
    }
    return 0;
}

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                HBRUSH hbrFlickerFreeDraw, UINT diFlags)
{
    Q_UNUSED(istepIfAniCur);
    DeviceContext *dc = dcFor(hdc);
    const Icon *icon = iconFor(hIcon);
    Bitmap *bm = targetOf(dc);
    if (!bm || !icon || !(diFlags & DI_NORMAL) || cxWidth < 0 || cyWidth < 0)
        return FALSE;
    if (hbrFlickerFreeDraw != 0)
        return FALSE; // drawing through a flicker-free brush is not supported
    const IconImage &own = icon->image();
    const int w = cxWidth ? cxWidth : own.width, h = cyWidth ? cyWidth : own.height;
    if (std::int64_t(w) * h > kMaxBitmapPixels || std::abs(xLeft) > (1 << 16) || std::abs(yTop) > (1 << 16))
        return FALSE;
    IconImage scaled;
    if (w != own.width || h != own.height)
        scaled = scaledIconImage(own, w, h);
    const IconImage &img = w != own.width || h != own.height ? scaled : own;
    const bool blend = img.hasAlpha && (diFlags & DI_NORMAL) == DI_NORMAL;
    forEachDrawableSpan(dc, bm, Region(Rect{xLeft, yTop, xLeft + w, yTop + h}), [&](int y, int x1, int x2) {
        std::uint32_t *row = bm->row(y);
        for (int x = x1; x < x2; ++x) {
            const size_t i = size_t(y - yTop) * size_t(w) + size_t(x - xLeft);
            std::uint32_t d = row[x];
            const std::uint32_t c = img.colour[i];
            if (blend) {
                // Straight alpha over the destination; the mask is not used.
                const std::uint32_t a = c >> 24;
                std::uint32_t out = 0xFF000000u;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const std::uint32_t sc = (c >> shift) & 0xFF, dc8 = (d >> shift) & 0xFF;
                    out |= ((sc * a + dc8 * (255 - a) + 127) / 255) << shift;
                }
                d = out;
            } else {
                if (diFlags & DI_MASK)
                    d = img.mask[i] ? d : kBlack;
                if (diFlags & DI_IMAGE)
                    d ^= (c & 0xFFFFFF);
                d |= 0xFF000000u;
            }
            row[x] = bm->isMono() ? toMono(d) : d;
        }
    });
    notifyDrawn(dc);
    return TRUE;
}

BOOL DestroyIcon(HICON hIcon)
{
    if (!iconFor(hIcon))
        return FALSE;
    HandleTable::instance().remove(hIcon);
    return TRUE;
}
