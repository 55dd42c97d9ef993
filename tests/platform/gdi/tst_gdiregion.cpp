// Regions: construction, algebra and the QRegion view.

#include <gdi/bridge.h>
#include <gdi/gdi.h>

#include <QRandomGenerator>
#include <QTest>

namespace {

QStringList regionPicture(HRGN r, int w, int h)
{
    QStringList rows;
    for (int y = 0; y < h; ++y) {
        QString row;
        for (int x = 0; x < w; ++x)
            row += PtInRegion(r, x, y) ? u'#' : u'.';
        rows << row;
    }
    return rows;
}

int pixelCount(HRGN r, int w, int h)
{
    int n = 0;
    for (int y = -2; y < h; ++y)
        for (int x = -2; x < w; ++x)
            n += PtInRegion(r, x, y);
    return n;
}

// Winding number of the integer point (x,y): an edge counts on rows
// ymin <= y < ymax when it crosses the row strictly right of x, so a point
// on a left edge is inside and one on a right edge outside.
int windingAt(const QList<POINT> &poly, int x, int y)
{
    int wn = 0;
    for (qsizetype i = 0; i < poly.size(); ++i) {
        const POINT a = poly[i], b = poly[(i + 1) % poly.size()];
        if (a.y == b.y)
            continue;
        const bool up = b.y > a.y;
        const POINT lo = up ? a : b, hi = up ? b : a;
        if (y < lo.y || y >= hi.y)
            continue;
        // x < crossing  <=>  (x - lo.x) * (hi.y - lo.y) < (y - lo.y) * (hi.x - lo.x)
        const qint64 lhs = qint64(x - lo.x) * (hi.y - lo.y), rhs = qint64(y - lo.y) * (hi.x - lo.x);
        if (lhs < rhs)
            wn += up ? 1 : -1;
    }
    return wn;
}

// The region of the pixels in 0..w-1 x 0..h-1 where `in` holds, built one
// pixel at a time: the same pixels reached another way, for EqualRgn, which
// compares the stored bands and spans exactly.
template<typename In>
HRGN regionOfPixels(int w, int h, In in)
{
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (in(x, y)) {
                HRGN dot = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(r, r, dot, RGN_OR);
                DeleteObject(dot);
            }
    return r;
}

} // namespace

class tst_GdiRegion : public QObject
{
    Q_OBJECT

private slots:
    void rectangleAndPolygonRegions();
    void ellipticRegions_data();
    void ellipticRegions();
    void randomPolygonsAgainstWindingOracle();
    void combineAgainstPixelOracle();
    void combineResultKinds();
};

void tst_GdiRegion::rectangleAndPolygonRegions()
{
    HRGN r = CreateRectRgn(2, 1, 5, 3);
    QCOMPARE(regionPicture(r, 6, 4), (QStringList{"......", "..###.", "..###.", "......"}));
    HRGN inverted = CreateRectRgn(5, 3, 2, 1);
    QVERIFY(EqualRgn(r, inverted));
    RECT box;
    QCOMPARE(GetRgnBox(r, &box), SIMPLEREGION);
    QCOMPARE(box.left, 2);
    QCOMPARE(box.bottom, 3);
    HRGN empty = CreateRectRgn(3, 1, 3, 9);
    QCOMPARE(GetRgnBox(empty, &box), NULLREGION);
    for (HRGN h : {r, inverted, empty})
        QVERIFY(DeleteObject(h));

    // The triangle covers columns 0..9-y on row y: 55 pixels.
    const POINT tri[3] = {{0, 0}, {10, 0}, {0, 10}};
    HRGN t = CreatePolygonRgn(tri, 3, WINDING);
    QCOMPARE(pixelCount(t, 12, 12), 55);
    for (int y = 0; y < 10; ++y) {
        QVERIFY(PtInRegion(t, 9 - y, y));
        QVERIFY(!PtInRegion(t, 10 - y, y));
    }
    DeleteObject(t);

    QCOMPARE(CreatePolygonRgn(tri, 3, 7), HRGN(0));
    QCOMPARE(CreatePolygonRgn(nullptr, 3, ALTERNATE), HRGN(0));
}

void tst_GdiRegion::ellipticRegions_data()
{
    QTest::addColumn<QList<int>>("box");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("8x8 one pixel smaller than the ellipse")
        << QList<int>{0, 0, 8, 8}
        << QStringList{"..###...", ".#####..", "#######.", "#######.", "#######.", ".#####..", "..###...",
                       "........"};
    QTest::newRow("5x5") << QList<int>{0, 0, 5, 5}
                         << QStringList{".##.....", "####....", "####....", ".##.....", "........", "........",
                                        "........", "........"};
    QTest::newRow("2 wide degenerates to a rectangle")
        << QList<int>{1, 1, 3, 6}
        << QStringList{"........", ".#......", ".#......", ".#......", ".#......", "........", "........",
                       "........"};
}

void tst_GdiRegion::ellipticRegions()
{
    QFETCH(QList<int>, box);
    QFETCH(QStringList, expected);
    HRGN r = CreateEllipticRgn(box[0], box[1], box[2], box[3]);
    QCOMPARE(regionPicture(r, 8, 8), expected);
    DeleteObject(r);
}

void tst_GdiRegion::randomPolygonsAgainstWindingOracle()
{
    // The first two rounds take a five-pointed star, whose centre pentagon
    // is covered twice: inside in WINDING only.
    const QList<POINT> star = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    QRandomGenerator rng(20261206);
    for (int round = 0; round < 200; ++round) {
        QList<POINT> poly = round < 2 ? star : QList<POINT>();
        const int n = round < 2 ? 5 : 3 + int(rng.bounded(6));
        for (int i = int(poly.size()); i < n; ++i)
            poly.append({int(rng.bounded(-3, 18)), int(rng.bounded(-3, 18))});
        const int mode = round % 2 ? WINDING : ALTERNATE;
        HRGN r = CreatePolygonRgn(poly.constData(), n, mode);
        QVERIFY(r);
        for (int y = -4; y < 22; ++y)
            for (int x = -4; x < 22; ++x) {
                const int wn = windingAt(poly, x, y);
                const bool expected = mode == WINDING ? wn != 0 : (wn & 1) != 0;
                if (bool(PtInRegion(r, x, y)) != expected)
                    QFAIL(qPrintable(QStringLiteral("round %1: pixel %2,%3").arg(round).arg(x).arg(y)));
            }
        // Stored as the same bands and spans as those pixels built one by one
        // (every vertex lies in -3..20, so nothing lies outside -3..20).
        HRGN same = regionOfPixels(24, 24, [&](int x, int y) {
            const int wn = windingAt(poly, x - 3, y - 3);
            return mode == WINDING ? wn != 0 : (wn & 1) != 0;
        });
        OffsetRgn(same, -3, -3);
        QVERIFY2(EqualRgn(r, same), qPrintable(QStringLiteral("round %1").arg(round)));
        DeleteObject(same);
        DeleteObject(r);
    }
}

void tst_GdiRegion::combineAgainstPixelOracle()
{
    QRandomGenerator rng(77);
    const int modes[] = {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY};
    for (int round = 0; round < 150; ++round) {
        HRGN a = CreateRectRgn(0, 0, 0, 0), b = CreateRectRgn(0, 0, 0, 0);
        for (HRGN target : {a, b})
            for (int k = 0; k < 3; ++k) {
                HRGN piece = k == 2 ? CreateEllipticRgn(int(rng.bounded(16)), int(rng.bounded(16)),
                                                        int(rng.bounded(16)), int(rng.bounded(16)))
                                    : CreateRectRgn(int(rng.bounded(16)), int(rng.bounded(16)),
                                                    int(rng.bounded(16)), int(rng.bounded(16)));
                CombineRgn(target, target, piece, RGN_OR);
                DeleteObject(piece);
            }
        const int mode = modes[round % 5];
        // The destination may be either source.
        HRGN dst = round % 3 == 0 ? a : round % 3 == 1 ? b : CreateRectRgn(0, 0, 0, 0);
        // Sampled a little beyond the pieces' boxes (0..15), so every pixel
        // of them is seen.
        constexpr int kLo = -2, kSize = 20;
        bool inA[kSize][kSize], inB[kSize][kSize];
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                inA[y][x] = PtInRegion(a, x + kLo, y + kLo);
                inB[y][x] = PtInRegion(b, x + kLo, y + kLo);
            }
        QVERIFY(CombineRgn(dst, a, b, mode) != ERROR);
        auto expectedAt = [&](int x, int y) {
            const bool pa = inA[y][x], pb = inB[y][x];
            return mode == RGN_AND ? pa && pb
                 : mode == RGN_OR  ? pa || pb
                 : mode == RGN_XOR ? pa != pb
                 : mode == RGN_DIFF ? pa && !pb
                                    : pa;
        };
        const QRegion view = gdi::toQRegion(dst);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                QCOMPARE(bool(PtInRegion(dst, x + kLo, y + kLo)), expectedAt(x, y));
                // The QRegion view carries the same pixels.
                QCOMPARE(view.contains(QPoint(x + kLo, y + kLo)), expectedAt(x, y));
            }
        // Stored exactly as the same pixels built one by one.
        HRGN same = regionOfPixels(kSize, kSize, expectedAt);
        OffsetRgn(same, kLo, kLo);
        QVERIFY2(EqualRgn(dst, same), qPrintable(QStringLiteral("round %1").arg(round)));
        DeleteObject(same);
        if (dst != a && dst != b)
            DeleteObject(dst);
        DeleteObject(a);
        DeleteObject(b);
    }
}

void tst_GdiRegion::combineResultKinds()
{
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(2, 2, 4, 4), d = CreateRectRgn(0, 0, 0, 0);
    QCOMPARE(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    QVERIFY(!PtInRegion(d, 3, 3));
    QVERIFY(PtInRegion(d, 4, 3));
    QCOMPARE(CombineRgn(d, b, a, RGN_DIFF), NULLREGION);
    QCOMPARE(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    QCOMPARE(CombineRgn(d, a, b, 99), ERROR);
    HRGN stale = CreateRectRgn(0, 0, 1, 1);
    DeleteObject(stale);
    QCOMPARE(CombineRgn(d, a, stale, RGN_OR), ERROR);
    QCOMPARE(CombineRgn(stale, a, b, RGN_OR), ERROR);
    for (HRGN h : {a, b, d})
        DeleteObject(h);
}

QTEST_MAIN(tst_GdiRegion)
#include "tst_gdiregion.moc"
