// Redraw requests, drawing suspension, resizing, ambient changes, tear-down.

#include <button/kxButtons_H.h>

#include <host/window.h>

void kxButtons_H::Refresh()
{
    RedrawButton();
}

void kxButtons_H::DelayDrawing(bool bDelay)
{
    m_delayDrawing = bDelay ? True : False;
    if (!bDelay)
        Refresh();
}

void kxButtons_H::UserControl_Resize()
{
    // A resize while drawing is suspended is dropped: region and surface keep
    // their size until the next resize with the flag clear.
    if (m_delayDrawing != False)
        return;
    CreateButtonRegion();
    if (m_memDC != 0) {
        const HGDIOBJ offscreen = SelectObject(m_memDC, m_initialBitmap);
        DeleteObject(offscreen);
        m_initialBitmap = 0;
    }
    ManageOffscreenSurface(true);
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
            if (m_showFocusRect != False && Ambient().DisplayAsDefault)
                m_stateBits = std::int16_t(m_stateBits | kDefaultFlag);
            else
                m_stateBits = std::int16_t(m_stateBits & ~kDefaultFlag);
            Refresh();
        } else if (PropertyName.compare(QLatin1String("BackColor"), Qt::CaseInsensitive) == 0) {
            m_containerBackColor = ConvertSysColor(Ambient().BackColor);
            if (m_buttonShape >= 4)
                Refresh();
        }
    } catch (...) {
    }
}

void kxButtons_H::UserControl_Terminate()
{
    if (m_tracking != False) {
        KillTimer(hwnd(), kHoverTimerId);
        m_tracking = False;
    }
    if (m_clipRegion != 0) {
        DeleteObject(m_clipRegion);
        m_clipRegion = 0;
    }
    if (m_memDC != 0) {
        SelectDrawTool(false, m_memDC);
        if (m_initialFont != 0) {
            DeleteObject(SelectObject(m_memDC, m_initialFont));
            m_initialFont = 0;
        }
        if (m_initialBitmap != 0) {
            DeleteObject(SelectObject(m_memDC, m_initialBitmap));
            m_initialBitmap = 0;
        }
        DeleteDC(m_memDC);
        m_memDC = 0;
        m_initialPen = 0;
        m_initialBrush = 0;
    }
    // Nothing may reach this object through a stored address once it is
    // gone: leave the option group and drop the hover properties.
    leaveAllGroupsAtTeardown();
}
