// Image rendering of kxButtons_H: the picture at its image size (or spread
// over the control, or fitted into the face), bitmaps with a transparent
// colour taken from their top-left pixel, and the embossed grey look of a
// disabled button. Every object made here is deleted before returning.

#include <button/kxButtons_H.h>

#include "PaintMath.h"

#include <algorithm>

using namespace kxpaint;

namespace {

// (destination XOR brush) AND source, XOR brush: white source keeps the
// destination, black source paints the brush.
constexpr DWORD kRopPSDPxax = 0x00B8074A;
// destination AND NOT source
constexpr DWORD kRopDSna = 0x00220326;

} // namespace

void kxButtons_H::DrawPicture(RECT &imageRect, std::int32_t &usableWidth,
                              std::int32_t &faceOffset)
{
    // 1.
    if (m_image.pictureWidth + m_image.pictureHeight == 0)
        return;

    // 2. Drawn pressed when DrawCaption moved the rectangle.
    const std::int32_t k = imageRect.left != m_layout.imageRect.left ? 1 : 0;

    // 3. Drawing size.
    std::int32_t w;
    std::int32_t h;
    const std::int32_t s = m_image.imageSize;
    if (s <= 32) {
        w = imagePixels();
        h = w;
    } else if (s == 40) {
        imageRect = RECT{k, k, whole(ScaleWidth()), whole(ScaleHeight())};
        w = whole(ScaleWidth() - static_cast<float>(k));
        h = whole(ScaleHeight() - static_cast<float>(k));
    } else {
        const float f = std::min(static_cast<float>(usableWidth - 12)
                                     / static_cast<float>(m_image.pictureWidth),
                                 (ScaleHeight() - 12.0f) / static_cast<float>(m_image.pictureHeight));
        w = whole(f * static_cast<float>(m_image.pictureWidth));
        h = whole(f * static_cast<float>(m_image.pictureHeight));
        imageRect.left = idiv(usableWidth - w, 2) + faceOffset + k;
        imageRect.top = idiv(whole(ScaleHeight() - static_cast<float>(h)), 2) + k;
        imageRect.right = imageRect.left + w;
        imageRect.bottom = imageRect.top + h;
    }
    // A size of 0 would make CopyImage keep the picture's own size, and a
    // negative one has nothing to show: a control too small for its
    // picture draws no picture.
    if (w <= 0 || h <= 0)
        return;

    // 4. Resized copy.
    const bool isIcon = m_image.pictureKind == 1;
    HANDLE copy = CopyImage(pictureHandle(), isIcon ? IMAGE_ICON : IMAGE_BITMAP, w, h, 0);
    if (copy == 0)
        return;

    // 5. Target: the surface, or a white scratch bitmap for the disabled look.
    const bool enabled = host::UserControl::Enabled();
    HDC target = m_surface.memDC;
    HDC tempDC = 0;
    HBITMAP tempBitmap = 0;
    HGDIOBJ tempOldBitmap = 0;
    RECT targetRect = imageRect;
    if (!enabled) {
        tempDC = CreateCompatibleDC(m_surface.memDC);
        tempBitmap = CreateCompatibleBitmap(m_surface.memDC, w + 1, h + 1);
        tempOldBitmap = SelectObject(tempDC, tempBitmap);
        PatBlt(tempDC, 0, 0, w, h, WHITENESS);
        target = tempDC;
        OffsetRect(&targetRect, -targetRect.left, -targetRect.top);
    }

    // 6.
    if (isIcon) {
        DrawIconEx(target, targetRect.left, targetRect.top, static_cast<HICON>(copy), 0, 0, 0,
                   0, DI_NORMAL);
    } else {
        RECT source{0, 0, 0, 0};
        TransparentBlit(target, targetRect, static_cast<HBITMAP>(copy), source, w, h);
    }

    // 7. Disabled: dark silhouette with a light edge up and to the left.
    if (!enabled) {
        const COLORREF oldBk = SetBkColor(m_surface.memDC, 0xFFFFFF);
        HBRUSH light = CreateSolidBrush(static_cast<COLORREF>(ShiftColor(0xC0C0C0, 36)));
        HBRUSH dark = CreateSolidBrush(static_cast<COLORREF>(ShiftColor(0xC0C0C0, -36)));
        HGDIOBJ oldBrush = SelectObject(m_surface.memDC, light);
        BitBlt(m_surface.memDC, imageRect.left - 1, imageRect.top - 1, w, h, tempDC, 0, 0, kRopPSDPxax);
        SelectObject(m_surface.memDC, dark);
        BitBlt(m_surface.memDC, imageRect.left, imageRect.top, w, h, tempDC, 0, 0, kRopPSDPxax);
        SetBkColor(m_surface.memDC, oldBk);
        SelectObject(m_surface.memDC, oldBrush);
        DeleteObject(light);
        DeleteObject(dark);
        SelectObject(tempDC, tempOldBitmap);
        DeleteObject(tempBitmap);
        DeleteDC(tempDC);
    }

    // 8.
    if (isIcon)
        DestroyIcon(static_cast<HICON>(copy));
    else
        DeleteObject(copy);
}

void kxButtons_H::TransparentBlit(HDC destDC, RECT &destRect, HBITMAP bitmap, RECT &srcRect,
                                  std::int32_t &width, std::int32_t &height)
{
    // 1. Source DC compatible with the screen.
    HDC screen = GetDC(0);
    HDC srcDC = CreateCompatibleDC(screen);
    HGDIOBJ srcOld = SelectObject(srcDC, bitmap);

    // 2. Source size; an open right or bottom takes the requested size.
    std::int32_t srcW = srcRect.right - srcRect.left;
    std::int32_t srcH = srcRect.bottom - srcRect.top;
    if (srcRect.right == 0) {
        srcW = width;
        srcRect.right = width;
    }
    if (srcRect.bottom == 0) {
        srcH = height;
        srcRect.bottom = height;
    }

    // 3. Destination size.
    std::int32_t dstW = destRect.right == 0 ? width : destRect.right - destRect.left;
    std::int32_t dstH = destRect.bottom == 0 ? height : destRect.bottom - destRect.top;

    // 4. Shrink proportionally to fit the destination.
    if (width > dstW || height > dstH) {
        const float fx = static_cast<float>(dstW) / static_cast<float>(width);
        const float fy = static_cast<float>(dstH) / static_cast<float>(height);
        const float f = std::min(fx, fy);
        width = whole(static_cast<float>(width) * f);
        height = whole(static_cast<float>(height) * f);
    }

    // Nothing to show in an empty destination; a negative size would
    // otherwise mirror the picture in the stretching transfers below.
    if (width <= 0 || height <= 0 || dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0) {
        SelectObject(srcDC, srcOld);
        DeleteDC(srcDC);
        ReleaseDC(0, screen);
        return;
    }

    // 5. Transparent colour: the picture's top-left pixel.
    const std::int32_t transparent =
        ConvertSysColor(static_cast<std::int32_t>(GetPixel(srcDC, srcRect.left, srcRect.top)));

    // 6. Work objects.
    HDC workDC = CreateCompatibleDC(screen);
    HDC copyDC = CreateCompatibleDC(screen);
    HDC maskDC = CreateCompatibleDC(screen);
    HBITMAP workBitmap = CreateCompatibleBitmap(screen, dstW, dstH);
    HBITMAP copyBitmap = CreateCompatibleBitmap(screen, srcW, srcH);
    HBITMAP maskBitmap = CreateBitmap(srcW, srcH, 1, 1, nullptr);
    HGDIOBJ workOld = SelectObject(workDC, workBitmap);
    HGDIOBJ copyOld = SelectObject(copyDC, copyBitmap);
    HGDIOBJ maskOld = SelectObject(maskDC, maskBitmap);
    SetMapMode(workDC, GetMapMode(destDC));
    ReleaseDC(0, screen);

    // 7. The button's current background under the picture.
    BitBlt(workDC, 0, 0, dstW, dstH, destDC, destRect.left, destRect.top, SRCCOPY);

    // 8. A copy of the picture.
    SetBkColor(copyDC, GetBkColor(srcDC));
    SetTextColor(copyDC, GetTextColor(srcDC));
    BitBlt(copyDC, 0, 0, srcW, srcH, srcDC, srcRect.left, srcRect.top, SRCCOPY);

    // 9. Mask: 1 exactly where the picture has the transparent colour.
    SetBkColor(copyDC, static_cast<COLORREF>(transparent));
    SetTextColor(copyDC, 0xFFFFFF);
    BitBlt(maskDC, 0, 0, srcW, srcH, copyDC, 0, 0, SRCCOPY);

    // 10. Transparent pixels of the copy become black.
    SetTextColor(copyDC, 0x000000);
    SetBkColor(copyDC, 0xFFFFFF);
    BitBlt(copyDC, 0, 0, srcW, srcH, maskDC, 0, 0, kRopDSna);

    // 11-12. Punch the picture's holes into the background, then fill them.
    StretchBlt(workDC, 0, 0, width, height, maskDC, 0, 0, srcW, srcH, SRCAND);
    StretchBlt(workDC, 0, 0, width, height, copyDC, 0, 0, srcW, srcH, SRCPAINT);

    // 13.
    BitBlt(destDC, destRect.left, destRect.top, dstW, dstH, workDC, 0, 0, SRCCOPY);

    // 14.
    SelectObject(workDC, workOld);
    SelectObject(copyDC, copyOld);
    SelectObject(maskDC, maskOld);
    SelectObject(srcDC, srcOld);
    DeleteObject(workBitmap);
    DeleteObject(copyBitmap);
    DeleteObject(maskBitmap);
    DeleteDC(workDC);
    DeleteDC(copyDC);
    DeleteDC(maskDC);
    DeleteDC(srcDC);
}
