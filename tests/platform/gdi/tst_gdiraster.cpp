// Lines, rectangles, ellipses, pixels, raster operations and block transfers.

#include "surface.h"

#include "raster.h"

#include <QRandomGenerator>
#include <QTest>

#include <set>

namespace {

constexpr COLORREF kPen = RGB(200, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 200);
constexpr COLORREF kPaper = RGB(255, 255, 255);

using PixelSet = std::set<std::pair<int, int>>;
using Draw = std::function<void(HDC)>;

PixelSet parsePixels(const QString &text)
{
    PixelSet out;
    for (const QString &p : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList xy = p.split(u',');
        out.insert({xy[0].toInt(), xy[1].toInt()});
    }
    return out;
}

// 'P' pen, 'B' brush, '.' paper, '?' anything else.
QStringList shapePicture(const Surface &s)
{
    QStringList rows;
    for (int y = 0; y < s.height(); ++y) {
        QString row;
        for (int x = 0; x < s.width(); ++x) {
            const COLORREF c = GetPixel(s.dc, x, y);
            row += c == kPen ? u'P' : c == kBrush ? u'B' : c == kPaper ? u'.' : u'?';
        }
        rows << row;
    }
    return rows;
}

} // namespace

// Compares the surface's picture and saves the surface on a mismatch.
#define COMPARE_PICTURE(surface, expected, name)                                                          \
    do {                                                                                                  \
        const QStringList actual_ = shapePicture(surface);                                                \
        if (actual_ != (expected))                                                                        \
            qWarning().noquote() << actual_.join(u'\n') << "\nsaved"                                      \
                                 << (surface).save(QStringLiteral(name));                                 \
        QCOMPARE(actual_, expected);                                                                      \
    } while (false)

Q_DECLARE_METATYPE(Draw)

class tst_GdiRaster : public QObject
{
    Q_OBJECT

private slots:
    void cosmeticLines_data();
    void cosmeticLines();
    void shapes_data();
    void shapes();
    void arcsFollowTheThinOutline();
    void pixelsOutsideOrClipped();
    void clipAppliesToEveryCall();
    void ropTruthTables();
    void monoAndColourConvertThroughTheDcColours();
    void stretch_data();
    void stretch();
    void blitSources();
    void hugeShapesFailSafely();
    void stretchMirrorsAndMaskBits();
};

void tst_GdiRaster::cosmeticLines_data()
{
    QTest::addColumn<QList<int>>("segment");
    QTest::addColumn<QString>("pixels");
    QTest::newRow("x-major down") << QList<int>{0, 0, 5, 2} << "0,0 1,0 2,1 3,1 4,2";
    QTest::newRow("x-major tie down keeps upper") << QList<int>{0, 0, 4, 2} << "0,0 1,0 2,1 3,1";
    QTest::newRow("x-major tie reversed") << QList<int>{4, 2, 0, 0} << "4,2 3,1 2,1 1,0";
    QTest::newRow("x-major tie going up") << QList<int>{0, 2, 4, 0} << "0,2 1,1 2,1 3,0";
    QTest::newRow("y-major tie") << QList<int>{0, 0, 2, 4} << "0,0 0,1 1,2 1,3";
    QTest::newRow("y-major tie going left") << QList<int>{2, 0, 0, 4} << "2,0 1,1 1,2 0,3";
    QTest::newRow("y-major going up") << QList<int>{0, 5, 2, 0} << "0,5 0,4 1,3 1,2 2,1";
    QTest::newRow("diagonal up-left") << QList<int>{3, 3, 0, 0} << "3,3 2,2 1,1";
    QTest::newRow("horizontal left") << QList<int>{5, 2, 1, 2} << "5,2 4,2 3,2 2,2";
    QTest::newRow("vertical up") << QList<int>{3, 3, 3, 0} << "3,3 3,2 3,1";
    QTest::newRow("zero length") << QList<int>{2, 2, 2, 2} << "";
}

void tst_GdiRaster::cosmeticLines()
{
    QFETCH(QList<int>, segment);
    QFETCH(QString, pixels);
    // Through the public call, on a surface, so the whole path is covered.
    Surface s(8, 8, kPaper);
    Selected pen(s.dc, CreatePen(PS_SOLID, 1, kPen));
    const POINT pts[2] = {{segment[0] + 1, segment[1] + 1}, {segment[2] + 1, segment[3] + 1}};
    QVERIFY(Polyline(s.dc, pts, 2));
    // Shape outlines build their lines as a region instead: the same pixels.
    const gdi::Region outline = gdi::polylineRegion(pts, 2, 1, false);
    PixelSet drawn, outlined;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            if (GetPixel(s.dc, x, y) == kPen)
                drawn.insert({x - 1, y - 1});
            if (outline.contains(x, y))
                outlined.insert({x - 1, y - 1});
        }
    }
    QCOMPARE(drawn, parsePixels(pixels));
    QCOMPARE(outlined, drawn);
}

void tst_GdiRaster::shapes_data()
{
    // One call under a pen of its own and a brush ('P' pen, 'B' brush).
    QTest::addColumn<int>("penStyle");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<bool>("hollow");
    QTest::addColumn<Draw>("draw");
    QTest::addColumn<QStringList>("expected");
    const auto rect = [](int l, int t, int r, int b) { return Draw([=](HDC dc) { QVERIFY(Rectangle(dc, l, t, r, b)); }); };
    const auto arc = [](int l, int t, int r, int b) { return Draw([=](HDC dc) { QVERIFY(Arc(dc, l, t, r, b, 0, 0, 0, 0)); }); };
    const QStringList blank(6, QString(10, u'.'));
    const QStringList box{"..........", ".PPPPPP...", ".PBBBBP...", ".PBBBBP...", ".PPPPPP...", ".........."};
    QTest::newRow("rectangle: cosmetic pen inside the box") << PS_SOLID << 1 << false << rect(1, 1, 7, 5) << box;
    QTest::newRow("rectangle: inverted box normalised") << PS_SOLID << 1 << false << rect(7, 5, 1, 1) << box;
    QTest::newRow("rectangle: null pen fills one less right and bottom") << PS_NULL << 1 << false << rect(1, 1, 7, 5)
        << QStringList{"..........", ".BBBBB....", ".BBBBB....", ".BBBBB....", "..........", ".........."};
    QTest::newRow("rectangle: two-pixel pen centred on the corner lines") << PS_SOLID << 2 << false << rect(2, 2, 8, 6)
        << QStringList{"..........", ".PPPPPPP..", ".PPPPPPP..", ".PPBBBPP..", ".PPPPPPP..", ".PPPPPPP.."};
    QTest::newRow("rectangle: inside frame two pixels") << PS_INSIDEFRAME << 2 << false << rect(1, 1, 7, 6)
        << QStringList{"..........", ".PPPPPP...", ".PPPPPP...", ".PPBBPP...", ".PPPPPP...", ".PPPPPP..."};
    QTest::newRow("rectangle: hollow brush frame only") << PS_SOLID << 1 << true << rect(1, 1, 7, 5)
        << QStringList{"..........", ".PPPPPP...", ".P....P...", ".P....P...", ".PPPPPP...", ".........."};
    QTest::newRow("rectangle: zero width draws nothing") << PS_SOLID << 1 << false << rect(3, 1, 3, 5) << blank;
    QTest::newRow("rectangle: zero height draws nothing") << PS_SOLID << 2 << false << rect(1, 3, 6, 3) << blank;
    QTest::newRow("rectangle: 1x1 cosmetic draws nothing [W?]") << PS_SOLID << 1 << false << rect(3, 3, 4, 4) << blank;
    QTest::newRow("rectangle: 2x2 cosmetic is all pen") << PS_SOLID << 1 << false << rect(3, 3, 5, 5)
        << QStringList{"..........", "..........", "..........", "...PP.....", "...PP.....", ".........."};
    QTest::newRow("ellipse: 8x8 circle [W?]") << PS_SOLID << 1 << false << arc(0, 0, 8, 8)
        << QStringList{"..PPPP..", ".P....P.", "P......P", "P......P", "P......P", "P......P", ".P....P.", "..PPPP.."};
    const QStringList oval{".PPPP...", "P....P..", "P....P..", ".PPPP...", "........"};
    QTest::newRow("ellipse: 6x4 [W?]") << PS_SOLID << 1 << false << arc(0, 0, 6, 4) << oval;
    QTest::newRow("ellipse: inverted box") << PS_SOLID << 1 << false << arc(6, 4, 0, 0) << oval;
    QTest::newRow("ellipse: one row is a line") << PS_SOLID << 1 << false << arc(1, 2, 6, 3)
        << QStringList{"........", "........", ".PPPPP..", "........"};
    QTest::newRow("ellipse: filled inside") << PS_SOLID << 1 << false
        << Draw([](HDC dc) { QVERIFY(Ellipse(dc, 0, 0, 8, 8)); })
        << QStringList{"..PPPP..", ".PBBBBP.", "PBBBBBBP", "PBBBBBBP", "PBBBBBBP", "PBBBBBBP", ".PBBBBP.", "..PPPP.."};
    QTest::newRow("polyline skips each segment's end, keeps the position") << PS_SOLID << 1 << false
        << Draw([](HDC dc) {
               const POINT pts[3] = {{1, 1}, {5, 1}, {5, 4}};
               QVERIFY(Polyline(dc, pts, 3));
               POINT pos;
               MoveToEx(dc, 0, 0, &pos);
               QCOMPARE(QPoint(pos.x, pos.y), QPoint(0, 0));
           })
        << QStringList{"........", ".PPPPP..", ".....P..", ".....P..", "........"};
    // No last-pixel exclusion, square caps.
    QTest::newRow("two-pixel line") << PS_SOLID << 2 << false
        << Draw([](HDC dc) {
               const POINT pts[2] = {{3, 3}, {8, 3}};
               QVERIFY(Polyline(dc, pts, 2));
           })
        << QStringList{"............", "............", "..PPPPPPP...", "..PPPPPPP...", "............"};
    QTest::newRow("LineTo goes on from the position it leaves") << PS_SOLID << 1 << false
        << Draw([](HDC dc) {
               MoveToEx(dc, 1, 1, nullptr);
               QVERIFY(LineTo(dc, 3, 1));
               QVERIFY(LineTo(dc, 5, 1));
               POINT pos;
               MoveToEx(dc, 0, 0, &pos);
               QCOMPARE(pos.x, 5);
           })
        << QStringList{"......", ".PPPP.", "......"};
}

void tst_GdiRaster::shapes()
{
    QFETCH(int, penStyle);
    QFETCH(int, penWidth);
    QFETCH(bool, hollow);
    QFETCH(Draw, draw);
    QFETCH(QStringList, expected);
    Surface s(int(expected.first().size()), int(expected.size()), kPaper);
    Selected pen(s.dc, CreatePen(penStyle, penWidth, kPen));
    Selected brush(s.dc, hollow ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(kBrush));
    draw(s.dc);
    COMPARE_PICTURE(s, expected, "shape");
}


void tst_GdiRaster::arcsFollowTheThinOutline()
{
    // Both expectations come from the full 1-pixel outline of the same box.
    // A 2-pixel pen makes every outline point a 2x2 block reaching one pixel
    // up and left [W?]; a partial arc from the east ray to the north ray runs
    // counter-clockwise: the upper right quarter of the outline, nothing else.
    Surface full(10, 10, kPaper), wide(10, 10, kPaper), part(10, 10, kPaper);
    Selected p1(full.dc, CreatePen(PS_SOLID, 1, kPen)), p2(wide.dc, CreatePen(PS_SOLID, 2, kPen)),
        p3(part.dc, CreatePen(PS_SOLID, 1, kPen));
    Arc(full.dc, 1, 1, 9, 9, 0, 0, 0, 0);
    Arc(wide.dc, 1, 1, 9, 9, 0, 0, 0, 0);
    Arc(part.dc, 1, 1, 9, 9, 21, 4, 5, -19);
    QStringList dilated(10, QString(10, u'.')), quarter = dilated;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (GetPixel(full.dc, x, y) == kPen) {
                for (int dy = -1; dy <= 0; ++dy)
                    for (int dx = -1; dx <= 0; ++dx)
                        dilated[y + dy][x + dx] = u'P';
                if (x >= 5 && y <= 4)
                    quarter[y][x] = u'P';
            }
    COMPARE_PICTURE(wide, dilated, "arc-wide");
    COMPARE_PICTURE(part, quarter, "arc-part");
}

void tst_GdiRaster::pixelsOutsideOrClipped()
{
    Surface s(4, 4, kPaper);
    QCOMPARE(SetPixel(s.dc, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    QCOMPARE(GetPixel(s.dc, 1, 1), RGB(1, 2, 3));
    QCOMPARE(GetPixel(s.dc, 1, 1) >> 24, 0u); // no stray top byte
    QCOMPARE(SetPixel(s.dc, 4, 0, 0), CLR_INVALID);
    QCOMPARE(SetPixel(s.dc, -1, 0, 0), CLR_INVALID);
    QCOMPARE(GetPixel(s.dc, 0, 4), CLR_INVALID);
    HRGN clip = CreateRectRgn(0, 0, 2, 2);
    SelectClipRgn(s.dc, clip);
    QCOMPARE(GetPixel(s.dc, 3, 3), CLR_INVALID);
    QCOMPARE(SetPixel(s.dc, 3, 3, 0), CLR_INVALID);
    SelectClipRgn(s.dc, 0);
    QCOMPARE(GetPixel(s.dc, 3, 3), kPaper);
    DeleteObject(clip);

    // A monochrome surface keeps the nearest of black and white.
    Surface mono(2, 1, RGB(0, 0, 0), 1);
    QCOMPARE(SetPixel(mono.dc, 0, 0, RGB(250, 240, 200)), RGB(255, 255, 255));
    QCOMPARE(SetPixel(mono.dc, 1, 0, RGB(40, 30, 60)), RGB(0, 0, 0));
}

void tst_GdiRaster::clipAppliesToEveryCall()
{
    // The clip is an elliptic region; each call paints white on black and
    // must never leave it. The region is deleted right after selection: the
    // DC holds its own copy.
    const QList<std::function<void(HDC)>> calls = {
        [](HDC dc) { PatBlt(dc, 0, 0, 12, 12, WHITENESS); },
        [](HDC dc) { Rectangle(dc, 0, 0, 12, 12); },
        [](HDC dc) {
            const POINT pts[2] = {{0, 5}, {12, 5}};
            Polyline(dc, pts, 2);
        },
        [](HDC dc) {
            const RECT r{0, 0, 12, 12};
            FillRect(dc, &r, GetStockObject(WHITE_BRUSH));
        },
        [](HDC dc) {
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 12; ++x)
                    SetPixel(dc, x, y, RGB(255, 255, 255));
        },
    };
    HRGN reference = CreateEllipticRgn(2, 1, 11, 10);
    for (qsizetype i = 0; i < calls.size(); ++i) {
        Surface s(12, 12, RGB(0, 0, 0));
        Selected pen(s.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        HRGN clip = CreateEllipticRgn(2, 1, 11, 10);
        SelectClipRgn(s.dc, clip);
        QVERIFY(DeleteObject(clip));
        calls[i](s.dc);
        SelectClipRgn(s.dc, 0);
        int white = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const bool isWhite = GetPixel(s.dc, x, y) == RGB(255, 255, 255);
                white += isWhite;
                if (isWhite && !PtInRegion(reference, x, y))
                    QFAIL(qPrintable(QStringLiteral("call %1 painted %2,%3 outside the clip").arg(i).arg(x).arg(y)));
            }
        QVERIFY2(white > 0, qPrintable(QStringLiteral("call %1 painted nothing").arg(i)));
    }
    DeleteObject(reference);
}

void tst_GdiRaster::ropTruthTables()
{
    // With brush 0xF0, source 0xCC and destination 0xAA in every channel,
    // bit k of each channel meets (p,s,d) = (k>>2, (k>>1)&1, k&1): the result
    // channel equals the ROP's index byte. Checked for all 256 codes.
    Surface src(1, 1, RGB(0xCC, 0xCC, 0xCC));
    HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    for (int index = 0; index < 256; ++index) {
        Surface dst(2, 1, RGB(0xAA, 0xAA, 0xAA));
        HGDIOBJ old = SelectObject(dst.dc, brush);
        const DWORD rop = DWORD(index) << 16;
        QVERIFY(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, rop));
        QCOMPARE(GetPixel(dst.dc, 0, 0), RGB(index, index, index));
        // StretchBlt 1:1 does the same.
        QVERIFY(StretchBlt(dst.dc, 1, 0, 1, 1, src.dc, 0, 0, 1, 1, rop));
        QCOMPARE(GetPixel(dst.dc, 1, 0), RGB(index, index, index));
        SelectObject(dst.dc, old);
    }
    DeleteObject(brush);

    // Pattern-only codes through PatBlt; codes that need a source refuse.
    Surface d(1, 1, RGB(0xAA, 0xAA, 0xAA));
    Selected b(d.dc, CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0)));
    QVERIFY(PatBlt(d.dc, 0, 0, 1, 1, PATINVERT));
    QCOMPARE(GetPixel(d.dc, 0, 0), RGB(0x5A, 0x5A, 0x5A));
    QVERIFY(!PatBlt(d.dc, 0, 0, 1, 1, SRCCOPY));
    QVERIFY(PatBlt(d.dc, 0, 0, 1, 1, WHITENESS));
    QCOMPARE(GetPixel(d.dc, 0, 0), RGB(255, 255, 255));
    QVERIFY(PatBlt(d.dc, 0, 0, 1, 1, BLACKNESS));
    QCOMPARE(GetPixel(d.dc, 0, 0), RGB(0, 0, 0));

    // The run loops (own loops for common codes) against the per-pixel truth
    // table, for every code, on random pixels.
    QRandomGenerator rng(99);
    std::vector<std::uint32_t> s(64), dst(64);
    for (int index = 0; index < 256; ++index) {
        for (size_t i = 0; i < s.size(); ++i) {
            s[i] = 0xFF000000u | (rng.generate() & 0xFFFFFF);
            dst[i] = 0xFF000000u | (rng.generate() & 0xFFFFFF);
        }
        const std::uint32_t p = 0xFF000000u | (rng.generate() & 0xFFFFFF);
        std::vector<std::uint32_t> run = dst;
        gdi::ropRow(std::uint8_t(index), p, s.data(), run.data(), int(run.size()));
        for (size_t i = 0; i < dst.size(); ++i)
            QCOMPARE(run[i], gdi::rop3(std::uint8_t(index), p, s[i], dst[i]));
    }
}

void tst_GdiRaster::monoAndColourConvertThroughTheDcColours()
{
    // Mono to colour: 0 bits take the destination's text colour, 1 bits its background.
    Surface mono(2, 1, RGB(0, 0, 0), 1);
    SetPixel(mono.dc, 1, 0, RGB(255, 255, 255));
    SetTextColor(mono.dc, RGB(9, 9, 9)); // the source DC's colours do not matter
    SetBkColor(mono.dc, RGB(7, 7, 7));
    Surface dst(2, 1, kPaper);
    SetTextColor(dst.dc, RGB(1, 2, 3));
    SetBkColor(dst.dc, RGB(200, 100, 50));
    QVERIFY(BitBlt(dst.dc, 0, 0, 2, 1, mono.dc, 0, 0, SRCCOPY));
    QCOMPARE(GetPixel(dst.dc, 0, 0), RGB(1, 2, 3));     // 0 bit: text colour
    QCOMPARE(GetPixel(dst.dc, 1, 0), RGB(200, 100, 50)); // 1 bit: background
    // The conversion happens before the ROP: SRCAND with a 1 bit keeps
    // destination & background.
    Surface dst2(1, 1, RGB(0xF0, 0x0F, 0xFF));
    SetBkColor(dst2.dc, RGB(0x3C, 0x3C, 0x3C));
    BitBlt(dst2.dc, 0, 0, 1, 1, mono.dc, 1, 0, SRCAND);
    QCOMPARE(GetPixel(dst2.dc, 0, 0), RGB(0x30, 0x0C, 0x3C));

    // Colour to mono: the source's background colour gives 1, anything else 0.
    Surface src(3, 1, RGB(10, 20, 30));
    SetPixel(src.dc, 1, 0, RGB(10, 20, 31)); // differs in one bit only
    SetPixel(src.dc, 2, 0, RGB(255, 255, 255));
    SetBkColor(src.dc, RGB(10, 20, 30));
    Surface monoDst(3, 1, RGB(0, 0, 0), 1);
    SetBkColor(monoDst.dc, RGB(255, 255, 255));
    QVERIFY(BitBlt(monoDst.dc, 0, 0, 3, 1, src.dc, 0, 0, SRCCOPY));
    QCOMPARE(GetPixel(monoDst.dc, 0, 0), RGB(255, 255, 255));
    QCOMPARE(GetPixel(monoDst.dc, 1, 0), RGB(0, 0, 0));
    QCOMPARE(GetPixel(monoDst.dc, 2, 0), RGB(0, 0, 0)); // white, but not the key colour
}

void tst_GdiRaster::stretch_data()
{
    // Source pixel (x, y) clears bit x of red and bit y of green, so each
    // destination channel shows which sources it took: picked, ANDed
    // (BLACKONWHITE, the default) or ORed (WHITEONBLACK).
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("channels");
    QTest::newRow("3->5") << 3 << 5 << BLACKONWHITE << QList<int>{0xFE, 0xFE, 0xFD, 0xFB, 0xFB};
    QTest::newRow("2->4") << 2 << 4 << BLACKONWHITE << QList<int>{0xFE, 0xFE, 0xFD, 0xFD};
    QTest::newRow("3->7") << 3 << 7 << COLORONCOLOR << QList<int>{0xFE, 0xFE, 0xFD, 0xFD, 0xFD, 0xFB, 0xFB};
    QTest::newRow("5->3 picks the first of each group") << 5 << 3 << COLORONCOLOR << QList<int>{0xFE, 0xFB, 0xF7};
    QTest::newRow("7->3 picks the first of each group") << 7 << 3 << COLORONCOLOR << QList<int>{0xFE, 0xFB, 0xDF};
    QTest::newRow("5->3 ANDs {0,1} {2} {3,4}") << 5 << 3 << BLACKONWHITE << QList<int>{0xFC, 0xFB, 0xE7};
    QTest::newRow("5->3 ORs") << 5 << 3 << WHITEONBLACK << QList<int>{0xFF, 0xFB, 0xFF};
}

void tst_GdiRaster::stretch()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, mode);
    QFETCH(QList<int>, channels);
    Surface src(from, from);
    for (int y = 0; y < from; ++y)
        for (int x = 0; x < from; ++x)
            SetPixel(src.dc, x, y, RGB(0xFF & ~(1 << x), 0xFF & ~(1 << y), 0));
    Surface dst(to, to);
    QCOMPARE(SetStretchBltMode(dst.dc, mode), BLACKONWHITE);
    QVERIFY(StretchBlt(dst.dc, 0, 0, to, to, src.dc, 0, 0, from, from, SRCCOPY));
    for (int y = 0; y < to; ++y)
        for (int x = 0; x < to; ++x)
            QCOMPARE(GetPixel(dst.dc, x, y), RGB(channels[x], channels[y], 0));
}

void tst_GdiRaster::blitSources()
{
    Surface src(3, 3, RGB(9, 8, 7));
    HRGN clip = CreateRectRgn(0, 0, 1, 1);
    SelectClipRgn(src.dc, clip);
    DeleteObject(clip);
    Surface dst(3, 3, kPaper);
    QVERIFY(BitBlt(dst.dc, 0, 0, 3, 3, src.dc, 0, 0, SRCCOPY));
    QCOMPARE(GetPixel(dst.dc, 2, 2), RGB(9, 8, 7));
    // Source pixels beyond the source bitmap leave the destination alone.
    QVERIFY(BitBlt(dst.dc, 0, 0, 3, 3, src.dc, 2, 2, NOTSRCCOPY));
    QCOMPARE(GetPixel(dst.dc, 0, 0), RGB(246, 247, 248));
    QCOMPARE(GetPixel(dst.dc, 1, 1), RGB(9, 8, 7));
    // Overlapping source and destination: the original pixels are read.
    for (int i = 0; i < 3; ++i)
        SetPixel(dst.dc, i, 0, RGB(i, 0, 0));
    QVERIFY(BitBlt(dst.dc, 1, 0, 2, 1, dst.dc, 0, 0, SRCCOPY));
    QCOMPARE(GetPixel(dst.dc, 1, 0), RGB(0, 0, 0));
    QCOMPARE(GetPixel(dst.dc, 2, 0), RGB(1, 0, 0));
}

void tst_GdiRaster::stretchMirrorsAndMaskBits()
{
    // A mask from bits: rows are WORD-aligned, the first pixel is the high
    // bit, 1 is white.
    const unsigned char bits[4] = {0xA0, 0x00, 0x40, 0x00}; // row 0: 1 0 1, row 1: 0 1 0
    HBITMAP mask = CreateBitmap(3, 2, 1, 1, bits);
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(dc, mask);
    const COLORREF w = RGB(255, 255, 255), b = RGB(0, 0, 0);
    const COLORREF expected[6] = {w, b, w, b, w, b};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(GetPixel(dc, i % 3, i / 3), expected[i]);
    SelectObject(dc, old);
    DeleteObject(mask);
    DeleteDC(dc);

    // A negative destination width mirrors: x + w + 1 .. x.
    Surface src(3, 1);
    for (int i = 0; i < 3; ++i)
        SetPixel(src.dc, i, 0, RGB(i, 0, 0));
    Surface dst(4, 1, kPaper);
    QVERIFY(StretchBlt(dst.dc, 3, 0, -3, 1, src.dc, 0, 0, 3, 1, SRCCOPY));
    QCOMPARE(GetPixel(dst.dc, 0, 0), kPaper);
    QCOMPARE(GetPixel(dst.dc, 1, 0), RGB(2, 0, 0));
    QCOMPARE(GetPixel(dst.dc, 3, 0), RGB(0, 0, 0));
    // So does a negative source width: x + w + 1 .. x of the source.
    QVERIFY(StretchBlt(dst.dc, 0, 0, 3, 1, src.dc, 2, 0, -3, 1, SRCCOPY));
    QCOMPARE(GetPixel(dst.dc, 0, 0), RGB(2, 0, 0));
    QCOMPARE(GetPixel(dst.dc, 2, 0), RGB(0, 0, 0));
}

void tst_GdiRaster::hugeShapesFailSafely()
{
    // Far-off coordinates and outlines too large to build are refused;
    // large but sane ones still draw what lies on the surface.
    Surface s(4, 4, kPaper);
    Selected thin(s.dc, CreatePen(PS_SOLID, 1, kPen));
    QVERIFY(Arc(s.dc, -60000, 0, 60000, 10, 0, 0, 0, 0));
    QCOMPARE(GetPixel(s.dc, 1, 0), kPen); // the long flat top of the ellipse
    QCOMPARE(GetPixel(s.dc, 1, 1), kPaper);
    Selected wide(s.dc, CreatePen(PS_SOLID, 40, kPen));
    QVERIFY(!Arc(s.dc, -60000, -60000, 60000, 60000, 0, 0, 0, 0));
    QVERIFY(!Rectangle(s.dc, 0, 0, 70000, 3));
    const POINT far[2] = {{0, 0}, {0, -900000}};
    QVERIFY(!Polyline(s.dc, far, 2));
    QCOMPARE(CreatePolygonRgn(far, 2, ALTERNATE), HRGN(0));
}

QTEST_MAIN(tst_GdiRaster)
#include "tst_gdiraster.moc"
