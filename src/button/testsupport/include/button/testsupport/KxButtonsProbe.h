#pragma once
// The one way into a button's private state, for the tests and kxrender:
// its state by groups, to read or to stage a look (hover, held, pressed, a
// shape, a layout), and its drawing routines run one at a time. Not part of
// the control's interface.

#include <button/kxButtons_H.h>

#include <gdi/bridge.h>

#include <vector>

class KxButtonsProbe
{
public:
    explicit KxButtonsProbe(kxButtons_H &button) : b(button) {}

    // The state by groups (see kxButtons_H's private section).
    auto &surface() { return b.m_surface; }
    auto &caption() { return b.m_caption; }
    auto &look() { return b.m_look; }
    auto &input() { return b.m_input; }
    auto &layout() { return b.m_layout; }
    auto &colours() { return b.m_colours; }
    auto &toggle() { return b.m_toggle; }
    auto &image() { return b.m_image; }

    // Read and staged most often.
    std::int16_t stateBits() const { return b.m_input.stateBits; }
    void setStateBits(std::int16_t bits) { b.m_input.stateBits = bits; }
    bool tracking() const { return b.m_input.tracking != 0; }
    void setTracking(bool on) { b.m_input.tracking = on ? kxButtons_H::True : kxButtons_H::False; }
    bool pressedLook() const { return b.m_input.pressedLook != 0; }
    void setPressedLook(bool on) { b.m_input.pressedLook = on ? kxButtons_H::True : kxButtons_H::False; }
    bool delayDrawing() const { return b.m_surface.delayDrawing != 0; }
    std::int16_t lastButton() const { return b.m_input.lastButton; }

    HDC memDC() const { return b.m_surface.memDC; }
    HBITMAP surfaceBitmap() const { return b.m_surface.memDC ? gdi::currentBitmap(b.m_surface.memDC) : 0; }
    HRGN clipRegion() const { return b.m_surface.clipRegion; }
    std::int32_t faceLeft() const { return b.m_layout.faceLeft; }
    std::int32_t faceRight() const { return b.m_layout.faceRight; }
    RECT captionRect() const { return b.m_layout.captionRect; }
    RECT imageRect() const { return b.m_layout.imageRect; }
    std::int16_t imageSize() const { return b.m_image.imageSize; }
    std::int32_t pictureWidth() const { return b.m_image.pictureWidth; }
    std::int32_t pictureHeight() const { return b.m_image.pictureHeight; }
    std::int32_t faceColor() const { return b.m_colours.faceColor; }
    std::int32_t pressedFaceColor() const { return b.m_colours.pressedFaceColor; }
    std::int32_t hoverFaceColor() const { return b.m_colours.hoverFaceColor; }
    std::int32_t selectedFaceColor() const { return b.m_colours.selectedFaceColor; }
    std::int32_t containerBackColor() const { return b.m_colours.containerBackColor; }

    // The routines.
    void redraw() { b.RedrawButton(); }
    void createButtonRegion() { b.CreateButtonRegion(); }
    void calculateLayout(std::int32_t &usableWidth, bool full, std::int32_t &faceOffset)
    {
        b.CalculateLayout(usableWidth, full, faceOffset);
    }
    void calculateLayout()
    {
        std::int32_t usable = 0, offset = 0;
        b.CalculateLayout(usable, true, offset);
    }
    void refreshCachedValues(const QString &key) { b.RefreshCachedValues(key); }
    void calcGradientColors(std::vector<std::int32_t> &colors, std::int32_t first, std::int32_t second)
    {
        b.CalcGradientColors(colors, first, second);
    }
    std::int32_t convertSysColor(std::int32_t c) const { return b.ConvertSysColor(c); }
    static std::int32_t shiftColor(std::int32_t c, std::int16_t amount, bool scaleBlue)
    {
        return kxButtons_H::ShiftColor(c, amount, scaleBlue);
    }

private:
    kxButtons_H &b;
};
