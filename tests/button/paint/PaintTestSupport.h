#pragma once

// Shared by the painting tests: a button of a given size on a form with its
// region, surface and layout built, and pixel access as COLORREF (0x00BBGGRR).

#include <button/kxButtons_H.h>
#include <button/testsupport/KxButtonsProbe.h>

#include <gdi/bridge.h>
#include <host/form.h>
#include <host/stdpicture.h>

#include <QImage>
#include <QTest>

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

// A control w x h on a form, BackColor RGB(200, 200, 200), no caption.
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

    // A picture read from the file's bytes, drawn `size` pixels, laid out.
    void setPicture(const QByteArray &file, int size)
    {
        probe().image().picture = host::LoadPicture(file);
        QVERIFY(probe().image().picture);
        probe().refreshCachedValues(QStringLiteral("Picture"));
        probe().image().imageSize = std::int16_t(size);
        probe().calculateLayout();
    }
};

} // namespace painttest
