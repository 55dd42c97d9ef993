#pragma once

// Shared by the painting tests: a button of a given size on a form with its
// region, surface and layout built, pixel access as COLORREF (0x00BBGGRR),
// and hand-made picture files.

#include <button/kxButtons_H.h>
#include <button/testsupport/KxButtonsProbe.h>

#include <gdi/bridge.h>
#include <host/form.h>
#include <host/stdpicture.h>

#include <QBuffer>
#include <QImage>

#include <functional>
#include <memory>

namespace painttest {

inline COLORREF px(const QImage &img, int x, int y)
{
    const QRgb c = img.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

// Bounding box of the pixels of exactly colour c.
inline QRect boxOf(const QImage &img, COLORREF c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (px(img, x, y) == c)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A control w x h on a form, BackColor RGB(200, 200, 200), no caption. The
// caller stages state and runs the drawing routines through its probe.
struct Button
{
    std::unique_ptr<host::Form> form = std::make_unique<host::Form>();
    kxButtons_H *b = new kxButtons_H(form.get());

    Button(int w, int h)
    {
        b->resize(w, h);
        b->UserControl_InitProperties();
        b->Caption(QString());
        b->BackColor(RGB(200, 200, 200));
        b->UserControl_Resize();
    }

    KxButtonsProbe probe() const { return KxButtonsProbe(*b); }
};

// A 24-bit bottom-up .bmp file.
inline QByteArray makeBmp(int w, int h, const std::function<QRgb(int, int)> &pixel)
{
    const int stride = (w * 3 + 3) & ~3;
    QByteArray d(54 + stride * h, '\0');
    auto put32 = [&](int off, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[off + i] = char(v >> (8 * i));
    };
    d[0] = 'B';
    d[1] = 'M';
    put32(2, std::uint32_t(d.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(w));
    put32(22, std::uint32_t(h));
    d[26] = 1;
    d[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = pixel(x, y);
            const int o = 54 + (h - 1 - y) * stride + 3 * x;
            d[o] = char(qBlue(c));
            d[o + 1] = char(qGreen(c));
            d[o + 2] = char(qRed(c));
        }
    return d;
}

// A .ico file holding one PNG image of one colour.
inline QByteArray makePngIcon(int size, QRgb color)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray ico(22, '\0');
    ico[2] = 1;                 // icon
    ico[4] = 1;                 // one image
    ico[6] = char(size);
    ico[7] = char(size);
    ico[10] = 1;                // planes
    ico[12] = 32;               // bits per pixel
    for (int i = 0; i < 4; ++i) {
        ico[14 + i] = char(std::uint32_t(png.size()) >> (8 * i));
        ico[18 + i] = char(22u >> (8 * i));
    }
    return ico + png;
}

} // namespace painttest
