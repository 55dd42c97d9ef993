// Colour arithmetic and cached values of the button's paint pipeline.

#include "PaintProbe.h"

#include <gdi/bridge.h>

#include <QApplication>
#include <QBuffer>

#include <cmath>
#include <functional>
#include <QTest>

using namespace paintprobe;

class tst_PaintColour : public QObject
{
    Q_OBJECT

private slots:
    void shiftColor_data();
    void shiftColor();
    void convertSysColor_data();
    void convertSysColor();
    void gradientColors_data();
    void gradientColors();
    void singleBandTakesFirstColour();
    void derivedFaceColours();
    void fontReplacesAndDeletesPrevious();
    void pictureMetrics();
    void toolsDoNotAccumulate();
    void teardownReleasesEverything();
};

void tst_PaintColour::shiftColor_data()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("amount");
    QTest::addColumn<bool>("scaleBlue");
    QTest::addColumn<int>("expected");

    QTest::newRow("grey +48 scaled") << int(RGB(200, 200, 200)) << 48 << true << int(RGB(248, 248, 250));
    QTest::newRow("white -32 scaled") << 0xFFFFFF << -32 << true << int(RGB(223, 223, 213));
    QTest::newRow("silver +36") << 0xC0C0C0 << 36 << false << int(RGB(228, 228, 228));
    QTest::newRow("silver -36") << 0xC0C0C0 << -36 << false << int(RGB(156, 156, 156));
    QTest::newRow("blue 200 +48 scaled adds 50") << int(RGB(0, 0, 200)) << 48 << true << int(RGB(48, 48, 250));
    QTest::newRow("blue 255 -32 scaled truncates -42.5") << int(RGB(100, 100, 255)) << -32 << true << int(RGB(68, 68, 213));
    QTest::newRow("black stays black") << 0 << -104 << true << 0;
    QTest::newRow("white stays white") << 0xFFFFFF << 172 << false << 0xFFFFFF;
    QTest::newRow("channels clamp independently") << int(RGB(250, 10, 128)) << 20 << false << int(RGB(255, 30, 148));
    QTest::newRow("no wrap below zero") << int(RGB(10, 20, 30)) << -25 << false << int(RGB(0, 0, 5));
}

void tst_PaintColour::shiftColor()
{
    QFETCH(int, color);
    QFETCH(int, amount);
    QFETCH(bool, scaleBlue);
    QFETCH(int, expected);
    QCOMPARE(KxButtonsProbe::shiftColor(color, std::int16_t(amount), scaleBlue), expected);
}

void tst_PaintColour::convertSysColor_data()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("expected");
    QTest::newRow("button face") << int(0x8000000F) << int(GetSysColor(15));
    QTest::newRow("button text") << int(0x80000012) << int(GetSysColor(18));
    QTest::newRow("only the low byte indexes") << int(0x80001F05) << int(GetSysColor(5));
    QTest::newRow("rgb unchanged") << 0x0000FF << 0x0000FF;
    QTest::newRow("black unchanged") << 0 << 0;
}

void tst_PaintColour::convertSysColor()
{
    QFETCH(int, color);
    QFETCH(int, expected);
    TestButton t(40, 20);
    QCOMPARE(t.probe().convertSysColor(color), expected);
}

void tst_PaintColour::gradientColors_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");

    QTest::newRow("two bands") << 2 << int(RGB(10, 20, 30)) << int(RGB(200, 100, 0));
    QTest::newRow("exact steps") << 60 << int(RGB(10, 200, 0)) << int(RGB(128, 82, 0));
    QTest::newRow("descending, inexact") << 39 << int(RGB(255, 255, 255)) << int(RGB(0, 17, 90));
    QTest::newRow("equal colours") << 17 << int(RGB(5, 6, 7)) << int(RGB(5, 6, 7));
    QTest::newRow("many bands") << 540 << int(RGB(0, 0, 0)) << int(RGB(255, 128, 64));
}

void tst_PaintColour::gradientColors()
{
    QFETCH(int, count);
    QFETCH(int, first);
    QFETCH(int, second);
    TestButton t(40, 20);
    std::vector<std::int32_t> colors(std::size_t(count), -1);
    t.probe().calcGradient(colors, first, second);

    QCOMPARE(colors.front(), first);
    const int n = count - 1;
    for (int j = 0; j < count; ++j) {
        const std::int32_t c = colors[std::size_t(j)];
        QVERIFY2(c >= 0 && c <= 0xFFFFFF, qPrintable(QString::number(j)));
        // Each channel is the linear interpolation, floored, up to the error
        // accumulated in single precision.
        for (int shift : {0, 8, 16}) {
            const double a = (first >> shift) & 0xFF;
            const double b = (second >> shift) & 0xFF;
            const double exact = a + (b - a) * j / n;
            const int got = (c >> shift) & 0xFF;
            QVERIFY2(got >= std::floor(exact) - 1 && got <= std::floor(exact) + 1,
                     qPrintable(QStringLiteral("band %1 channel %2: %3 vs %4")
                                    .arg(j).arg(shift).arg(got).arg(exact)));
        }
    }
}

void tst_PaintColour::singleBandTakesFirstColour()
{
    // One band has no step between colours: it must not divide by zero and
    // it is painted in the first colour.
    TestButton t(40, 20);
    std::vector<std::int32_t> colors(1, -1);
    t.probe().calcGradient(colors, RGB(1, 2, 3), RGB(200, 100, 50));
    QCOMPARE(colors[0], std::int32_t(RGB(1, 2, 3)));

    // A ring gradient on an elliptic button one pixel high is that one
    // band: the whole row shows the ring's first colour.
    TestButton thin(40, 1);
    KxButtonsProbe p = thin.probe();
    p.shape() = 4;
    p.containerBackColor() = RGB(40, 60, 80);
    p.createRegion();
    const QImage img = thin.render();
    QCOMPARE(img.height(), 1);
    const COLORREF ringTop = COLORREF(KxButtonsProbe::shiftColor(RGB(40, 60, 80), 172, false));
    QCOMPARE(ringTop, RGB(212, 232, 252));
    for (int x : {0, 20, 39})
        QCOMPARE(pixelAt(img, x, 0), ringTop);
}

void tst_PaintColour::derivedFaceColours()
{
    TestButton t(40, 20);
    KxButtonsProbe p = t.probe();
    p.backColor() = RGB(200, 200, 200);
    p.hoverBackColor() = int(0x8000000F);
    p.refresh("backcolor"); // keys compare without regard to case
    QCOMPARE(p.faceColor(), std::int32_t(RGB(248, 248, 250)));
    QCOMPARE(p.pressedFaceColor(), std::int32_t(RGB(216, 216, 209)));
    QCOMPARE(p.selectedFaceColor(), std::int32_t(RGB(223, 223, 213)));
    const std::int32_t sysFace = std::int32_t(GetSysColor(15));
    QCOMPARE(p.hoverFaceColor(), shade(sysFace, 48));
}

void tst_PaintColour::fontReplacesAndDeletesPrevious()
{
    TestButton t(40, 20);
    KxButtonsProbe p = t.probe();
    const HFONT initial = p.initialFont();
    QVERIFY(initial != 0);
    const int fonts = gdi::liveObjects(gdi::Kind::Font);
    for (int i = 0; i < 5; ++i) {
        t.button->host::UserControl::Font()->setSize(8 + i);
        p.refresh("Font");
        QCOMPARE(gdi::liveObjects(gdi::Kind::Font), fonts);
        QCOMPARE(p.initialFont(), initial);
    }

    // The selected font is the host's at -20 x points / 15 pixels.
    t.button->host::UserControl::Font()->setSize(12);
    p.refresh("Font");
    RECT r{0, 0, 0, 0};
    DrawTextA(p.memDC(), "Hg", 2, &r, DT_CALCRECT | DT_SINGLELINE);
    LOGFONTA lf{};
    lf.lfHeight = -16;
    lf.lfWeight = 400;
    lf.lfCharSet = DEFAULT_CHARSET;
    qstrncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    HFONT reference = CreateFontIndirectA(&lf);
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(dc, reference);
    RECT expected{0, 0, 0, 0};
    DrawTextA(dc, "Hg", 2, &expected, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(reference);
    DeleteDC(dc);
    QCOMPARE(r.bottom, expected.bottom);
    QCOMPARE(r.right, expected.right);
}

void tst_PaintColour::pictureMetrics()
{
    TestButton t(40, 20);
    KxButtonsProbe p = t.probe();
    const int before = gdi::liveObjectsTotal();

    QString error;
    p.picture() = host::LoadPicture(makeBmp(20, 10, [](int, int) { return qRgb(1, 2, 3); }), &error);
    QVERIFY2(p.picture(), qPrintable(error));
    p.refresh("Picture");
    QCOMPARE(p.pictureWidth(), 20);
    QCOMPARE(p.pictureHeight(), 10);
    QCOMPARE(p.pictureKind(), 0);

    // An icon: measured through its colour bitmap, which is deleted again.
    QImage png(24, 12, QImage::Format_ARGB32);
    png.fill(qRgba(0, 200, 0, 255));
    const QByteArray ico = makePngIcon(png);
    p.picture() = host::LoadPicture(ico, &error);
    QVERIFY2(p.picture(), qPrintable(error));
    const int withIcon = gdi::liveObjectsTotal();
    p.refresh("Picture");
    QCOMPARE(gdi::liveObjectsTotal(), withIcon);
    QCOMPARE(p.pictureWidth(), 24);
    QCOMPARE(p.pictureHeight(), 12);
    QCOMPARE(p.pictureKind(), 1);

    // No picture: no size, kind unchanged.
    p.picture().reset();
    p.refresh("Picture");
    QCOMPARE(p.pictureWidth(), 0);
    QCOMPARE(p.pictureHeight(), 0);
    QCOMPARE(p.pictureKind(), 1);
    QCOMPARE(gdi::liveObjectsTotal(), before);
}

void tst_PaintColour::toolsDoNotAccumulate()
{
    // Every look, shape and face kind swaps pens and brushes; after the
    // first paint the number of live objects stays put.
    TestButton t(60, 40);
    KxButtonsProbe p = t.probe();
    p.caption() = QStringLiteral("Abc");
    t.render();
    const int live = gdi::liveObjectsTotal();
    for (int shape = 0; shape <= 6; ++shape) {
        for (int look = 0; look < 4; ++look) {
            p.shape() = shape;
            p.createRegion();
            p.stateBits() = std::int16_t(look);
            p.tracking() = look & 1 ? kxButtons_H::True : kxButtons_H::False;
            p.gradientMode() = look;
            p.captionStyle() = look % 3;
            t.button->host::UserControl::setEnabled(look != 2);
            t.render();
            QCOMPARE(gdi::liveObjectsTotal(), live + (shape >= 4 ? 1 : 0));
        }
    }
}

void tst_PaintColour::teardownReleasesEverything()
{
    const int before = gdi::liveObjectsTotal();
    {
        auto form = std::make_unique<host::Form>();
        auto *b = new kxButtons_H(form.get());
        b->resize(80, 30);
        b->UserControl_InitProperties();
        b->UserControl_Resize();
        KxButtonsProbe p(*b);
        p.picture() = host::LoadPicture(makeBmp(16, 16, [](int x, int y) {
            return (x + y) % 3 ? qRgb(255, 0, 255) : qRgb(0, 0, 0);
        }));
        b->UserControl_Resize();
        p.refresh("Picture");
        p.imageSize() = 16;
        p.caption() = QStringLiteral("Sair");
        for (int shape : {0, 3, 4, 6, 5, 1}) {
            p.shape() = shape;
            b->resize(80 + shape, 30 + shape);
            b->UserControl_Resize();
            b->host::UserControl::Font()->setBold(shape % 2);
            p.refresh("Font");
            p.gradientMode() = shape % 5;
            b->host::UserControl::setEnabled(shape != 6);
            p.redraw();
        }
        p.picture().reset();
        // Deleting the form ends the control and its window, which owns
        // the window region.
    }
    QCOMPARE(gdi::liveObjectsTotal(), before);
}

QTEST_MAIN(tst_PaintColour)
#include "tst_paintcolour.moc"
