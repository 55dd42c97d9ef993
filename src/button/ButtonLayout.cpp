// Caption and image layout of kxButtons_H. Text is measured here, once per
// property change, with the caption font selected in the memory DC; the
// painters only read the two rectangles stored at the end.

#include <button/kxButtons_H.h>

#include "paint/AnsiText.h"
#include "paint/PaintMath.h"

#include <algorithm>

using namespace kxpaint;

std::int32_t kxButtons_H::imagePixels() const
{
    // 16 to 48 layout pixels, as twips, in the screen's pixels.
    return whole(static_cast<float>(m_image.imageSize * host::TwipsPerLayoutPixel) / TwipsPerPixelX());
}

void kxButtons_H::CalculateLayout(std::int32_t &usableWidth, bool full,
                                  std::int32_t &faceOffset)
{
    const float SW = ScaleWidth();
    const float SH = ScaleHeight();
    const std::int32_t FL = m_layout.faceLeft;
    const std::int32_t FR = m_layout.faceRight;

    // 1. Horizontal span of the usable face: the slanted ends give back a
    // third of their width to the caption.
    std::int32_t rightLimit;
    switch (m_look.buttonShape) {
    case ShapeSlantLeft:
        faceOffset = FL - idiv(FL, 3);
        rightLimit = whole(SW);
        usableWidth = whole(SW - static_cast<float>(faceOffset));
        break;
    case ShapeSlantRight:
        rightLimit = FR + idiv(whole(SW - static_cast<float>(FR)), 3);
        usableWidth = rightLimit;
        break;
    case ShapeSlantBoth:
        faceOffset = FL - idiv(FL, 3);
        rightLimit = FR + idiv(whole(SW - static_cast<float>(FR)), 3);
        usableWidth = rightLimit - faceOffset;
        break;
    default:
        rightLimit = whole(SW);
        usableWidth = FR;
        break;
    }
    if (!full)
        return;

    // 2. Room kept for a side, top or bottom image of up to 32 pixels.
    const bool hasImage = m_image.pictureWidth + m_image.pictureHeight > 0;
    const std::int32_t imageSize = imagePixels();
    std::int32_t LR = 0;
    std::int32_t RR = 0;
    std::int32_t TR = 0;
    std::int32_t BR = 0;
    bool sideImage = false;
    bool stackedImage = false;
    if (hasImage && m_image.imageSize < 33 && m_image.pictureAlign >= PictureLeftEdge && m_image.pictureAlign <= PictureBottomCentre) {
        switch (m_image.pictureAlign) {
        case PictureLeftEdge:
        case PictureLeftOfCaption:
            LR = imageSize;
            sideImage = true;
            break;
        case PictureRightEdge:
        case PictureRightOfCaption:
            RR = imageSize;
            sideImage = true;
            break;
        case PictureTopCentre:
            TR = imageSize;
            stackedImage = true;
            break;
        default:
            BR = imageSize;
            stackedImage = true;
            break;
        }
    }

    // 3. Measure the caption.
    RECT caption{0, 0, 0, 0};
    std::int32_t textWidth = 0;
    std::int32_t textHeight = -3;
    const bool hasCaption = !m_caption.text.isEmpty();
    if (hasCaption) {
        const QByteArray text = captionDrawText();
        RECT measure{0, 0, usableWidth - 12 - (sideImage ? imageSize : 0),
                     whole(SH - 12.0f
                           - static_cast<float>(stackedImage && m_image.pictureAlign > PictureRightOfCaption ? imageSize
                                                                                   : 0))};
        if (DrawTextA(m_surface.memDC, text.constData(), static_cast<int>(text.size()), &measure,
                      DT_CALCRECT | DT_WORDBREAK) == 0) {
            // No surface (and font) yet: nothing measured; the first resize
            // lays the caption out again.
            measure = RECT{0, 0, 0, 0};
        }
        textWidth = measure.right;
        textHeight = measure.bottom;
        if (m_caption.style != CaptionFlat) {
            // Room for the 3-D copies one pixel either side.
            textWidth += 2;
            textHeight += 2;
        }
        caption = RECT{0, 0, textWidth, textHeight};

        // 4. Horizontal placement.
        std::int32_t dx;
        if (m_caption.align == 0) {
            dx = faceOffset + LR + 6 + (LR > 0 ? 6 : 0);
        } else if (m_caption.align == 1) {
            dx = rightLimit - RR - 6 - textWidth - (RR > 0 ? 6 : 0);
        } else if (m_image.pictureAlign == PictureLeftOfCaption && LR > 0) {
            // Image and caption centred as one group, 6 pixels apart.
            dx = idiv(usableWidth - (textWidth + LR + 6), 2) + faceOffset + 6 + LR;
        } else if (m_image.pictureAlign == PictureRightOfCaption && RR > 0) {
            dx = idiv(usableWidth - (textWidth + RR + 6), 2) + faceOffset;
        } else {
            dx = idiv(usableWidth - (RR + LR) - textWidth, 2) + faceOffset + LR;
        }
        OffsetRect(&caption, dx, 0);
    }

    // 5. Image position and the caption's vertical place.
    RECT image{0, 0, 0, 0};
    if (hasImage) {
        std::int32_t imageLeft = 0;
        std::int32_t imageTop = 0;
        switch (m_image.pictureAlign) {
        case PictureLeftEdge:
            imageLeft = faceOffset + 6;
            break;
        case PictureLeftOfCaption:
            imageLeft = hasCaption ? caption.left - 6 - LR : faceOffset + 6;
            break;
        case PictureRightEdge:
            imageLeft = rightLimit - 6 - RR;
            break;
        case PictureRightOfCaption:
            imageLeft = hasCaption ? caption.right + 6 : rightLimit - 6 - RR;
            break;
        default:
            break;
        }
        if (m_image.pictureAlign == PictureTopCentre) {
            imageTop = idiv(whole(SH - static_cast<float>(textHeight + TR)), 2);
            OffsetRect(&caption, 0, imageTop + TR + 2);
        } else if (m_image.pictureAlign == PictureBottomCentre) {
            imageTop = idiv(whole(SH - static_cast<float>(textHeight + BR)), 2) + textHeight + 3;
            OffsetRect(&caption, 0, imageTop - 2 - textHeight);
        } else if (m_image.pictureAlign < PictureTopCentre) {
            OffsetRect(&caption, 0, idiv(whole(SH - static_cast<float>(textHeight)), 2));
            imageTop = idiv(whole(SH - static_cast<float>(imageSize)), 2);
        }
        if (m_image.pictureAlign >= PictureTopCentre)
            imageLeft = idiv(usableWidth - imageSize, 2) + faceOffset;
        image = RECT{imageLeft, imageTop, imageLeft + imageSize, imageTop + imageSize};
    } else {
        OffsetRect(&caption, 0, idiv(whole(SH - static_cast<float>(textHeight)), 2));
    }

    // 6. Keep both rectangles inside the face.
    auto clamp = [&](RECT &r) {
        r.top = std::max(r.top, 6);
        r.left = std::max(r.left, 6);
        r.right = std::min(r.right, rightLimit);
        if (static_cast<float>(r.bottom) > SH - 6.0f)
            r.bottom = whole(SH - 6.0f);
    };
    clamp(caption);
    clamp(image);
    m_layout.captionRect = caption;
    m_layout.imageRect = image;
}
