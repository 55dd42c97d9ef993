// Pixels of the composed button: face rows, ring colours by look, corner
// pixels, slanted frames, elliptic rings and clip, gradient bands, disabled
// looks, caption colours and offsets, and the single block transfer.

#include "PaintProbe.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <functional>

using namespace paintprobe;

namespace {

constexpr std::int32_t kFace = RGB(248, 248, 250); // BackColor 200 grey, +48 scaled
constexpr COLORREF kOuter = 0x733C00;

using Colors = QList<int>;

// Bounding box of the pixels of exactly one colour, or an empty rect.
QRect boxOf(const QImage &img, COLORREF c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pixelAt(img, x, y) == c)
                box |= QRect(x, y, 1, 1);
    return box;
}

int countOf(const QImage &img, COLORREF c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += pixelAt(img, x, y) == c;
    return n;
}

void bigCaption(TestButton &t, const QString &text)
{
    host::StdFontPtr font = t.button->host::UserControl::Font();
    font->setName(QStringLiteral("Arial"));
    font->setSize(20);
    font->setBold(true);
    KxButtonsProbe p = t.probe();
    p.refresh("Font");
    p.caption() = text;
    p.layout();
}

bool near(COLORREF got, std::int32_t expected, int tolerance)
{
    for (int shift : {0, 8, 16}) {
        if (qAbs(int((got >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
            return false;
    }
    return true;
}

std::int32_t lerp(std::int32_t a, std::int32_t b, int j, int n)
{
    std::int32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const double ca = (a >> shift) & 0xFF;
        const double cb = (b >> shift) & 0xFF;
        out |= std::int32_t(ca + (cb - ca) * j / n) << shift;
    }
    return out;
}

} // namespace

class tst_ButtonPaint : public QObject
{
    Q_OBJECT

private slots:
    void faceRows_data();
    void faceRows();
    void ringsByLook_data();
    void ringsByLook();
    void disabledCommandButton();
    void slantedFrameFollowsOutline();
    void ellipticRingAndClip_data();
    void ellipticRingAndClip();
    void ellipticHighlight_data();
    void ellipticHighlight();
    void gradientBands_data();
    void gradientBands();
    void wideControlUsesTwoPixelBands();
    void hoverOverGradient();
    void captionColours_data();
    void captionColours();
    void threeDimensionalCopies_data();
    void threeDimensionalCopies();
    void disabledCaption();
    void pressedOffset_data();
    void pressedOffset();
    void shownWithOneBlockTransfer();
    void suspendedDrawingPaintsNothing();
};

void tst_ButtonPaint::faceRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("amount"); // whole(-25 * row / 40), halves to even
    QTest::newRow("row 3: -1.875") << 3 << -2;
    QTest::newRow("row 4: -2.5 to even") << 4 << -2;
    QTest::newRow("row 12: -7.5 to even") << 12 << -8;
    QTest::newRow("row 20: -12.5 to even") << 20 << -12;
    QTest::newRow("row 21: -13.125") << 21 << -13;
    QTest::newRow("row 36: -22.5 to even") << 36 << -22;
}

void tst_ButtonPaint::faceRows()
{
    QFETCH(int, row);
    QFETCH(int, amount);
    TestButton t(60, 40);
    const QImage img = t.render();
    const COLORREF expected = COLORREF(shade(kFace, amount));
    for (int x : {3, 30, 56})
        QCOMPARE(pixelAt(img, x, row), expected);
    saveOnFailure(img, "face");
}

void tst_ButtonPaint::ringsByLook_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("value");
    QTest::addColumn<int>("bits");      // default 1, held 2, hover 4
    QTest::addColumn<bool>("showFocus");
    QTest::addColumn<Colors>("rings");  // inner l,t,r,b, middle l,t,r,b

    const std::int32_t b = kFace;
    const Colors normal{shade(b, -10), shade(b, 10), shade(b, -24), shade(b, -32),
                        shade(b, -5),  shade(b, 16), shade(b, -36), shade(b, -48)};
    const Colors blue{0xF0D1B5, 0xF7D7BD, 0xF0D1B5, 0xE7AE8C,
                      0xE7AE8C, 0xFFDFBF, 0xE7AE8C, 0xEF826B};
    const Colors orange{0x6BCBFF, 0x8CDBFF, 0x6BCBFF, 0x31B2FF,
                        0x31B2FF, 0xA6E9FF, 0x31B2FF, 0x0096E7};
    auto pressed = [](std::int32_t base) {
        return Colors{shade(base, -22), shade(base, -24), base,             shade(base, 10),
                      shade(base, -32), shade(base, -32), shade(base, 5),  shade(base, 16)};
    };
    const std::int32_t selected = RGB(223, 223, 213);

    QTest::newRow("normal") << 0 << false << 0 << true << normal;
    QTest::newRow("hot") << 0 << false << 4 << true << orange;
    QTest::newRow("held under the pointer") << 0 << false << 6 << true << pressed(b);
    QTest::newRow("held elsewhere") << 0 << false << 2 << true << normal;
    QTest::newRow("default") << 0 << false << 1 << true << blue;
    QTest::newRow("default without focus rect") << 0 << false << 1 << false << normal;
    QTest::newRow("hot default") << 0 << false << 5 << true << orange;
    QTest::newRow("check selected") << 1 << true << 0 << true << pressed(selected);
    QTest::newRow("check selected default") << 1 << true << 1 << true << blue;
    QTest::newRow("option not selected") << 2 << false << 0 << true << normal;
}

void tst_ButtonPaint::ringsByLook()
{
    QFETCH(int, mode);
    QFETCH(bool, value);
    QFETCH(int, bits);
    QFETCH(bool, showFocus);
    QFETCH(Colors, rings);

    TestButton t(60, 40);
    KxButtonsProbe p = t.probe();
    p.mode() = mode;
    p.value() = value ? kxButtons_H::True : kxButtons_H::False;
    p.stateBits() = std::int16_t(bits);
    p.showFocusRect() = showFocus ? kxButtons_H::True : kxButtons_H::False;
    const QImage img = t.render();

    // Sample one pixel in the middle of each side of each ring.
    const QPoint inner[4] = {{2, 20}, {30, 2}, {57, 20}, {30, 37}};
    const QPoint middle[4] = {{1, 20}, {30, 1}, {58, 20}, {30, 38}};
    const QPoint outer[4] = {{0, 20}, {30, 0}, {59, 20}, {30, 39}};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(pixelAt(img, inner[i].x(), inner[i].y()), COLORREF(rings[i]));
        QCOMPARE(pixelAt(img, middle[i].x(), middle[i].y()), COLORREF(rings[4 + i]));
        QCOMPARE(pixelAt(img, outer[i].x(), outer[i].y()), kOuter);
    }
    // Ring ends: the inner bottom row runs over the inner left column's end.
    QCOMPARE(pixelAt(img, 2, 37), COLORREF(rings[3]));
    QCOMPARE(pixelAt(img, 57, 2), COLORREF(rings[2]));
    // The four corner pixels of the middle ring take the outer colour.
    for (const QPoint &c : {QPoint(1, 1), QPoint(1, 38), QPoint(58, 1), QPoint(58, 38)})
        QCOMPARE(pixelAt(img, c.x(), c.y()), kOuter);
    saveOnFailure(img, "rings");
}

void tst_ButtonPaint::disabledCommandButton()
{
    TestButton t(60, 40);
    t.button->host::UserControl::setEnabled(false);
    const QImage img = t.render();
    const COLORREF flat = COLORREF(shade(kFace, -24));
    const COLORREF frame = COLORREF(shade(kFace, -84));
    QCOMPARE(frame, RGB(164, 164, 141));

    // No inner or middle ring: the flat face shows there.
    for (const QPoint &pt : {QPoint(1, 20), QPoint(2, 20), QPoint(30, 1), QPoint(30, 2),
                             QPoint(57, 20), QPoint(58, 20), QPoint(30, 37), QPoint(30, 38),
                             QPoint(30, 3), QPoint(30, 36)})
        QCOMPARE(pixelAt(img, pt.x(), pt.y()), flat);
    for (const QPoint &pt : {QPoint(0, 20), QPoint(30, 0), QPoint(59, 20), QPoint(30, 39),
                             QPoint(1, 1), QPoint(1, 38), QPoint(58, 1), QPoint(58, 38)})
        QCOMPARE(pixelAt(img, pt.x(), pt.y()), frame);
    saveOnFailure(img, "disabled");
}

void tst_ButtonPaint::slantedFrameFollowsOutline()
{
    // Shape 1, 100 x 40: s = 41; the three left sides are diagonals.
    TestButton t(100, 40);
    KxButtonsProbe p = t.probe();
    p.shape() = 1;
    p.createRegion();
    const QImage img = t.render();
    const std::int32_t b = kFace;
    for (int y : {5, 20, 33}) {
        QCOMPARE(pixelAt(img, y, y), kOuter);                          // outer
        QCOMPARE(pixelAt(img, y + 1, y), COLORREF(shade(b, -5)));      // middle left
        QCOMPARE(pixelAt(img, y + 2, y), COLORREF(shade(b, -10)));     // inner left
        QVERIFY(!t.button->mask().contains(QPoint(y - 1, y)));
        QVERIFY(t.button->mask().contains(QPoint(y, y)));
    }
    // Straight right end with its corner pixels; none at the slanted end.
    QCOMPARE(pixelAt(img, 98, 1), kOuter);
    QCOMPARE(pixelAt(img, 98, 38), kOuter);
    QCOMPARE(pixelAt(img, 99, 20), kOuter);
    QVERIFY(pixelAt(img, 1, 38) != kOuter);
    saveOnFailure(img, "slant");
}

void tst_ButtonPaint::ellipticRingAndClip_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("ring"); // 0 none, 1 light on top, -1 reversed
    QTest::newRow("shape 4 at rest") << 4 << 0 << 1;
    QTest::newRow("shape 4 pressed: reversed") << 4 << 6 << -1;
    QTest::newRow("shape 5 at rest") << 5 << 0 << 1;
    QTest::newRow("shape 5 pressed: no ring") << 5 << 6 << 0;
}

void tst_ButtonPaint::ellipticRingAndClip()
{
    QFETCH(int, shape);
    QFETCH(int, bits);
    QFETCH(int, ring);

    const QSize screen = QGuiApplication::primaryScreen()->size();
    QVERIFY2(screen.height() / 40 >= 4, "the screen must take 1-pixel bands for 40 rows");

    TestButton t(60, 40);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    p.containerBackColor() = RGB(40, 60, 80);
    p.stateBits() = std::int16_t(bits);
    p.createRegion();
    constexpr COLORREF kSentinel = RGB(1, 2, 3);
    for (const QPoint &pt : {QPoint(0, 0), QPoint(0, 20), QPoint(2, 2), QPoint(59, 39)})
        SetPixel(p.memDC(), pt.x(), pt.y(), kSentinel);
    const QImage img = t.render();

    const std::int32_t top = RGB(212, 232, 252);   // container + 172
    const std::int32_t bottom = RGB(8, 28, 48);    // container - 32
    auto ringAt = [&](int y) {
        return ring > 0 ? lerp(top, bottom, y, 39) : lerp(bottom, top, y, 39);
    };
    // Outside the clip ellipse only the ring is painted.
    if (ring == 0) {
        for (const QPoint &pt : {QPoint(0, 0), QPoint(0, 20), QPoint(2, 2), QPoint(59, 39)})
            QCOMPARE(pixelAt(img, pt.x(), pt.y()), kSentinel);
    } else {
        if (ring > 0)
            QCOMPARE(pixelAt(img, 0, 0), COLORREF(top)); // the first band is exact
        for (const QPoint &pt : {QPoint(0, 0), QPoint(0, 20), QPoint(2, 2), QPoint(59, 39)})
            QVERIFY2(near(pixelAt(img, pt.x(), pt.y()), ringAt(pt.y()), 1),
                     qPrintable(QStringLiteral("(%1,%2)").arg(pt.x()).arg(pt.y())));
    }
    // Inside it the face: shaded rows of the face, or the pressed face.
    const std::int32_t face = bits == 6 ? p.pressedFaceColor() : kFace;
    QCOMPARE(pixelAt(img, 30, 20), COLORREF(shade(face, -12)));
    QCOMPARE(pixelAt(img, 1, 20), COLORREF(shade(face, -12)));
    saveOnFailure(img, "ellipse");
}

void tst_ButtonPaint::ellipticHighlight_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<int>("expected"); // -1: no ring
    QTest::newRow("default: blue") << 4 << 1 << false << 0xEF826B;
    QTest::newRow("default under the pointer: orange") << 5 << 5 << true << 0x0096E7;
    QTest::newRow("not default under the pointer: none") << 4 << 4 << true << -1;
    QTest::newRow("not default: none") << 5 << 0 << false << -1;
    QTest::newRow("shape 6 default: 2 pixels inside") << 6 << 1 << false << 0xEF826B;
}

void tst_ButtonPaint::ellipticHighlight()
{
    QFETCH(int, shape);
    QFETCH(int, bits);
    QFETCH(bool, tracking);
    QFETCH(int, expected);

    TestButton t(60, 40);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    p.stateBits() = std::int16_t(bits);
    p.tracking() = tracking ? kxButtons_H::True : kxButtons_H::False;
    p.hoverFaceColor() = RGB(90, 180, 90);
    p.createRegion();
    const QImage img = t.render();

    const int inset = shape == 6 ? 2 : 3;
    if (expected >= 0) {
        // The top of the ellipse inscribed in (inset, inset, W - inset, H - inset).
        QCOMPARE(pixelAt(img, 29, inset), COLORREF(expected));
        QCOMPARE(pixelAt(img, 30, inset), COLORREF(expected));
        QCOMPARE(pixelAt(img, inset, 19), COLORREF(expected));
        QCOMPARE(pixelAt(img, 30, 39 - inset), COLORREF(expected));
    } else {
        const std::int32_t bg = tracking ? RGB(90, 180, 90) : kFace;
        QCOMPARE(pixelAt(img, 30, inset), COLORREF(shade(bg, -2)));
    }
    if (shape == 6) {
        // The 2-pixel black outline of the full ellipse.
        QCOMPARE(pixelAt(img, 30, 0), COLORREF(0));
        QCOMPARE(pixelAt(img, 0, 20), COLORREF(0));
    }
    saveOnFailure(img, "highlight");
}

void tst_ButtonPaint::gradientBands_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("1: horizontal, first at the left") << 1;
    QTest::newRow("2: horizontal, first at the right") << 2;
    QTest::newRow("3: vertical, first at the top") << 3;
    QTest::newRow("4: vertical, first at the bottom") << 4;
}

void tst_ButtonPaint::gradientBands()
{
    QFETCH(int, mode);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QVERIFY2(screen.width() / 60 >= 4 && screen.height() / 60 >= 4,
             "the screen must take 1-pixel bands for 60 pixels");

    // From (10, 200, 0) to (128, 82, 0) over 60 bands: steps of exactly 2.
    TestButton t(60, 60);
    KxButtonsProbe p = t.probe();
    p.faceColor() = RGB(10, 200, 0);
    p.gradientColor() = RGB(80, 34, 0); // +48 scaled: (128, 82, 0)
    p.gradientMode() = mode;
    const QImage img = t.render();

    auto band = [](int i) { return RGB(10 + 2 * i, 200 - 2 * i, 0); };
    for (int k : {3, 10, 29, 56}) {
        const int i = (mode % 2) ? k : 59 - k;
        const QPoint pt = mode < 3 ? QPoint(k, 30) : QPoint(30, k);
        QCOMPARE(pixelAt(img, pt.x(), pt.y()), band(i));
    }
    // The frame is drawn over the bands.
    QCOMPARE(pixelAt(img, 0, 30), kOuter);
    saveOnFailure(img, "gradient");
}

void tst_ButtonPaint::wideControlUsesTwoPixelBands()
{
    const int screenHeight = QGuiApplication::primaryScreen()->size().height();
    const int h = screenHeight / 3; // screen \ h = 3: more than a quarter
    TestButton t(30, h);
    KxButtonsProbe p = t.probe();
    p.faceColor() = RGB(0, 0, 0);
    p.gradientColor() = RGB(207, 207, 0); // +48 scaled: (255, 255, 0)
    p.gradientMode() = 3;
    const QImage img = t.render();

    const int count = h / 2;
    for (int k : {2, 10, count / 2, count - 3}) {
        const COLORREF upper = pixelAt(img, 15, 2 * k);
        QCOMPARE(pixelAt(img, 15, 2 * k + 1), upper);
        QVERIFY2(near(upper, lerp(RGB(0, 0, 0), RGB(255, 255, 0), k, count - 1), 1),
                 qPrintable(QString::number(k)));
    }
    QVERIFY(pixelAt(img, 15, 20) != pixelAt(img, 15, 40));
    saveOnFailure(img, "bands");
}

void tst_ButtonPaint::hoverOverGradient()
{
    TestButton t(60, 60);
    KxButtonsProbe p = t.probe();
    p.faceColor() = RGB(10, 200, 0);
    p.gradientColor() = RGB(80, 34, 0);
    p.gradientMode() = 1;
    p.tracking() = kxButtons_H::True;
    p.stateBits() = kxButtons_H::kHoverFlag;
    p.hoverFaceColor() = RGB(0, 99, 199);

    // A hover back colour other than the gradient colour: flat hover face.
    p.hoverBackColor() = RGB(1, 1, 1);
    QImage img = t.render();
    for (int x : {3, 30, 56})
        QCOMPARE(pixelAt(img, x, 30), RGB(0, 99, 199));

    // The same colour: the gradient stays.
    p.hoverBackColor() = RGB(80, 34, 0);
    img = t.render();
    QCOMPARE(pixelAt(img, 30, 30), RGB(70, 140, 0));
}

void tst_ButtonPaint::captionColours_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<bool>("hoverColour");
    QTest::newRow("at rest: fore colour") << 0 << false << false;
    QTest::newRow("under the pointer: hover colour") << 4 << true << true;
    QTest::newRow("held under the pointer: fore colour") << 6 << true << false;
}

void tst_ButtonPaint::captionColours()
{
    QFETCH(int, bits);
    QFETCH(bool, tracking);
    QFETCH(bool, hoverColour);

    TestButton t(120, 50);
    bigCaption(t, QStringLiteral("HIH"));
    KxButtonsProbe p = t.probe();
    t.button->host::UserControl::setForeColor(RGB(0, 0, 160));
    p.hoverForeColor() = RGB(170, 0, 0);
    p.stateBits() = std::int16_t(bits);
    p.tracking() = tracking ? kxButtons_H::True : kxButtons_H::False;
    const QImage img = t.render();
    const COLORREF shown = hoverColour ? RGB(170, 0, 0) : RGB(0, 0, 160);
    const COLORREF other = hoverColour ? RGB(0, 0, 160) : RGB(170, 0, 0);
    QVERIFY(countOf(img, shown) > 10);
    QCOMPARE(countOf(img, other), 0);
    // The text stays inside the caption rectangle, shifted when pressed.
    RECT r = p.captionRect();
    if (bits == 6)
        OffsetRect(&r, 1, 1);
    QVERIFY(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top).contains(boxOf(img, shown)));
    saveOnFailure(img, "caption");
}

void tst_ButtonPaint::threeDimensionalCopies_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("1: darker copy up-left") << 1;
    QTest::newRow("2: lighter copy up-left") << 2;
}

void tst_ButtonPaint::threeDimensionalCopies()
{
    QFETCH(int, style);
    TestButton t(140, 50, RGB(100, 100, 100)); // face (148, 148, 125)
    KxButtonsProbe p = t.probe();
    p.captionStyle() = style;
    bigCaption(t, QStringLiteral("HIH"));
    t.button->host::UserControl::setForeColor(RGB(0, 0, 160));
    const QImage img = t.render();

    const std::int32_t face = p.faceColor();
    const std::int16_t d = style == 2 ? 40 : -40;
    const COLORREF upLeft = COLORREF(KxButtonsProbe::shiftColor(face, d, false));
    const COLORREF downRight = COLORREF(KxButtonsProbe::shiftColor(face, std::int16_t(-d), false));
    const QRect text = boxOf(img, RGB(0, 0, 160));
    const QRect a = boxOf(img, upLeft);
    const QRect b = boxOf(img, downRight);
    QVERIFY(!text.isEmpty() && !a.isEmpty() && !b.isEmpty());
    QCOMPARE(a.left(), text.left() - 1);
    QVERIFY(a.top() < text.top());
    QCOMPARE(b.right(), text.right() + 1);
    QVERIFY(b.bottom() > text.bottom());
    saveOnFailure(img, "3d");
}

void tst_ButtonPaint::disabledCaption()
{
    // Plain face: one pass in the flat face shifted by -104.
    {
        TestButton t(120, 50);
        bigCaption(t, QStringLiteral("HIH"));
        t.button->host::UserControl::setEnabled(false);
        const QImage img = t.render();
        const COLORREF text = COLORREF(shade(shade(kFace, -24), -104));
        QVERIFY(countOf(img, text) > 10);
        QCOMPARE(countOf(img, 0x808080), 0);
        QCOMPARE(countOf(img, 0xFFFFFF), 0);
        saveOnFailure(img, "disabled-plain");
    }
    // Gradient face: grey caption with a white copy down-right.
    {
        TestButton t(120, 50);
        bigCaption(t, QStringLiteral("HIH"));
        KxButtonsProbe p = t.probe();
        p.gradientMode() = 3;
        p.gradientColor() = RGB(0, 0, 0);
        t.button->host::UserControl::setEnabled(false);
        const QImage img = t.render();
        const QRect grey = boxOf(img, 0x808080);
        const QRect white = boxOf(img, 0xFFFFFF);
        QVERIFY(!grey.isEmpty() && !white.isEmpty());
        QCOMPARE(white.right(), grey.right() + 1);
        QVERIFY(white.bottom() > grey.bottom());
        QCOMPARE(grey.left(), white.left() - 1);
        saveOnFailure(img, "disabled-gradient");
    }
}

void tst_ButtonPaint::pressedOffset_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QPoint>("offset");
    QTest::newRow("rectangle: right and down") << 0 << QPoint(1, 1);
    QTest::newRow("ellipse: down only") << 4 << QPoint(0, 1);
}

void tst_ButtonPaint::pressedOffset()
{
    QFETCH(int, shape);
    QFETCH(QPoint, offset);
    TestButton t(140, 60);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    p.createRegion();
    bigCaption(t, QStringLiteral("HIH"));
    t.button->host::UserControl::setForeColor(RGB(0, 0, 160));
    p.mode() = 1;
    const QRect atRest = boxOf(t.render(), RGB(0, 0, 160));
    p.value() = kxButtons_H::True; // a selected check button draws pressed
    const QRect pressed = boxOf(t.render(), RGB(0, 0, 160));
    QVERIFY(!atRest.isEmpty());
    QCOMPARE(pressed, atRest.translated(offset));
}

void tst_ButtonPaint::shownWithOneBlockTransfer()
{
    TestButton t(70, 30);
    KxButtonsProbe p = t.probe();
    p.stateBits() = kxButtons_H::kHoverFlag;
    const QImage composed = t.render().copy();
    const QImage shown = t.button->surfaceImage();
    QCOMPARE(shown.size(), composed.size());
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), composed.convertToFormat(QImage::Format_RGB32));
}

void tst_ButtonPaint::suspendedDrawingPaintsNothing()
{
    TestButton t(60, 40);
    KxButtonsProbe p = t.probe();
    t.render();
    SetPixel(p.memDC(), 30, 20, RGB(1, 2, 3));
    const QImage before = t.button->surfaceImage();
    p.delayDrawing() = kxButtons_H::True;
    p.stateBits() = kxButtons_H::kHoverFlag;
    p.redraw();
    QCOMPARE(pixelAt(p.surface(), 30, 20), RGB(1, 2, 3));
    QCOMPARE(t.button->surfaceImage(), before);
}

QTEST_MAIN(tst_ButtonPaint)
#include "tst_buttonpaint.moc"
