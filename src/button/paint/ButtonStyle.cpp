// Style rendering of kxButtons_H: the face (solid, shaded or gradient), the
// three one-pixel rings of the rectangular and slanted shapes, the rings and
// highlights of the elliptic shapes, then caption and image.
//
// Ring layout on the plain rectangle (shape 0), seen at the top-left corner:
//
//     outer  ring: rectangle on the control's edge, dark blue when enabled
//     middle ring: 1 pixel inside
//     inner  ring: 2 pixels inside
//
// The four corner pixels of the middle ring are repainted in the outer
// colour so the bevelled window region reads as a rounded corner.

#include <button/kxButtons_H.h>

#include "PaintMath.h"

using namespace kxpaint;

namespace {

// Ring colours of the default (blue) and hot (orange) looks, 0x00BBGGRR.
constexpr std::int32_t kOuterRing = 0x733C00;
constexpr std::int32_t kDefaultHighlight = 0xEF826B;
constexpr std::int32_t kHotHighlight = 0x0096E7;

} // namespace

bool kxButtons_H::isHoverAndHeld() const
{
    return (m_input.stateBits & kHoverFlag) != 0 && (m_input.stateBits & kHeldFlag) != 0;
}

void kxButtons_H::DrawButton(std::array<POINT, 16> &points,
                             std::array<std::int32_t, 13> &borderColors,
                             std::int16_t &lookIndex)
{
    const bool enabled = host::UserControl::Enabled();
    const bool hoverAndHeld = isHoverAndHeld();
    const bool isDefault = (m_input.stateBits & kDefaultFlag) != 0;

    // 1. Base and face colour.
    std::int32_t base;
    std::int32_t face;
    if (m_toggle.mode > 0) {
        base = m_toggle.value ? m_colours.selectedFaceColor : m_colours.faceColor;
        face = base;
    } else {
        base = m_colours.faceColor;
        if (hoverAndHeld && m_colours.gradientMode == GradientNone)
            face = m_colours.pressedFaceColor;
        else if (!enabled)
            face = ShiftColor(base, -24, true);
        else
            face = base;
    }

    // 2. Caption colour of the disabled look.
    std::int32_t disabledColor = 0;
    if (!enabled)
        disabledColor = ShiftColor(face, -104, true);

    // 3. Second gradient colour.
    std::int32_t secondGradient =
        m_colours.gradientMode != GradientNone ? ShiftColor(ConvertSysColor(m_colours.gradientColor), 48, true) : face;

    // 4.
    std::int32_t hoverFace = m_colours.hoverFaceColor;
    DrawBackground(face, lookIndex, secondGradient, hoverFace);

    if (m_look.buttonShape >= ShapeEllipse) {
        // 5. Elliptic shapes: a highlight ring instead of the border rings.
        if (isDefault && !m_input.tracking)
            DrawFocusHighlight(kDefaultHighlight);
        else if (m_input.tracking)
            DrawFocusHighlight(kHotHighlight);
    } else {
        std::int32_t borderColor;
        if (enabled) {
            // 6. Look index, starting from what DrawBackground left in it.
            if ((m_input.pressedLook && m_toggle.mode > 0) || m_toggle.value)
                lookIndex = isDefault ? 1 : 2;
            if ((m_input.stateBits & kHoverFlag) != 0 && (m_input.stateBits & kHeldFlag) == 0)
                lookIndex = 3;
            else if (lookIndex == 1 && !m_look.showFocusRect)
                lookIndex = 0;

            auto shade = [base](std::int16_t amount) { return ShiftColor(base, amount, true); };
            switch (lookIndex) {
            case 1: // default
                borderColors[1] = 0xF0D1B5;
                borderColors[2] = 0xF7D7BD;
                borderColors[3] = 0xF0D1B5;
                borderColors[4] = 0xE7AE8C;
                borderColors[5] = 0xE7AE8C;
                borderColors[6] = 0xFFDFBF;
                borderColors[7] = 0xE7AE8C;
                borderColors[8] = 0xEF826B;
                break;
            case 2: // pressed: light and shade swapped
                borderColors[1] = shade(-22);
                borderColors[2] = shade(-24);
                borderColors[3] = base;
                borderColors[4] = shade(10);
                borderColors[5] = shade(-32);
                borderColors[6] = shade(-32);
                borderColors[7] = shade(5);
                borderColors[8] = shade(16);
                break;
            case 3: // hot
                borderColors[1] = 0x6BCBFF;
                borderColors[2] = 0x8CDBFF;
                borderColors[3] = 0x6BCBFF;
                borderColors[4] = 0x31B2FF;
                borderColors[5] = 0x31B2FF;
                borderColors[6] = 0xA6E9FF;
                borderColors[7] = 0x31B2FF;
                borderColors[8] = 0x0096E7;
                break;
            default: // normal
                borderColors[1] = shade(-10);
                borderColors[2] = shade(10);
                borderColors[3] = shade(-24);
                borderColors[4] = shade(-32);
                borderColors[5] = shade(-5);
                borderColors[6] = shade(16);
                borderColors[7] = shade(-36);
                borderColors[8] = shade(-48);
                break;
            }
            for (int i = 9; i <= 12; ++i)
                borderColors[static_cast<std::size_t>(i)] = kOuterRing;
            borderColor = kOuterRing;
        } else {
            // 7. Disabled: only the outer ring, in a darkened face colour.
            borderColor = ShiftColor(base, -84, true);
            for (int i = 1; i <= 8; ++i)
                borderColors[static_cast<std::size_t>(i)] = -1;
            for (int i = 9; i <= 12; ++i)
                borderColors[static_cast<std::size_t>(i)] = borderColor;
        }

        // 8. Rings, then the four corner pixels.
        DrawBorder(points, borderColors);
        const std::int32_t w = whole(ScaleWidth());
        const std::int32_t h = whole(ScaleHeight());
        if (m_layout.faceLeft == 0) {
            SetPixel(m_surface.memDC, 1, h - 2, static_cast<COLORREF>(borderColor));
            SetPixel(m_surface.memDC, 1, 1, static_cast<COLORREF>(borderColor));
        }
        if (w == m_layout.faceRight) {
            SetPixel(m_surface.memDC, w - 2, h - 2, static_cast<COLORREF>(borderColor));
            SetPixel(m_surface.memDC, w - 2, 1, static_cast<COLORREF>(borderColor));
        }
    }

    // 9.
    bool pushed = m_toggle.value != 0;
    bool singlePass = true;
    DrawCaption(face, disabledColor, pushed, singlePass);
}

void kxButtons_H::DrawBackground(std::int32_t &faceColor, std::int16_t &lookIndex,
                                 std::int32_t &secondGradientColor,
                                 std::int32_t &hoverFaceColor)
{
    const bool hoverAndHeld = isHoverAndHeld();
    const std::int32_t w = whole(ScaleWidth());
    const std::int32_t h = whole(ScaleHeight());

    // 1.
    if (hoverAndHeld)
        lookIndex = 2;
    else
        lookIndex = (m_input.stateBits & kDefaultFlag) != 0 ? 1 : 0;

    // 2. The hover face shows while the pointer is over a button that is
    // neither being pressed nor selected.
    std::int32_t bg = faceColor;
    if (m_input.tracking && ((m_toggle.mode == 0 && !hoverAndHeld) || (m_toggle.mode > 0 && !m_toggle.value)))
        bg = hoverFaceColor;

    // 3. Elliptic shapes: ring or outline first, drawn unclipped.
    if (m_look.buttonShape >= ShapeEllipse) {
        SelectClipRgn(m_surface.memDC, 0);
        if (m_look.buttonShape >= ShapeEllipseOutlined) {
            SelectDrawTool(true, m_surface.memDC, 1, 0, false, 2, PS_SOLID);
            Arc(m_surface.memDC, 0, 0, w, h, 0, 0, 0, 0);
        } else if (!(m_look.buttonShape == ShapeEllipsePlainPress && hoverAndHeld)) {
            const std::int32_t savedMode = m_colours.gradientMode;
            m_colours.gradientMode = hoverAndHeld ? GradientFromBottom : GradientFromTop;
            DrawGradient(ShiftColor(m_colours.containerBackColor, 172),
                         ShiftColor(m_colours.containerBackColor, -32));
            m_colours.gradientMode = savedMode;
        }
        SelectClipRgn(m_surface.memDC, m_surface.clipRegion);
    }

    // 4. Gradient face.
    if (m_colours.gradientMode != GradientNone && !m_toggle.value) {
        if (m_input.tracking && !hoverAndHeld && m_colours.gradientColor != m_colours.hoverBackColor)
            DrawBoxRect(m_surface.memDC, 0, 0, w, h, hoverFaceColor, -1);
        else
            DrawGradient(faceColor, secondGradientColor);
        return;
    }

    // 5. Shaded face: darkens by about 25 from the top row to the bottom;
    // column 0, column W - 1 and row 0 are left to the frame.
    if (host::UserControl::Enabled() || m_toggle.mode > 0) {
        const float height = ScaleHeight();
        const float perRow = 25.0f / height;
        const std::int32_t last = whole(height - 1.0f);
        const auto rowColor = [&](std::int32_t i) {
            const std::int32_t amount = whole(-perRow * static_cast<float>(i));
            return ShiftColor(bg, static_cast<std::int16_t>(amount), true);
        };
        // Rows of one colour one under the other are drawn as one box: the
        // same pixels, as a box is outlined in its own fill colour. On a
        // face over 25 pixels high (a high-resolution screen) colours repeat.
        std::int32_t row = rowColor(1);
        for (std::int32_t i = 1; i <= last;) {
            std::int32_t next = i + 1;
            std::int32_t nextRow = row;
            while (next <= last && (nextRow = rowColor(next)) == row)
                ++next;
            DrawBoxRect(m_surface.memDC, 1, i, w - 1, next, row, -1);
            i = next;
            row = nextRow;
        }
        return;
    }

    // 6. A disabled command button is flat.
    DrawBoxRect(m_surface.memDC, 0, 0, w, h, bg, -1);
}

void kxButtons_H::DrawBorder(std::array<POINT, 16> &points,
                             std::array<std::int32_t, 13> &borderColors)
{
    const std::int32_t w = whole(ScaleWidth());
    const std::int32_t h = whole(ScaleHeight());
    const std::int32_t L = (m_look.buttonShape == ShapeSlantLeft || m_look.buttonShape == ShapeSlantBoth) ? 1 : 0;
    const std::int32_t R = (m_look.buttonShape == ShapeSlantRight || m_look.buttonShape == ShapeSlantBoth) ? 1 : 0;
    const std::int32_t FL = m_layout.faceLeft;
    const std::int32_t FR = m_layout.faceRight;

    points[0] = {FL + 2 - 4 * L, h - 3};
    points[1] = {2 + 2 * L, 2};
    points[2] = {FR - 3 + 3 * R, 2};
    points[3] = {w - 3 - 3 * R, h - 3};
    points[4] = {FL + 1 - 4 * L, h - 3};
    points[5] = {FL + 1 - 3 * L, h - 2};
    points[6] = {1 + L, 1};
    points[7] = {FR - 2 + 2 * R, 1};
    points[8] = {w - 2 - 2 * R, h - 2};
    points[9] = {FL - 4 * L, h - 2};
    points[10] = {FL - L, h - 1 + L};
    points[11] = {0, 0};
    points[12] = {FR - 1 + R, 0};
    points[13] = {w - 1, h - 1 + R};
    points[14] = {FL - 1 - 2 * L, h - 1};
    points[15] = {w - 1, h - 1};

    // Segments 0-3 inner ring, 5-8 middle, 10-13 outer; 4 and 9 are the
    // steps between rings. Each Polyline leaves out its end point.
    bool drawnAny = false;
    std::int32_t lastColor = 0;
    for (int i = 0; i <= 13; ++i) {
        if (i == 4 || i == 9)
            continue;
        const int entry = i <= 3 ? i + 1 : (i <= 8 ? i : i - 1);
        const std::int32_t color = borderColors[static_cast<std::size_t>(entry)];
        if (color <= -1)
            continue;
        // A pen is made only when the colour changes; the first segment
        // always makes one, so no tool left over from the face is reused.
        if (!drawnAny || color != lastColor) {
            SelectDrawTool(true, m_surface.memDC, 1, color, false, 1, PS_SOLID);
            lastColor = color;
            drawnAny = true;
        }
        POINT segment[2] = {points[static_cast<std::size_t>(i)],
                            points[static_cast<std::size_t>(i + 1)]};
        Polyline(m_surface.memDC, segment, 2);
    }
    // The straight bottom row, in the pen of the last segment drawn.
    POINT bottom[2] = {points[14], points[15]};
    Polyline(m_surface.memDC, bottom, 2);
}

void kxButtons_H::DrawFocusHighlight(std::int32_t color)
{
    if ((m_input.stateBits & kDefaultFlag) == 0)
        return;
    const std::int32_t w = whole(ScaleWidth());
    const std::int32_t h = whole(ScaleHeight());
    SelectClipRgn(m_surface.memDC, 0);
    SelectDrawTool(true, m_surface.memDC, 1, color, false, 1, PS_SOLID);
    const std::int32_t k = m_look.buttonShape == ShapeEllipseOutlined ? 1 : 0;
    Arc(m_surface.memDC, 3 - k, 3 - k, w - 3 + k, h - 3 + k, 0, 0, 0, 0);
    SelectClipRgn(m_surface.memDC, m_surface.clipRegion);
}
