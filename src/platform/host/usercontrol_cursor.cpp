// The user control's mouse pointer: a standard shape or a custom icon.

#include "usercontrol_p.h"

#include <gdi/bridge.h>

#include <QCursor>
#include <QPixmap>

namespace host {

namespace {

// An icon drawn onto black and onto white gives both its colour and its
// alpha: alpha = 255 - (white - black).
QImage iconImage(const StdPicture &icon)
{
    const int w = icon.pixelWidth();
    const int h = icon.pixelHeight();
    if (w <= 0 || h <= 0)
        return {};
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP bitmap = CreateCompatibleBitmap(0, w, h);
    const HGDIOBJ stock = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, w, h, BLACKNESS);
    DrawIconEx(dc, 0, 0, icon.Handle(), w, h, 0, 0, DI_NORMAL);
    const QImage onBlack = gdi::bitmapImage(bitmap).copy();
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    DrawIconEx(dc, 0, 0, icon.Handle(), w, h, 0, 0, DI_NORMAL);
    const QImage onWhite = gdi::bitmapImage(bitmap).copy();
    SelectObject(dc, stock);
    DeleteObject(bitmap);
    DeleteDC(dc);

    QImage result(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb b = onBlack.pixel(x, y);
            const QRgb wt = onWhite.pixel(x, y);
            const int alpha = qBound(0, 255 - (qGreen(wt) - qGreen(b)), 255);
            const auto unmix = [alpha](int c) { return alpha == 0 ? 0 : qBound(0, c * 255 / alpha, 255); };
            result.setPixel(x, y, qRgba(unmix(qRed(b)), unmix(qGreen(b)), unmix(qBlue(b)), alpha));
        }
    }
    return result;
}

} // namespace

void UserControl::setMousePointer(int pointer)
{
    if (!((pointer >= vbDefault && pointer <= vbSizeAll) || pointer == vbCustom))
        throw RuntimeError(ErrInvalidPropertyValue, standardErrorDescription(ErrInvalidPropertyValue));
    m_mousePointer = pointer;
    applyCursor();
}

void UserControl::setMouseIcon(const StdPicturePtr &icon)
{
    if (icon && icon->Type() != vbPicTypeNone && icon->Type() != vbPicTypeIcon)
        throw RuntimeError(ErrInvalidPropertyValue, standardErrorDescription(ErrInvalidPropertyValue));
    m_mouseIcon = icon && icon->Type() == vbPicTypeIcon ? icon : nullptr;
    applyCursor();
}

void UserControl::applyCursor()
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,     // 0 default (unset below)
        Qt::ArrowCursor,     // 1 arrow
        Qt::CrossCursor,     // 2 cross
        Qt::IBeamCursor,     // 3 I-beam
        Qt::ArrowCursor,     // 4 icon
        Qt::SizeAllCursor,   // 5 size
        Qt::SizeBDiagCursor, // 6 size NE SW
        Qt::SizeVerCursor,   // 7 size N S
        Qt::SizeFDiagCursor, // 8 size NW SE
        Qt::SizeHorCursor,   // 9 size W E
        Qt::UpArrowCursor,   // 10 up arrow
        Qt::WaitCursor,      // 11 hourglass
        Qt::ForbiddenCursor, // 12 no drop
        Qt::BusyCursor,      // 13 arrow and hourglass
        Qt::WhatsThisCursor, // 14 arrow and question mark
        Qt::SizeAllCursor,   // 15 size all
    };
    if (m_mousePointer == vbCustom) {
        if (!m_mouseIcon) {
            unsetCursor();
            return;
        }
        const QImage image = iconImage(*m_mouseIcon);
        // Cursors carry their hot spot; an icon used as a pointer points
        // with its centre.
        const QPoint hot = m_mouseIcon->isCursor() ? m_mouseIcon->hotSpot()
                                                   : QPoint(image.width() / 2, image.height() / 2);
        setCursor(QCursor(QPixmap::fromImage(image), hot.x(), hot.y()));
    } else if (m_mousePointer == vbDefault) {
        unsetCursor();
    } else {
        setCursor(shapes[m_mousePointer]);
    }
}

} // namespace host
