// Shapes of kxButtons_H as window regions. The outline goes to the window
// (SetWindowRgn), so clicks and hover outside it fall through to the
// container; the elliptic shapes also keep a slightly smaller region that
// the painters select as the clip of the memory DC.
//
// Outlines run to SW + 1, SH + 1 because regions leave out their right and
// bottom edges; the corner cuts are small triangles subtracted from it:
//
//     ..#######..      top corners: 2 pixels along each edge
//     .#########.
//     ###########
//     .#########.      bottom corners: 3 pixels along each edge
//     ..#######..      (the last of them lies below the client area)

#include <button/kxButtons_H.h>

#include <host/window.h>

#include "paint/PaintMath.h"

using namespace kxpaint;

namespace {

void cutCorner(HRGN outline, POINT a, POINT b, POINT c)
{
    const POINT triangle[3] = {a, b, c};
    HRGN cut = CreatePolygonRgn(triangle, 3, WINDING);
    CombineRgn(outline, outline, cut, RGN_DIFF);
    DeleteObject(cut);
}

} // namespace

void kxButtons_H::CreateButtonRegion()
{
    std::int32_t SW = whole(ScaleWidth());
    std::int32_t SH = whole(ScaleHeight());

    // 1.
    m_layout.faceLeft = 0;
    m_layout.faceRight = SW;

    // 2.
    HRGN working = CreateRectRgn(0, 0, 0, 0);
    if (m_surface.clipRegion != 0) {
        SelectClipRgn(m_surface.memDC, 0);
        DeleteObject(m_surface.clipRegion);
        m_surface.clipRegion = 0;
    }

    // 3. The slant of shapes 1 to 3 equals SH + 1, computed as the forms
    // runtime does in single precision.
    const std::int32_t s = whole(4.0f * (static_cast<float>(SH + 1) / 4.0f));
    bool cutLeft = false;
    bool cutRight = false;
    HRGN outline = 0;
    switch (m_look.buttonShape) {
    case ShapeSlantLeft:
    case ShapeSlantRight:
    case ShapeSlantBoth: {
        if (SW - s < 5) {
            // Too narrow for its slants: grow by 5 pixels. The resize this
            // causes arrives while drawing is suspended and is dropped, so
            // one run grows the button once.
            DelayDrawing(true);
            Extender().setWidth(ScaleX(static_cast<float>(SW + 5), host::vbPixels,
                                       host::vbContainerSize));
            m_surface.delayDrawing = False;
            SW = whole(ScaleWidth());
            m_layout.faceRight = SW;
        }
        POINT outlinePoints[4];
        if (m_look.buttonShape == ShapeSlantLeft) {
            outlinePoints[0] = {0, 0};
            outlinePoints[1] = {s, SH + 1};
            outlinePoints[2] = {SW + 1, SH + 1};
            outlinePoints[3] = {SW + 1, 0};
            cutRight = true;
        } else if (m_look.buttonShape == ShapeSlantRight) {
            outlinePoints[0] = {0, 0};
            outlinePoints[1] = {0, SH + 1};
            outlinePoints[2] = {SW + 1, SH + 1};
            outlinePoints[3] = {SW - s + 1, 0};
            cutLeft = true;
        } else {
            outlinePoints[0] = {0, 0};
            outlinePoints[1] = {s, SH + 1};
            outlinePoints[2] = {SW + 1, SH + 1};
            outlinePoints[3] = {SW - s + 1, 0};
        }
        outline = CreatePolygonRgn(outlinePoints, 4, WINDING);
        if (m_look.buttonShape == ShapeSlantLeft || m_look.buttonShape == ShapeSlantBoth)
            m_layout.faceLeft = s;
        if (m_look.buttonShape == ShapeSlantRight || m_look.buttonShape == ShapeSlantBoth)
            m_layout.faceRight = SW - s;
        break;
    }
    case ShapeEllipse:
    case ShapeEllipsePlainPress:
        outline = CreateEllipticRgn(0, 0, SW + 1, SH + 1);
        m_surface.clipRegion = CreateEllipticRgn(1, 1, SW, SH);
        break;
    case ShapeEllipseOutlined:
        outline = CreateEllipticRgn(0, 0, SW + 1, SH + 1);
        m_surface.clipRegion = CreateEllipticRgn(2, 2, SW - 1, SH - 1);
        break;
    default:
        outline = CreateRectRgn(0, 0, SW + 1, SH + 1);
        cutLeft = true;
        cutRight = true;
        break;
    }

    // 4. Corner cuts: left pair first, each top then bottom.
    if (cutLeft) {
        cutCorner(outline, {0, 0}, {2, 0}, {0, 2});
        cutCorner(outline, {0, SH}, {3, SH}, {0, SH - 3});
    }
    if (cutRight) {
        cutCorner(outline, {SW, 0}, {SW - 2, 0}, {SW, 2});
        cutCorner(outline, {SW, SH}, {SW - 3, SH}, {SW, SH - 3});
    }

    // 5. The window owns the outline from here on.
    DeleteObject(working);
    SetWindowRgn(host::UserControl::hWnd(), outline, TRUE);

    // 6.
    if (m_layout.faceRight == 0)
        m_layout.faceRight = SW;
}
