// Image rendering: sizes, the transparent colour of bitmaps, the embossed
// disabled look, and the objects the drawing makes for itself.

#include "PaintProbe.h"

#include <QApplication>
#include <QTest>

using namespace paintprobe;

namespace {

constexpr QRgb kMagenta = qRgb(255, 0, 255);
constexpr QRgb kGreen = qRgb(0, 160, 0);
constexpr COLORREF kGreenRef = RGB(0, 160, 0);

// A button with a picture, no caption, `size` pixels, aligned at the left edge.
void setPicture(TestButton &t, const QByteArray &file, int size, int align = 0)
{
    KxButtonsProbe p = t.probe();
    QString error;
    p.picture() = host::LoadPicture(file, &error);
    QVERIFY2(p.picture(), qPrintable(error));
    p.refresh("Picture");
    p.imageSize() = std::int16_t(size);
    p.pictureAlign() = align;
    p.layout();
}

QRect boxOfGreen(const QImage &img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pixelAt(img, x, y) == kGreenRef)
                box |= QRect(x, y, 1, 1);
    return box;
}

QByteArray greenWithMagentaCorner(int w, int h)
{
    return makeBmp(w, h, [](int x, int y) { return x == 0 && y == 0 ? kMagenta : kGreen; });
}

} // namespace

class tst_ButtonPicture : public QObject
{
    Q_OBJECT

private slots:
    void transparentColourShowsTheFace();
    void iconDrawnAtImageSize();
    void spreadOverControl_data();
    void spreadOverControl();
    void fittedIntoFace();
    void disabledEmbossedGrey();
    void tooSmallForFittedPicture();
    void drawingLeavesNoObjects();
};

void tst_ButtonPicture::transparentColourShowsTheFace()
{
    // Magenta where (x + y) % 5 == 0, the top-left pixel included.
    auto pixel = [](int x, int y) {
        return (x + y) % 5 == 0 ? kMagenta : qRgb(x * 15, y * 15, 90);
    };
    TestButton t(60, 40);
    const QImage reference = t.render().copy();
    setPicture(t, makeBmp(16, 16, pixel), 16);
    const RECT r = t.probe().imageRect();
    QCOMPARE(r.left, 6);
    QCOMPARE(r.top, 12);
    const QImage img = t.render();

    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            const int px = x - 6;
            const int py = y - 12;
            COLORREF expected = pixelAt(reference, x, y);
            if (px >= 0 && px < 16 && py >= 0 && py < 16 && pixel(px, py) != kMagenta)
                expected = toColorRef(pixel(px, py));
            QVERIFY2(pixelAt(img, x, y) == expected,
                     qPrintable(QStringLiteral("(%1,%2): %3 vs %4").arg(x).arg(y)
                                    .arg(pixelAt(img, x, y), 6, 16).arg(expected, 6, 16)));
        }
    }
    saveOnFailure(img, "transparent");
}

void tst_ButtonPicture::iconDrawnAtImageSize()
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(kGreen);
    TestButton t(60, 40);
    setPicture(t, makePngIcon(icon), 16);
    QCOMPARE(t.probe().pictureKind(), 1);
    const QImage img = t.render();
    // 16 x 16 at the image rectangle's top-left corner (6, 12).
    QCOMPARE(boxOfGreen(img), QRect(6, 12, 16, 16));
    saveOnFailure(img, "icon");
}

void tst_ButtonPicture::spreadOverControl_data()
{
    QTest::addColumn<bool>("pressed");
    QTest::newRow("at rest: from (0, 0)") << false;
    QTest::newRow("pressed: from (1, 1), one smaller") << true;
}

void tst_ButtonPicture::spreadOverControl()
{
    QFETCH(bool, pressed);
    TestButton t(60, 40);
    KxButtonsProbe p = t.probe();
    p.mode() = 1;
    p.value() = pressed ? kxButtons_H::True : kxButtons_H::False;
    setPicture(t, greenWithMagentaCorner(10, 10), 40);
    const QImage img = t.render();
    const int k = pressed ? 1 : 0;
    for (const QPoint &pt : {QPoint(k, 20), QPoint(30, k), QPoint(59, 39), QPoint(30, 20)})
        QCOMPARE(pixelAt(img, pt.x(), pt.y()), kGreenRef);
    if (pressed) {
        QCOMPARE(pixelAt(img, 0, 20), COLORREF(0x733C00));
        QCOMPARE(pixelAt(img, 30, 0), COLORREF(0x733C00));
    }
    saveOnFailure(img, "spread");
}

void tst_ButtonPicture::fittedIntoFace()
{
    // 100 x 50 into a usable width of 92 and a height of 40:
    // f = min(80 / 100, 28 / 50) = 0.56 -> 56 x 28 at ((92 - 56) \ 2, (40 - 28) \ 2).
    TestButton t(92, 40);
    setPicture(t, greenWithMagentaCorner(100, 50), 48);
    const QImage img = t.render();
    for (const QPoint &pt : {QPoint(19, 7), QPoint(73, 33), QPoint(46, 20), QPoint(18, 33), QPoint(73, 6)})
        QCOMPARE(pixelAt(img, pt.x(), pt.y()), kGreenRef);
    for (const QPoint &pt : {QPoint(17, 20), QPoint(74, 20), QPoint(46, 5), QPoint(46, 34)})
        QVERIFY(pixelAt(img, pt.x(), pt.y()) != kGreenRef);
    saveOnFailure(img, "fitted");
}

void tst_ButtonPicture::disabledEmbossedGrey()
{
    // Black square 4..11 on white; white is the transparent colour.
    auto pixel = [](int x, int y) {
        return x >= 4 && x < 12 && y >= 4 && y < 12 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    };
    TestButton t(60, 40);
    t.button->host::UserControl::setEnabled(false);
    setPicture(t, makeBmp(16, 16, pixel), 16);
    const QImage img = t.render();
    const COLORREF dark = RGB(156, 156, 156);
    const COLORREF light = RGB(228, 228, 228);
    const COLORREF face = COLORREF(shade(RGB(248, 248, 250), -24));
    const int left = 6;
    const int top = 12;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            COLORREF expected = face;
            if (pixel(x, y) == qRgb(0, 0, 0))
                expected = dark;
            else if (x + 1 < 16 && y + 1 < 16 && pixel(x + 1, y + 1) == qRgb(0, 0, 0))
                expected = light; // the light copy, one up and left
            QVERIFY2(pixelAt(img, left + x, top + y) == expected,
                     qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
        }
    }
    saveOnFailure(img, "disabled");
}

void tst_ButtonPicture::tooSmallForFittedPicture()
{
    // Fitting into a face less than 12 pixels high leaves no room: nothing
    // is drawn (a zero size would mean "the picture's own size").
    TestButton t(60, 10);
    const QImage reference = t.render().copy();
    setPicture(t, greenWithMagentaCorner(20, 20), 48);
    const int live = gdi::liveObjectsTotal();
    const QImage img = t.render();
    QCOMPARE(img, reference);
    QCOMPARE(gdi::liveObjectsTotal(), live);
}

void tst_ButtonPicture::drawingLeavesNoObjects()
{
    for (int size : {16, 40, 48}) {
        for (bool enabled : {true, false}) {
            TestButton t(80, 50);
            t.button->host::UserControl::setEnabled(enabled);
            setPicture(t, greenWithMagentaCorner(24, 24), size);
            t.render();
            const int live = gdi::liveObjectsTotal();
            t.render();
            QCOMPARE(gdi::liveObjectsTotal(), live);
        }
    }
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(kGreen);
    TestButton t(80, 50);
    t.button->host::UserControl::setEnabled(false);
    setPicture(t, makePngIcon(icon), 24);
    t.render();
    const int live = gdi::liveObjectsTotal();
    t.render();
    QCOMPARE(gdi::liveObjectsTotal(), live);
}

QTEST_MAIN(tst_ButtonPicture)
#include "tst_buttonpicture.moc"
