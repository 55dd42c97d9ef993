// Caption drawing of kxButtons_H: image first, then the caption text in one
// of three looks (flat, or a 3-D copy up-left and down-right), the hover
// text colour, and the greyed look of a disabled button. Positions come from
// the rectangles CalculateLayout stored; nothing is measured here.

#include <button/kxButtons_H.h>

#include "AnsiText.h"
#include "PaintMath.h"

#include <QByteArray>

using namespace kxpaint;

namespace {

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kGrey = 0x808080;

} // namespace

QByteArray kxButtons_H::captionDrawText() const
{
    QString text = m_caption.text;
    text.replace(QLatin1String("||"), QLatin1String("\r\n"));
    return kxpaint::toWindows1252(text);
}

UINT kxButtons_H::captionFormat() const
{
    UINT format = DT_WORDBREAK;
    switch (m_caption.align) {
    case 1:
        format |= DT_RIGHT;
        break;
    case 2:
        format |= DT_CENTER;
        break;
    default:
        format |= DT_LEFT;
        break;
    }
    return format;
}

void kxButtons_H::DrawCaption(std::int32_t &faceColor, std::int32_t &disabledColor,
                              bool &pushed, bool &singlePass)
{
    // 1. The usable span, for the image drawer.
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, false, faceOffset);

    // 2. Work on copies of the stored rectangles.
    RECT captionRect = m_layout.captionRect;
    RECT imageRect = m_layout.imageRect;

    // 3. Pressed: one pixel down, and right unless the shape is elliptic.
    if (pushed || isHoverAndHeld()) {
        const int dx = m_look.buttonShape >= ShapeEllipse ? 0 : 1;
        OffsetRect(&captionRect, dx, 1);
        OffsetRect(&imageRect, dx, 1);
    }

    // 4.
    DrawPicture(imageRect, usableWidth, faceOffset);

    // 5.
    if (m_caption.text.isEmpty())
        return;
    const QByteArray text = captionDrawText();
    const UINT format = captionFormat();
    auto draw = [&](const RECT &rect) {
        RECT r = rect;
        DrawTextA(m_surface.memDC, text.constData(), static_cast<int>(text.size()), &r, format);
    };

    if (host::UserControl::Enabled()) {
        // 6. Hover colour while the pointer is over the button, unless it is
        // being pressed there.
        const std::int32_t textColor = (m_input.tracking && !isHoverAndHeld())
                                           ? ConvertSysColor(m_colours.hoverForeColor)
                                           : ConvertSysColor(static_cast<std::int32_t>(host::UserControl::ForeColor()));
        // 7.
        if (m_caption.style == CaptionFlat) {
            SelectDrawTool(true, m_surface.memDC, 2, textColor);
            draw(captionRect);
            return;
        }
        const std::int16_t d = m_caption.style == CaptionEmbossed ? 40 : -40;
        SelectDrawTool(true, m_surface.memDC, 2, ShiftColor(faceColor, d));
        OffsetRect(&captionRect, -1, 0);
        draw(captionRect);
        SelectDrawTool(true, m_surface.memDC, 2, ShiftColor(faceColor, static_cast<std::int16_t>(-d)));
        OffsetRect(&captionRect, 2, 2);
        draw(captionRect);
        OffsetRect(&captionRect, -1, -1);
        SelectDrawTool(true, m_surface.memDC, 2, textColor);
        draw(captionRect);
        return;
    }

    // 8. Disabled.
    if (disabledColor >= 0 && m_colours.gradientMode == GradientNone) {
        SelectDrawTool(true, m_surface.memDC, 2, disabledColor);
        draw(captionRect);
        if (!singlePass) {
            OffsetRect(&captionRect, -1, -1);
            SelectDrawTool(true, m_surface.memDC, 2, kGrey);
            draw(captionRect);
        }
        return;
    }
    OffsetRect(&captionRect, 1, 1);
    singlePass = false;
    SelectDrawTool(true, m_surface.memDC, 2, kWhite);
    draw(captionRect);
    OffsetRect(&captionRect, -1, -1);
    SelectDrawTool(true, m_surface.memDC, 2, kGrey);
    draw(captionRect);
}
