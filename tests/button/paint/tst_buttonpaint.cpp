// Pixels of the composed button on its off-screen surface and the colour
// arithmetic behind them, with private state staged through the probe.

#include "PaintTestSupport.h"

#include <Pictures.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace painttest;

namespace {

constexpr std::int32_t kFace = RGB(248, 248, 250); // BackColor 200 grey, +48 scaled
constexpr COLORREF kOuter = 0x733C00;
constexpr COLORREF kGreen = RGB(0, 160, 0);
using Colors = QList<int>;

std::int32_t shade(std::int32_t c, int amount, bool scaleBlue = true)
{
    // Independent of the control: channels plus amount, blue scaled by its own value (truncated), clamped.
    auto ch = [](int v) { return std::clamp(v, 0, 255); };
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return RGB(ch(r + amount), ch(g + amount), ch(scaleBlue ? b + amount * b / 192 : b + amount));
}

// Step j of n from a to b, each channel rounded down: the gradient's oracle.
std::int32_t lerp(std::int32_t a, std::int32_t b, int j, int n)
{
    std::int32_t out = 0;
    for (int s : {0, 8, 16}) {
        const int ca = (a >> s) & 0xFF, cb = (b >> s) & 0xFF;
        out |= ((ca * (n - j) + cb * j) / n) << s;
    }
    return out;
}

} // namespace

class tst_buttonpaint : public QObject
{
    Q_OBJECT

    static QImage render(kxButtons_H *b)
    {
        KxButtonsProbe(*b).redraw();
        return gdi::bitmapImage(KxButtonsProbe(*b).surfaceBitmap()).copy();
    }
    static void bigCaption(kxButtons_H *b, int style = 0)
    {
        const host::StdFontPtr font = b->host::UserControl::Font();
        font->setName(QStringLiteral("Arial"));
        font->setSize(20);
        font->setBold(true);
        KxButtonsProbe p(*b);
        p.refreshCachedValues(QStringLiteral("Font"));
        p.caption().text = QStringLiteral("HIH");
        p.caption().style = style;
        b->host::UserControl::setForeColor(RGB(0, 0, 160));
        p.calculateLayout();
    }

private slots:
    void shiftColor_data();
    void shiftColor();
    void fontHeight_data();
    void fontHeight();
    void gradientColours_data();
    void gradientColours();
    void faceRows_data();
    void faceRows();
    void ringsByLook_data();
    void ringsByLook();
    void slantedFrame_data();
    void slantedFrame();
    void elliptic_data();
    void elliptic();
    void gradientBands_data();
    void gradientBands();
    void captionLooks_data();
    void captionLooks();
    void pictures_data();
    void pictures();
    void transparentAndEmbossed();
};

void tst_buttonpaint::shiftColor_data()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("amount");
    QTest::addColumn<bool>("scaleBlue");
    QTest::addColumn<int>("expected");
    QTest::newRow("face of 200 grey") << int(RGB(200, 200, 200)) << 48 << true << int(RGB(248, 248, 250));
    QTest::newRow("pressed face") << int(RGB(248, 248, 250)) << -32 << true << int(RGB(216, 216, 209));
    QTest::newRow("selected face") << 0xFFFFFF << -32 << true << int(RGB(223, 223, 213));
    QTest::newRow("blue 255 -32: -42.5 truncates") << int(RGB(100, 100, 255)) << -32 << true << int(RGB(68, 68, 213));
    QTest::newRow("light grey") << 0xC0C0C0 << 36 << false << int(RGB(228, 228, 228));
    QTest::newRow("dark grey") << 0xC0C0C0 << -36 << false << int(RGB(156, 156, 156));
    QTest::newRow("black stays black") << 0 << -104 << true << 0;
    QTest::newRow("white stays white") << 0xFFFFFF << 172 << false << 0xFFFFFF;
    QTest::newRow("channels clamp apart") << int(RGB(250, 10, 128)) << 20 << false << int(RGB(255, 30, 148));
}

void tst_buttonpaint::shiftColor()
{
    QFETCH(int, color);
    QFETCH(int, amount);
    QFETCH(bool, scaleBlue);
    QFETCH(int, expected);
    QCOMPARE(KxButtonsProbe::shiftColor(color, std::int16_t(amount), scaleBlue), expected);
}

void tst_buttonpaint::fontHeight_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("pixels"); // 20 * points / 15 twips per pixel, to nearest, halves to even
    QTest::newRow("8.25: 11") << 8.25 << 11;
    QTest::newRow("11: 14.67 rounds up") << 11.0 << 15;
    QTest::newRow("7.875: 10.5 to even") << 7.875 << 10;
    QTest::newRow("13.125: 17.5 to even") << 13.125 << 18;
}

void tst_buttonpaint::fontHeight()
{
    QFETCH(double, points);
    QFETCH(int, pixels);
    Button t(60, 40);
    t.b->host::UserControl::Font()->setSize(points);
    t.probe().refreshCachedValues(QStringLiteral("Font"));
    LOGFONTA lf{};
    QCOMPARE(GetObjectA(GetCurrentObject(t.probe().memDC(), OBJ_FONT), sizeof lf, &lf), int(sizeof lf));
    QCOMPARE(lf.lfHeight, -pixels);
}

void tst_buttonpaint::gradientColours_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    // Steps in halves, sixteenths or 256ths add up without error, so every
    // band is exact: rounded down, never to nearest.
    QTest::newRow("single band: first colour, no division by zero") << 1 << int(RGB(1, 2, 3)) << int(RGB(200, 9, 9));
    QTest::newRow("two bands") << 2 << int(RGB(10, 20, 30)) << int(RGB(200, 100, 0));
    QTest::newRow("half, quarter and eighth steps") << 9 << 0 << int(RGB(4, 2, 1));
    QTest::newRow("descending in sixteenths") << 17 << 0xFFFFFF << int(RGB(0, 17, 90));
    QTest::newRow("256 steps") << 257 << 0 << int(RGB(255, 128, 64));
}

void tst_buttonpaint::gradientColours()
{
    QFETCH(int, count);
    QFETCH(int, first);
    QFETCH(int, second);
    Button t(40, 20);
    std::vector<std::int32_t> colors(std::size_t(count), -1);
    t.probe().calcGradientColors(colors, first, second);
    QCOMPARE(colors.front(), first);
    for (int j = 1; j < count; ++j)
        QCOMPARE(colors[std::size_t(j)], lerp(first, second, j, count - 1));
}

void tst_buttonpaint::faceRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("amount"); // whole(-25 * row / 40), halves to even
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("value");
    QTest::addColumn<bool>("underPointer");
    QTest::addColumn<int>("face");
    const int hover = RGB(90, 180, 90), selected = RGB(223, 223, 213);
    QTest::newRow("row 3: -1.875") << 3 << -2 << 0 << false << false << kFace;
    QTest::newRow("row 4: -2.5") << 4 << -2 << 0 << false << false << kFace;
    QTest::newRow("row 12: -7.5") << 12 << -8 << 0 << false << false << kFace;
    QTest::newRow("row 21: -13.125") << 21 << -13 << 0 << false << false << kFace;
    QTest::newRow("row 36: -22.5") << 36 << -22 << 0 << false << false << kFace;
    QTest::newRow("under the pointer: hover face") << 12 << -8 << 0 << false << true << hover;
    QTest::newRow("check under the pointer: hover face") << 12 << -8 << 1 << false << true << hover;
    QTest::newRow("selected check under the pointer keeps its face") << 12 << -8 << 1 << true << true << selected;
}

void tst_buttonpaint::faceRows()
{
    QFETCH(int, row);
    QFETCH(int, amount);
    QFETCH(int, mode);
    QFETCH(bool, value);
    QFETCH(bool, underPointer);
    QFETCH(int, face);
    Button t(60, 40);
    t.probe().toggle().mode = mode;
    t.probe().toggle().value = value ? kxButtons_H::True : kxButtons_H::False;
    t.probe().input().tracking = underPointer ? kxButtons_H::True : kxButtons_H::False;
    t.probe().input().stateBits = underPointer ? kxButtons_H::kHoverFlag : 0;
    t.probe().colours().hoverFaceColor = RGB(90, 180, 90);
    const QImage img = render(t.b);
    for (int x : {3, 30, 56})
        QCOMPARE(px(img, x, row), COLORREF(shade(face, amount)));
}

void tst_buttonpaint::ringsByLook_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("value");
    QTest::addColumn<int>("bits"); // default 1, held 2, hover 4
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("showFocus");
    QTest::addColumn<Colors>("rings"); // inner l t r b, middle l t r b, outer

    const std::int32_t b = kFace;
    const Colors normal{shade(b, -10), shade(b, 10), shade(b, -24), shade(b, -32),
                        shade(b, -5), shade(b, 16), shade(b, -36), shade(b, -48), int(kOuter)};
    const Colors blue{0xF0D1B5, 0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xE7AE8C, 0xFFDFBF, 0xE7AE8C, 0xEF826B, int(kOuter)};
    const Colors orange{0x6BCBFF, 0x8CDBFF, 0x6BCBFF, 0x31B2FF, 0x31B2FF, 0xA6E9FF, 0x31B2FF, 0x0096E7, int(kOuter)};
    auto pressed = [](std::int32_t s) {
        return Colors{shade(s, -22), shade(s, -24), s, shade(s, 10),
                      shade(s, -32), shade(s, -32), shade(s, 5), shade(s, 16), int(kOuter)};
    };
    const int flat = shade(b, -24); // disabled: no inner or middle ring
    const Colors disabled{flat, flat, flat, flat, flat, flat, flat, flat, shade(b, -84)};

    QTest::newRow("normal") << 0 << false << 0 << true << true << normal;
    QTest::newRow("hot") << 0 << false << 4 << true << true << orange;
    QTest::newRow("held under the pointer") << 0 << false << 6 << true << true << pressed(b);
    QTest::newRow("held elsewhere") << 0 << false << 2 << true << true << normal;
    QTest::newRow("default") << 0 << false << 1 << true << true << blue;
    QTest::newRow("default without focus rect") << 0 << false << 1 << true << false << normal;
    QTest::newRow("hot default") << 0 << false << 5 << true << true << orange;
    QTest::newRow("check selected") << 1 << true << 0 << true << true << pressed(RGB(223, 223, 213));
    QTest::newRow("check selected default") << 1 << true << 1 << true << true << blue;
    QTest::newRow("disabled") << 0 << false << 0 << false << true << disabled;
}

void tst_buttonpaint::ringsByLook()
{
    QFETCH(int, mode);
    QFETCH(bool, value);
    QFETCH(int, bits);
    QFETCH(bool, enabled);
    QFETCH(bool, showFocus);
    QFETCH(Colors, rings);

    Button t(60, 40);
    t.probe().toggle().mode = mode;
    t.probe().toggle().value = value ? kxButtons_H::True : kxButtons_H::False;
    t.probe().input().stateBits = std::int16_t(bits);
    t.probe().look().showFocusRect = showFocus ? kxButtons_H::True : kxButtons_H::False;
    t.b->host::UserControl::setEnabled(enabled);
    const QImage img = render(t.b);

    // Middle of each side of the rings 2, 1 and 0 pixels inside the edge.
    const QPoint inner[4] = {{2, 20}, {30, 2}, {57, 20}, {30, 37}};
    for (int i = 0; i < 4; ++i) {
        const QPoint d = inner[i] - QPoint(30, 20);
        const QPoint step(d.x() ? (d.x() > 0 ? 1 : -1) : 0, d.y() ? (d.y() > 0 ? 1 : -1) : 0);
        QCOMPARE(px(img, inner[i].x(), inner[i].y()), COLORREF(rings[i]));
        QCOMPARE(px(img, (inner[i] + step).x(), (inner[i] + step).y()), COLORREF(rings[4 + i]));
        QCOMPARE(px(img, (inner[i] + 2 * step).x(), (inner[i] + 2 * step).y()), COLORREF(rings[8]));
    }
    // Ring ends: the bottom side runs over the left side's end.
    QCOMPARE(px(img, 2, 37), COLORREF(rings[3]));
    // The corner pixels of the middle ring take the outer colour.
    for (const QPoint &c : {QPoint(1, 1), QPoint(1, 38), QPoint(58, 1), QPoint(58, 38)})
        QCOMPARE(px(img, c.x(), c.y()), COLORREF(rings[8]));
}

void tst_buttonpaint::slantedFrame_data()
{
    QTest::addColumn<int>("shape");
    QTest::newRow("1 slant left") << 1;
    QTest::newRow("2 slant right") << 2;
    QTest::newRow("3 slant both") << 3;
}

void tst_buttonpaint::slantedFrame()
{
    // 100 x 40, slant s = 41: on a slanted side the outer ring takes the
    // outline's last pixel of each row and the middle and inner rings the
    // next two inward; corner pixels only at a straight end.
    QFETCH(int, shape);
    Button t(100, 40);
    t.probe().look().buttonShape = shape;
    t.probe().createButtonRegion();
    const QImage img = render(t.b);
    const QRegion mask = t.b->mask();
    for (int y : {5, 20, 33}) {
        int left = 0, right = 99;
        while (!mask.contains(QPoint(left, y)))
            ++left;
        while (!mask.contains(QPoint(right, y)))
            --right;
        if (shape != 2) {
            QCOMPARE(px(img, left, y), kOuter);
            QCOMPARE(px(img, left + 1, y), COLORREF(shade(kFace, -5)));
            QCOMPARE(px(img, left + 2, y), COLORREF(shade(kFace, -10)));
        }
        if (shape != 1) {
            QCOMPARE(px(img, right, y), kOuter);
            QCOMPARE(px(img, right - 1, y), COLORREF(shade(kFace, -36)));
            QCOMPARE(px(img, right - 2, y), COLORREF(shade(kFace, -24)));
        }
    }
    QCOMPARE(px(img, 98, 1) == kOuter, shape == 1);
    QCOMPARE(px(img, 1, 38) == kOuter, shape == 2);
}

void tst_buttonpaint::elliptic_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<int>("ring");      // 1 light on top, -1 reversed, 0 none, 2 black outline
    QTest::addColumn<int>("highlight"); // highlight colour, -1 none
    QTest::addColumn<int>("inset");     // where the highlight runs
    QTest::newRow("4 at rest") << 4 << 0 << false << 1 << -1 << 3;
    QTest::newRow("4 pressed: ring reversed") << 4 << 6 << false << -1 << -1 << 3;
    QTest::newRow("5 pressed: no ring") << 5 << 6 << false << 0 << -1 << 3;
    QTest::newRow("4 default: blue") << 4 << 1 << false << 1 << 0xEF826B << 3;
    QTest::newRow("5 default under the pointer: orange") << 5 << 5 << true << 1 << 0x0096E7 << 3;
    QTest::newRow("4 under the pointer, not default: none") << 4 << 4 << true << 1 << -1 << 3;
    QTest::newRow("6 default: black outline, blue 2 inside") << 6 << 1 << false << 2 << 0xEF826B << 2;
}

void tst_buttonpaint::elliptic()
{
    QFETCH(int, shape);
    QFETCH(int, bits);
    QFETCH(bool, tracking);
    QFETCH(int, ring);
    QFETCH(int, highlight);
    QFETCH(int, inset);
    QVERIFY2(QGuiApplication::primaryScreen()->size().height() / 40 >= 4, "1-pixel bands expected");

    Button t(60, 40);
    t.probe().look().buttonShape = shape;
    t.probe().input().stateBits = std::int16_t(bits);
    t.probe().input().tracking = tracking ? kxButtons_H::True : kxButtons_H::False;
    t.probe().colours().containerBackColor = RGB(40, 60, 80);
    t.probe().colours().hoverFaceColor = RGB(90, 180, 90);
    t.probe().createButtonRegion();
    const QPoint outside[3] = {{0, 20}, {2, 2}, {59, 39}}; // outside the clip ellipse
    for (const QPoint &p : outside)
        SetPixel(t.probe().surface().memDC, p.x(), p.y(), RGB(1, 2, 3));
    const QImage img = render(t.b);

    // The ring is a 40-band gradient from +172 to -32 of the container.
    std::vector<std::int32_t> bands(40);
    t.probe().calcGradientColors(bands, RGB(212, 232, 252), RGB(8, 28, 48));
    for (const QPoint &p : outside) {
        const COLORREF got = px(img, p.x(), p.y());
        if (ring == 2)
            QCOMPARE(got, p.x() == 0 ? RGB(0, 0, 0) : RGB(1, 2, 3));
        else if (ring == 0)
            QCOMPARE(got, RGB(1, 2, 3));
        else
            QCOMPARE(got, COLORREF(bands[std::size_t(ring > 0 ? p.y() : 39 - p.y())]));
    }
    // Inside the clip: the shaded face (pressed, hover or plain).
    const std::int32_t face = bits == 6 ? t.probe().colours().pressedFaceColor : tracking ? RGB(90, 180, 90) : kFace;
    QCOMPARE(px(img, 30, 20), COLORREF(shade(face, -12)));
    if (ring != 2)
        QCOMPARE(px(img, 1, 20), COLORREF(shade(face, -12)));
    QCOMPARE(px(img, 30, inset), COLORREF(highlight >= 0 ? highlight : shade(face, -2)));
    if (highlight >= 0) {
        QCOMPARE(px(img, inset, 19), COLORREF(highlight));
        QCOMPARE(px(img, 30, 39 - inset), COLORREF(highlight));
    }
}

void tst_buttonpaint::gradientBands_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("hoverBack"); // -1: not under the pointer
    QTest::newRow("1: first colour left") << 1 << -1;
    QTest::newRow("2: first colour right") << 2 << -1;
    QTest::newRow("3: first colour top") << 3 << -1;
    QTest::newRow("4: first colour bottom") << 4 << -1;
    QTest::newRow("hover, other colour: flat hover face") << 1 << int(RGB(1, 1, 1));
    QTest::newRow("hover, same colour: gradient stays") << 1 << int(RGB(80, 34, 0));
}

void tst_buttonpaint::gradientBands()
{
    QFETCH(int, mode);
    QFETCH(int, hoverBack);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QVERIFY2(screen.width() / 60 >= 4 && screen.height() / 60 >= 4, "1-pixel bands expected");

    // (10, 200, 0) to (128, 82, 0) over 60 bands: steps of exactly 2.
    Button t(60, 60);
    t.probe().colours().faceColor = RGB(10, 200, 0);
    t.probe().colours().gradientColor = RGB(80, 34, 0); // +48 scaled: (128, 82, 0)
    t.probe().colours().gradientMode = mode;
    if (hoverBack >= 0) {
        t.probe().input().tracking = kxButtons_H::True;
        t.probe().input().stateBits = kxButtons_H::kHoverFlag;
        t.probe().colours().hoverBackColor = kxButtons_H::OleColor(hoverBack);
        t.probe().colours().hoverFaceColor = RGB(0, 99, 199);
    }
    const QImage img = render(t.b);
    for (int k : {3, 10, 29, 56}) {
        const int i = mode % 2 ? k : 59 - k;
        const QPoint p = mode < 3 ? QPoint(k, 30) : QPoint(30, k);
        const COLORREF want = hoverBack == int(RGB(1, 1, 1)) ? RGB(0, 99, 199) : RGB(10 + 2 * i, 200 - 2 * i, 0);
        QCOMPARE(px(img, p.x(), p.y()), want);
    }

    // More than a quarter of the screen high: 2-pixel bands, h \ 2 of them.
    const int h = screen.height() / 3;
    Button tall(30, h);
    tall.probe().colours().faceColor = 0;
    tall.probe().colours().gradientColor = RGB(207, 207, 0); // (255, 255, 0)
    tall.probe().colours().gradientMode = 3;
    const QImage bands = render(tall.b);
    std::vector<std::int32_t> colors(std::size_t(h / 2));
    tall.probe().calcGradientColors(colors, 0, RGB(255, 255, 0));
    for (int k : {2, h / 4, h / 2 - 3}) {
        QCOMPARE(px(bands, 15, 2 * k + 1), px(bands, 15, 2 * k));
        QCOMPARE(px(bands, 15, 2 * k), COLORREF(colors[std::size_t(k)]));
    }
}

void tst_buttonpaint::captionLooks_data()
{
    QTest::addColumn<int>("bits"); // the hover bit also means tracking
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("gradient");
    QTest::addColumn<int>("text");   // colour of the caption itself
    QTest::addColumn<int>("upLeft"); // copy one pixel up-left (-1 none)
    QTest::addColumn<int>("downRight");
    QTest::addColumn<QPoint>("shift"); // of the caption from its place at rest
    // A mid-grey face, so that neither 3-D copy matches a frame colour.
    const int blue = RGB(0, 0, 160), red = RGB(170, 0, 0), face = RGB(100, 100, 100);
    const int disabledText = shade(shade(face, -24), -104);
    // A 3-D caption's rectangle is 2 pixels larger and starts a pixel up and
    // left; its text, centred in it one pixel down, lands where a plain one does.
    QTest::newRow("at rest: fore colour") << 0 << 0 << true << 0 << blue << -1 << -1 << QPoint(0, 0);
    QTest::newRow("under the pointer: hover colour") << 4 << 0 << true << 0 << red << -1 << -1 << QPoint(0, 0);
    QTest::newRow("held under the pointer: fore colour") << 6 << 0 << true << 0 << blue << -1 << -1 << QPoint(1, 1);
    QTest::newRow("style 2: lighter copy up-left") << 0 << 2 << true << 0 << blue << shade(face, 40, false)
                                                    << shade(face, -40, false) << QPoint(0, 0);
    QTest::newRow("style 1: darker copy up-left") << 0 << 1 << true << 0 << blue << shade(face, -40, false)
                                                   << shade(face, 40, false) << QPoint(0, 0);
    QTest::newRow("disabled, plain face: one pass") << 0 << 0 << false << 0 << disabledText << -1 << -1 << QPoint(0, 0);
    QTest::newRow("disabled, gradient: white copy down-right") << 0 << 0 << false << 3 << 0x808080 << -1 << 0xFFFFFF
                                                               << QPoint(0, 0);
}

void tst_buttonpaint::captionLooks()
{
    QFETCH(int, bits);
    QFETCH(int, style);
    QFETCH(bool, enabled);
    QFETCH(int, gradient);
    QFETCH(int, text);
    QFETCH(int, upLeft);
    QFETCH(int, downRight);
    QFETCH(QPoint, shift);

    Button rest(140, 50);
    rest.probe().colours().faceColor = RGB(100, 100, 100);
    bigCaption(rest.b);
    const QRect home = boxOf(render(rest.b), RGB(0, 0, 160));

    Button t(140, 50);
    t.probe().colours().faceColor = RGB(100, 100, 100);
    bigCaption(t.b, style);
    t.probe().colours().hoverForeColor = RGB(170, 0, 0);
    t.probe().setStateBits(std::int16_t(bits));
    t.probe().setTracking(bits & kxButtons_H::kHoverFlag);
    t.probe().colours().gradientMode = gradient;
    t.b->host::UserControl::setEnabled(enabled);
    const QImage img = render(t.b);

    const QRect box = boxOf(img, COLORREF(text));
    QVERIFY(home.width() > 10);
    QCOMPARE(box, home.translated(shift));
    for (int other : {int(RGB(0, 0, 160)), int(RGB(170, 0, 0)), 0x808080})
        if (other != text)
            QVERIFY(boxOf(img, COLORREF(other)).isEmpty());
    if (upLeft >= 0) {
        QCOMPARE(boxOf(img, COLORREF(upLeft)).left(), box.left() - 1);
        QVERIFY(boxOf(img, COLORREF(upLeft)).top() < box.top());
    }
    if (downRight >= 0) {
        QCOMPARE(boxOf(img, COLORREF(downRight)).right(), box.right() + 1);
        QVERIFY(boxOf(img, COLORREF(downRight)).bottom() > box.bottom());
    }
}

void tst_buttonpaint::pictures_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QRect>("covered"); // where the picture shows (pixel bounds)
    QTest::newRow("32x32 icon at 16") << 16 << 0 << false << QRect(6, 12, 16, 16);
    QTest::newRow("icon pressed: right and down") << 16 << 0 << true << QRect(7, 13, 16, 16);
    QTest::newRow("icon pressed, ellipse: down") << 16 << 4 << true << QRect(6, 13, 16, 16);
    QTest::newRow("40: whole control") << 40 << 0 << false << QRect(0, 0, 92, 40);
    QTest::newRow("40 pressed: from (1, 1)") << 40 << 0 << true << QRect(1, 1, 91, 39);
    // 100 x 50 into 92 - 12 by 40 - 12: f = 0.56, 56 x 28 at (18, 6).
    QTest::newRow("48: fitted into the face") << 48 << 0 << false << QRect(18, 6, 56, 28);
    QTest::newRow("48 pressed: right and down") << 48 << 0 << true << QRect(19, 7, 56, 28);
}

void tst_buttonpaint::pictures()
{
    QFETCH(int, size);
    QFETCH(int, shape);
    QFETCH(bool, pressed);
    QFETCH(QRect, covered);
    Button t(92, 40);
    t.probe().look().buttonShape = shape;
    t.probe().createButtonRegion();
    t.probe().toggle().mode = 1;
    t.probe().toggle().value = pressed ? kxButtons_H::True : kxButtons_H::False;
    auto magentaCorner = [](int x, int y) { return x + y == 0 ? qRgb(255, 0, 255) : qRgb(0, 160, 0); };
    if (size == 16)
        t.setPicture(pictures::pngIcon(32, qRgb(0, 160, 0)), 16);
    else
        t.setPicture(pictures::bmp24(size == 40 ? 10 : 100, size == 40 ? 10 : 50, magentaCorner), size);
    const QImage img = render(t.b);
    const QRect box = boxOf(img, kGreen);
    // The magenta corner of the bitmaps is transparent, so compare the far
    // corner exactly and the near one within the corner's block.
    QCOMPARE(box.bottomRight(), covered.bottomRight());
    QVERIFY(qAbs(box.left() - covered.left()) <= 1 && qAbs(box.top() - covered.top()) <= 1);
    QCOMPARE(px(img, covered.center().x(), covered.center().y()), kGreen);
    if (pressed && size == 40)
        QCOMPARE(px(img, 0, 20), kOuter);
}

void tst_buttonpaint::transparentAndEmbossed()
{
    // Enabled: magenta (the top-left colour) shows the face, the rest the
    // picture. Disabled: a black-on-white picture becomes a dark grey shape
    // with a light grey copy one pixel up and left; white shows the face.
    auto colour = [](int x, int y) { return (x + y) % 5 == 0 ? qRgb(255, 0, 255) : qRgb(x * 15, y * 15, 90); };
    auto blackSquare = [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); };
    for (bool enabled : {true, false}) {
        Button t(60, 40);
        t.b->host::UserControl::setEnabled(enabled);
        const QImage before = render(t.b);
        t.setPicture(pictures::bmp24(16, 16, enabled ? colour : blackSquare), 16);
        const QImage img = render(t.b);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 60; ++x) {
                const int u = x - 6, v = y - 12; // image rectangle at (6, 12)
                const bool in = u >= 0 && u < 16 && v >= 0 && v < 16;
                COLORREF want = px(before, x, y);
                if (enabled && in && colour(u, v) != qRgb(255, 0, 255))
                    want = RGB(qRed(colour(u, v)), qGreen(colour(u, v)), qBlue(colour(u, v)));
                else if (!enabled && in && blackSquare(u, v) == qRgb(0, 0, 0))
                    want = RGB(156, 156, 156);
                else if (!enabled && u >= -1 && u < 15 && v >= -1 && v < 15
                         && blackSquare(u + 1, v + 1) == qRgb(0, 0, 0))
                    want = RGB(228, 228, 228);
                QVERIFY2(px(img, x, y) == want, qPrintable(QStringLiteral("%1 (%2,%3)").arg(enabled).arg(x).arg(y)));
            }
        }
    }
}

QTEST_MAIN(tst_buttonpaint)
#include "tst_buttonpaint.moc"
