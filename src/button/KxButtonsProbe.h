#pragma once
// Read access to a button's private state for the tests and kxrender, and
// the few state changes they need to stage a look (hover, held, pressed).
// Not part of the control's interface.

#include <button/kxButtons_H.h>

class KxButtonsProbe
{
public:
    explicit KxButtonsProbe(kxButtons_H &button) : b(button) {}

    std::int16_t stateBits() const { return b.m_stateBits; }
    void setStateBits(std::int16_t bits) { b.m_stateBits = bits; }
    bool tracking() const { return b.m_tracking != 0; }
    void setTracking(bool on) { b.m_tracking = on ? kxButtons_H::True : kxButtons_H::False; }
    bool pressedLook() const { return b.m_pressedLook != 0; }
    void setPressedLook(bool on) { b.m_pressedLook = on ? kxButtons_H::True : kxButtons_H::False; }
    bool delayDrawing() const { return b.m_delayDrawing != 0; }
    std::int16_t lastButton() const { return b.m_lastButton; }

    HDC memDC() const { return b.m_memDC; }
    HBITMAP surfaceBitmap() const { return b.m_memDC ? gdiCurrentBitmap() : 0; }
    HRGN clipRegion() const { return b.m_clipRegion; }
    std::int32_t faceLeft() const { return b.m_faceLeft; }
    std::int32_t faceRight() const { return b.m_faceRight; }
    RECT captionRect() const { return b.m_captionRect; }
    RECT imageRect() const { return b.m_imageRect; }
    std::int16_t imageSize() const { return b.m_imageSize; }
    std::int32_t pictureWidth() const { return b.m_pictureWidth; }
    std::int32_t pictureHeight() const { return b.m_pictureHeight; }
    std::int32_t faceColor() const { return b.m_faceColor; }
    std::int32_t pressedFaceColor() const { return b.m_pressedFaceColor; }
    std::int32_t hoverFaceColor() const { return b.m_hoverFaceColor; }
    std::int32_t selectedFaceColor() const { return b.m_selectedFaceColor; }
    std::int32_t containerBackColor() const { return b.m_containerBackColor; }

    void redraw() { b.RedrawButton(); }
    std::int32_t convertSysColor(std::int32_t c) const { return b.ConvertSysColor(c); }
    static std::int32_t shiftColor(std::int32_t c, std::int16_t amount, bool scaleBlue)
    {
        return kxButtons_H::ShiftColor(c, amount, scaleBlue);
    }

private:
    HBITMAP gdiCurrentBitmap() const;
    kxButtons_H &b;
};

#include <gdi/bridge.h>

inline HBITMAP KxButtonsProbe::gdiCurrentBitmap() const
{
    return gdi::currentBitmap(b.m_memDC);
}
