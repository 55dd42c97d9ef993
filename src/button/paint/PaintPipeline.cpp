// The paint pipeline of kxButtons_H: the off-screen surface, the drawing
// tools, colour arithmetic, cached values and the banded gradient.
//
// Every redraw composes the whole button in the memory DC and then copies it
// to the control's device context with one SRCCOPY, so the window never shows
// a half-drawn button. The memory DC keeps exactly one pen and one brush of
// the control's making at any time (each new tool deletes the one it
// replaces); the objects it held when it was made are kept aside and put
// back at tear-down.

#include <button/kxButtons_H.h>

#include "AnsiText.h"
#include "PaintMath.h"

#include <QByteArray>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace kxpaint;

namespace {

// The screen in pixels: the runtime's Screen size in twips divided by its
// twips per pixel (device pixels of the screen the control is on).
QSize screenPixels(const host::UserControl &control)
{
    const QScreen *screen = control.screen();
    const host::ScreenScale scale = control.screenScale();
    return screen ? QSize(scale.devicePixels(screen->size().width()), scale.devicePixels(screen->size().height()))
                  : QSize(0, 0);
}

} // namespace

HGDIOBJ kxButtons_H::pictureHandle() const
{
    return m_image.picture ? m_image.picture->Handle() : 0;
}

void kxButtons_H::RedrawButton(bool /*unused*/)
{
    if (m_surface.delayDrawing)
        return;
    // Before the first resize there is no surface to draw into or copy from.
    if (m_surface.memDC == 0)
        return;

    if (m_look.buttonStyle == 2) {
        std::array<POINT, 16> points{};
        std::array<std::int32_t, 13> borderColors{};
        std::int16_t lookIndex = 0;
        DrawButton(points, borderColors, lookIndex);
    }
    ManageOffscreenSurface(false);
    host::UserControl::Refresh();
}

void kxButtons_H::ManageOffscreenSurface(bool create)
{
    const std::int32_t w = whole(ScaleWidth());
    const std::int32_t h = whole(ScaleHeight());

    if (!create) {
        BitBlt(host::UserControl::hDC(), 0, 0, w, h, m_surface.memDC, 0, 0, SRCCOPY);
        return;
    }

    if (m_surface.memDC == 0) {
        m_surface.memDC = CreateCompatibleDC(host::UserControl::hDC());
        // 3 is not OPAQUE: captions never paint their cell background.
        SetBkMode(m_surface.memDC, 3);
        m_surface.initialBrush = static_cast<HBRUSH>(SelectObject(m_surface.memDC, CreateSolidBrush(0)));
        m_surface.initialPen = static_cast<HPEN>(SelectObject(m_surface.memDC, CreatePen(PS_SOLID, 1, 0)));
        RefreshCachedValues(QStringLiteral("Font"));
    }
    if (m_surface.initialBitmap == 0) {
        HBITMAP bitmap = CreateCompatibleBitmap(host::UserControl::hDC(), w, h);
        m_surface.initialBitmap = static_cast<HBITMAP>(SelectObject(m_surface.memDC, bitmap));
    }
}

void kxButtons_H::DrawBoxRect(HDC hdc, std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom, std::int32_t fillColor,
                              std::int32_t penColor, std::int32_t penWidth,
                              std::int32_t penStyle)
{
    if (penColor != -1)
        SelectDrawTool(true, hdc, 1, penColor, false, penWidth, penStyle);
    // Without a pen colour the box is outlined in its own fill colour.
    SelectDrawTool(true, hdc, 0, fillColor, penColor == -1, 1, PS_SOLID);
    Rectangle(hdc, left, top, right, bottom);
}

void kxButtons_H::SelectDrawTool(bool create, HDC hdc, std::int32_t kind, std::int32_t color,
                                 bool withPen, std::int32_t penWidth, std::int32_t penStyle)
{
    if (!create) {
        DeleteObject(SelectObject(m_surface.memDC, m_surface.initialBrush));
        DeleteObject(SelectObject(m_surface.memDC, m_surface.initialPen));
        return;
    }
    switch (kind) {
    case 0:
        replaceTool(CreateSolidBrush(static_cast<COLORREF>(color)));
        if (withPen)
            replaceTool(CreatePen(penStyle, penWidth, static_cast<COLORREF>(color)));
        break;
    case 1:
        replaceTool(CreatePen(penStyle, penWidth, static_cast<COLORREF>(color)));
        break;
    case 2:
        SetTextColor(hdc, static_cast<COLORREF>(ConvertSysColor(color)));
        break;
    default:
        break;
    }
}

void kxButtons_H::replaceTool(HGDIOBJ tool)
{
    const HGDIOBJ previous = SelectObject(m_surface.memDC, tool);
    // A tool that could not be selected (no surface yet) is not kept either.
    DeleteObject(previous != 0 ? previous : tool);
}

std::int32_t kxButtons_H::ConvertSysColor(std::int32_t color) const
{
    if (color >= 0)
        return color;
    return static_cast<std::int32_t>(GetSysColor(color & 0xFF));
}

std::int32_t kxButtons_H::ShiftColor(std::int32_t color, std::int16_t amount, bool scaleBlue)
{
    const std::int32_t red = redOf(color);
    const std::int32_t green = greenOf(color);
    const std::int32_t blue = blueOf(color);

    std::int32_t r = red + amount;
    std::int32_t g = green + amount;
    // With scaleBlue the blue channel moves in proportion to its own value,
    // which keeps greys slightly warm or cool instead of flat.
    std::int32_t b = scaleBlue ? blue + (amount * blue) / 192 : blue + amount;

    r = std::clamp(r, 0, 255);
    g = std::clamp(g, 0, 255);
    b = std::clamp(b, 0, 255);
    return r + 256 * g + 65536 * b;
}

void kxButtons_H::RefreshCachedValues(const QString &key)
{
    if (key.compare(QLatin1String("Font"), Qt::CaseInsensitive) == 0) {
        const host::StdFontPtr fontPtr = host::UserControl::Font();
        const host::StdFont &font = *fontPtr;
        LOGFONTA lf;
        std::memset(&lf, 0, sizeof lf);
        m_caption.fontTwipsPerPixel = TwipsPerPixelY();
        lf.lfHeight = whole(-20.0 * font.Size() / m_caption.fontTwipsPerPixel);
        lf.lfWeight = font.Weight();
        lf.lfItalic = font.Italic() ? 1 : 0;
        lf.lfUnderline = font.Underline() ? 1 : 0;
        lf.lfStrikeOut = font.Strikethrough() ? 1 : 0;
        lf.lfCharSet = DEFAULT_CHARSET;
        // In the ANSI code page, at most 31 characters and always
        // NUL-terminated, whatever the name.
        const QByteArray name = kxpaint::toWindows1252(font.Name()).left(LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, name.constData(), static_cast<std::size_t>(name.size()));
        lf.lfFaceName[name.size()] = '\0';

        const HFONT created = CreateFontIndirectA(&lf);
        const HFONT previous = static_cast<HFONT>(SelectObject(m_surface.memDC, created));
        if (previous == 0)
            DeleteObject(created); // no surface yet: it builds its font when made
        else if (m_surface.initialFont == 0)
            m_surface.initialFont = previous;
        else
            DeleteObject(previous);
        return;
    }

    if (key.compare(QLatin1String("Picture"), Qt::CaseInsensitive) == 0) {
        const HGDIOBJ handle = pictureHandle();
        if (handle == 0) {
            m_image.pictureWidth = 0;
            m_image.pictureHeight = 0;
            return;
        }
        BITMAP bm;
        std::memset(&bm, 0, sizeof bm);
        GetObjectA(handle, sizeof bm, &bm);
        m_image.pictureWidth = bm.bmWidth;
        m_image.pictureHeight = bm.bmHeight;
        if (bm.bmBits != nullptr) {
            m_image.pictureKind = 0;
            return;
        }
        ICONINFO info;
        std::memset(&info, 0, sizeof info);
        if (GetIconInfo(reinterpret_cast<HICON>(handle), &info)) {
            if (info.hbmColor != 0) {
                BITMAP colorBm;
                std::memset(&colorBm, 0, sizeof colorBm);
                GetObjectA(info.hbmColor, sizeof colorBm, &colorBm);
                m_image.pictureWidth = colorBm.bmWidth;
                m_image.pictureHeight = colorBm.bmHeight;
                m_image.pictureKind = 1;
            }
            if (info.hbmMask != 0)
                DeleteObject(info.hbmMask);
            if (info.hbmColor != 0)
                DeleteObject(info.hbmColor);
        }
        return;
    }

    if (key.compare(QLatin1String("BackColor"), Qt::CaseInsensitive) == 0) {
        if (m_look.buttonStyle != 2)
            return;
        m_colours.faceColor = ShiftColor(ConvertSysColor(m_colours.backColor), 48, true);
        m_colours.hoverFaceColor = ShiftColor(ConvertSysColor(m_colours.hoverBackColor), 48, true);
        m_colours.pressedFaceColor = ShiftColor(m_colours.faceColor, -32, true);
        m_colours.selectedFaceColor = ShiftColor(0xFFFFFF, -32, true);
    }
}

void kxButtons_H::DrawGradient(std::int32_t firstColor, std::int32_t secondColor)
{
    const std::int32_t w = whole(ScaleWidth());
    const std::int32_t h = whole(ScaleHeight());
    std::int32_t bandWidth = 1;
    const bool vertical = m_colours.gradientMode >= GradientFromTop;

    const QSize screenSize = screenPixels(*this);
    const std::int32_t screen = vertical ? screenSize.height() : screenSize.width();
    const std::int32_t length = vertical ? h : w;
    // A control without extent in the gradient's direction has no bands.
    if (length <= 0)
        return;

    std::int32_t count = length;
    if (idiv(screen, length) < 4) {
        // Controls spanning more than about a quarter of the screen use
        // 2-pixel bands: half the rectangles.
        bandWidth = 2;
        count = idiv(length, 2);
    }
    if (count <= 0)
        return;

    std::vector<std::int32_t> colors(static_cast<std::size_t>(count));
    CalcGradientColors(colors, firstColor, secondColor);

    RECT band = vertical ? RECT{0, 0, w, bandWidth} : RECT{0, 0, bandWidth, h};
    const bool firstAtStart = (m_colours.gradientMode % 2) != 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t color = firstAtStart ? colors[static_cast<std::size_t>(i)]
                                                : colors[static_cast<std::size_t>(count - 1 - i)];
        DrawBoxRect(m_surface.memDC, band.left, band.top, band.right, band.bottom, color, -1);
        if (vertical)
            OffsetRect(&band, 0, bandWidth);
        else
            OffsetRect(&band, bandWidth, 0);
    }
}

void kxButtons_H::CalcGradientColors(std::vector<std::int32_t> &colors, std::int32_t firstColor,
                                     std::int32_t secondColor)
{
    if (colors.empty())
        return;
    const std::size_t n = colors.size() - 1;
    colors[0] = firstColor;
    // A single band has no step to take: it is painted in the first colour.
    if (n == 0)
        return;

    // Single precision and no rounding between steps: the last band lands on
    // the second colour up to the accumulated error.
    float r = static_cast<float>(redOf(firstColor));
    float g = static_cast<float>(greenOf(firstColor));
    float b = static_cast<float>(blueOf(firstColor));
    const float count = static_cast<float>(n);
    const float stepR = (static_cast<float>(redOf(secondColor)) - r) / count;
    const float stepG = (static_cast<float>(greenOf(secondColor)) - g) / count;
    const float stepB = (static_cast<float>(blueOf(secondColor)) - b) / count;

    for (std::size_t j = 1; j <= n; ++j) {
        r = std::clamp(r + stepR, 0.0f, 255.0f);
        g = std::clamp(g + stepG, 0.0f, 255.0f);
        b = std::clamp(b + stepB, 0.0f, 255.0f);
        colors[j] = static_cast<std::int32_t>(std::floor(r))
                    + 256 * static_cast<std::int32_t>(std::floor(g))
                    + 65536 * static_cast<std::int32_t>(std::floor(b));
    }
}
