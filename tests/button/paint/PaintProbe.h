#pragma once

// Test access to the private painting state of kxButtons_H, and a small
// fixture that puts one button of a given size on a form with its surface
// built. Colours are compared as COLORREF (0x00BBGGRR).

#include <button/kxButtons_H.h>

#include <gdi/bridge.h>
#include <gdi/gdi.h>
#include <host/form.h>

#include <host/stdpicture.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTest>

#include <functional>
#include <memory>

class KxButtonsProbe
{
public:
    explicit KxButtonsProbe(kxButtons_H &b) : m_b(b) {}

    // State the painters read.
    QString &caption() { return m_b.m_caption; }
    std::int16_t &stateBits() { return m_b.m_stateBits; }
    kxButtons_H::VBool &tracking() { return m_b.m_tracking; }
    kxButtons_H::VBool &pressedLook() { return m_b.m_pressedLook; }
    kxButtons_H::VBool &value() { return m_b.m_value; }
    kxButtons_H::VBool &showFocusRect() { return m_b.m_showFocusRect; }
    kxButtons_H::VBool &delayDrawing() { return m_b.m_delayDrawing; }
    std::int32_t &mode() { return m_b.m_mode; }
    std::int32_t &shape() { return m_b.m_buttonShape; }
    std::int32_t &gradientMode() { return m_b.m_gradientMode; }
    kxButtons_H::OleColor &gradientColor() { return m_b.m_gradientColor; }
    kxButtons_H::OleColor &backColor() { return m_b.m_backColor; }
    kxButtons_H::OleColor &hoverBackColor() { return m_b.m_hoverBackColor; }
    kxButtons_H::OleColor &hoverForeColor() { return m_b.m_hoverForeColor; }
    std::int32_t &captionAlign() { return m_b.m_captionAlign; }
    std::int32_t &captionStyle() { return m_b.m_captionStyle; }
    std::int32_t &pictureAlign() { return m_b.m_pictureAlign; }
    std::int16_t &imageSize() { return m_b.m_imageSize; }
    host::StdPicturePtr &picture() { return m_b.m_picture; }
    std::int32_t &containerBackColor() { return m_b.m_containerBackColor; }
    std::int32_t &faceColor() { return m_b.m_faceColor; }
    std::int32_t &hoverFaceColor() { return m_b.m_hoverFaceColor; }
    std::int32_t &pressedFaceColor() { return m_b.m_pressedFaceColor; }
    std::int32_t &selectedFaceColor() { return m_b.m_selectedFaceColor; }
    std::int32_t faceLeft() const { return m_b.m_faceLeft; }
    std::int32_t faceRight() const { return m_b.m_faceRight; }
    RECT captionRect() const { return m_b.m_captionRect; }
    RECT imageRect() const { return m_b.m_imageRect; }
    std::int32_t pictureWidth() const { return m_b.m_pictureWidth; }
    std::int32_t pictureHeight() const { return m_b.m_pictureHeight; }
    std::int32_t pictureKind() const { return m_b.m_pictureKind; }
    HDC memDC() const { return m_b.m_memDC; }
    HRGN clipRegion() const { return m_b.m_clipRegion; }
    HFONT initialFont() const { return m_b.m_initialFont; }

    // Routines.
    void redraw() { m_b.RedrawButton(); }
    void createRegion() { m_b.CreateButtonRegion(); }
    void layout()
    {
        std::int32_t usable = 0;
        std::int32_t offset = 0;
        m_b.CalculateLayout(usable, true, offset);
    }
    void span(std::int32_t &usable, std::int32_t &offset)
    {
        usable = 0;
        offset = 0;
        m_b.CalculateLayout(usable, false, offset);
    }
    void refresh(const char *key) { m_b.RefreshCachedValues(QString::fromLatin1(key)); }
    std::int32_t convertSysColor(std::int32_t c) const { return m_b.ConvertSysColor(c); }
    static std::int32_t shiftColor(std::int32_t c, std::int16_t amount, bool scaleBlue)
    {
        return kxButtons_H::ShiftColor(c, amount, scaleBlue);
    }
    void calcGradient(std::vector<std::int32_t> &colors, std::int32_t first, std::int32_t second)
    {
        m_b.CalcGradientColors(colors, first, second);
    }

    // The off-screen surface as an image (shares the bitmap's pixels).
    QImage surface() const { return gdi::bitmapImage(gdi::currentBitmap(m_b.m_memDC)); }

private:
    kxButtons_H &m_b;
};

namespace paintprobe {

inline COLORREF toColorRef(QRgb rgb)
{
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

inline COLORREF pixelAt(const QImage &image, int x, int y)
{
    return toColorRef(image.pixel(x, y));
}

inline std::int32_t shade(std::int32_t c, int amount)
{
    return KxButtonsProbe::shiftColor(c, static_cast<std::int16_t>(amount), true);
}

// Keeps the image of a failed pixel check in the build directory.
inline void saveOnFailure(const QImage &image, const char *name)
{
    if (QTest::currentTestFailed())
        image.save(QDir::current().filePath(QStringLiteral("%1-%2.png")
                                                .arg(QLatin1String(QTest::currentTestFunction()),
                                                     QLatin1String(name))));
}

// A 24-bit bottom-up .bmp file of w x h pixels.
inline QByteArray makeBmp(int w, int h, const std::function<QRgb(int, int)> &pixel)
{
    const int stride = (w * 3 + 3) & ~3;
    QByteArray data(54 + stride * h, '\0');
    auto put32 = [&](int off, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data[off + i] = char((v >> (8 * i)) & 0xFF);
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, std::uint32_t(data.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(w));
    put32(22, std::uint32_t(h));
    data[26] = 1;  // planes
    data[28] = 24; // bits per pixel
    for (int y = 0; y < h; ++y) {
        const int row = 54 + (h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const QRgb c = pixel(x, y);
            data[row + 3 * x] = char(qBlue(c));
            data[row + 3 * x + 1] = char(qGreen(c));
            data[row + 3 * x + 2] = char(qRed(c));
        }
    }
    return data;
}

// A .ico file with one PNG image.
inline QByteArray makePngIcon(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray ico(22, '\0');
    ico[2] = 1;                          // type: icon
    ico[4] = 1;                          // one image
    ico[6] = char(image.width() & 0xFF); // 0 means 256
    ico[7] = char(image.height() & 0xFF);
    ico[10] = 1;                         // planes
    ico[12] = 32;                        // bits per pixel
    const std::uint32_t size = std::uint32_t(png.size());
    for (int i = 0; i < 4; ++i) {
        ico[14 + i] = char((size >> (8 * i)) & 0xFF);
        ico[18 + i] = char((22u >> (8 * i)) & 0xFF);
    }
    return ico + png;
}

// One button of w x h pixels on a form, with default properties, no caption,
// BackColor RGB(200, 200, 200), its region, surface and layout built.
struct TestButton
{
    std::unique_ptr<host::Form> form;
    kxButtons_H *button = nullptr;

    TestButton(int w, int h, std::int32_t backColor = RGB(200, 200, 200))
        : form(std::make_unique<host::Form>())
    {
        form->resize(600, 400);
        button = new kxButtons_H(form.get());
        button->resize(w, h);
        button->UserControl_InitProperties();
        KxButtonsProbe p(*button);
        p.caption().clear();
        p.backColor() = backColor;
        p.hoverBackColor() = backColor;
        p.refresh("BackColor");
        button->UserControl_Resize();
    }

    KxButtonsProbe probe() { return KxButtonsProbe(*button); }
    QImage render()
    {
        probe().redraw();
        return probe().surface();
    }
};

} // namespace paintprobe
