// Redraw requests, drawing suspension, resizing, ambient changes, tear-down.

#include <button/kxButtons_H.h>

#include <host/window.h>

void kxButtons_H::Refresh()
{
    RedrawButton();
}

void kxButtons_H::DelayDrawing(bool bDelay)
{
    m_surface.delayDrawing = bDelay ? True : False;
    if (!bDelay)
        Refresh();
}

void kxButtons_H::UserControl_Resize()
{
    // A resize while drawing is suspended is dropped: region and surface keep
    // their size until the next resize with the flag clear.
    if (m_surface.delayDrawing != False)
        return;
    CreateButtonRegion();
    if (m_surface.memDC != 0) {
        const HGDIOBJ offscreen = SelectObject(m_surface.memDC, m_surface.initialBitmap);
        DeleteObject(offscreen);
        m_surface.initialBitmap = 0;
    }
    ManageOffscreenSurface(true);
    // On a screen of another scale the caption's pixel height changes too.
    if (m_caption.fontTwipsPerPixel != TwipsPerPixelY())
        RefreshCachedValues(QStringLiteral("Font"));
    std::int32_t usableWidth = 0;
    std::int32_t faceOffset = 0;
    CalculateLayout(usableWidth, true, faceOffset);
    // A hidden button whose first picture is left to its first paint stays
    // undrawn until then (hDC draws it for anyone who asks earlier).
    if (isPictureOwed() && !isVisible())
        return;
    Refresh();
}

void kxButtons_H::UserControl_AmbientChanged(const QString &PropertyName)
{
    // Nothing raised here may escape: an ambient change is never an error.
    try {
        if (PropertyName.compare(QLatin1String("DisplayAsDefault"), Qt::CaseInsensitive) == 0) {
            if (m_look.showFocusRect != False && Ambient().DisplayAsDefault)
                m_input.stateBits = std::int16_t(m_input.stateBits | kDefaultFlag);
            else
                m_input.stateBits = std::int16_t(m_input.stateBits & ~kDefaultFlag);
            Refresh();
        } else if (PropertyName.compare(QLatin1String("BackColor"), Qt::CaseInsensitive) == 0) {
            m_colours.containerBackColor = ConvertSysColor(Ambient().BackColor);
            if (m_look.buttonShape >= ShapeEllipse)
                Refresh();
        }
    } catch (...) {
    }
}

void kxButtons_H::UserControl_Terminate()
{
    if (m_input.tracking != False) {
        KillTimer(hwnd(), kHoverTimerId);
        m_input.tracking = False;
    }
    if (m_surface.clipRegion != 0) {
        DeleteObject(m_surface.clipRegion);
        m_surface.clipRegion = 0;
    }
    if (m_surface.memDC != 0) {
        SelectDrawTool(false, m_surface.memDC);
        if (m_surface.initialFont != 0) {
            DeleteObject(SelectObject(m_surface.memDC, m_surface.initialFont));
            m_surface.initialFont = 0;
        }
        if (m_surface.initialBitmap != 0) {
            DeleteObject(SelectObject(m_surface.memDC, m_surface.initialBitmap));
            m_surface.initialBitmap = 0;
        }
        DeleteDC(m_surface.memDC);
        m_surface.memDC = 0;
        m_surface.initialPen = 0;
        m_surface.initialBrush = 0;
    }
    // Nothing may reach this object through a stored address once it is
    // gone: leave the option group and drop the hover properties.
    leaveAllGroupsAtTeardown();
}
