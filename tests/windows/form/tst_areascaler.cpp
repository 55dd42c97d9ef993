// The area-averaging scaler against an exact reference (the mean of the
// covered area in floating point) and the vector path against the plain one.

#include <forms/AreaScaler.h>

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using forms::ScalePath;

namespace {

QImage randomImage(QSize size, QImage::Format format, quint32 seed)
{
    QImage image(size, format);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const QRgb c = random.generate();
            if (format == QImage::Format_ARGB32_Premultiplied) {
                const int a = qAlpha(c);
                line[x] = qRgba(qRed(c) * a / 255, qGreen(c) * a / 255, qBlue(c) * a / 255, a);
            } else {
                line[x] = c | 0xFF000000u;
            }
        }
    }
    return image;
}

// The exact box filter: each target channel is the covered area's mean.
double referenceChannel(const QImage &src, QSize size, int tx, int ty, int shift)
{
    const double sx = double(src.width()) / size.width();
    const double sy = double(src.height()) / size.height();
    const double x0 = tx * sx, x1 = (tx + 1) * sx, y0 = ty * sy, y1 = (ty + 1) * sy;
    double sum = 0;
    for (int y = int(y0); y < int(std::ceil(y1)) && y < src.height(); ++y) {
        const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
        for (int x = int(x0); x < int(std::ceil(x1)) && x < src.width(); ++x) {
            const double wx = std::min(x1, x + 1.0) - std::max(x0, double(x));
            sum += wx * wy * ((src.pixel(x, y) >> shift) & 0xFF);
        }
    }
    return sum / (sx * sy);
}

} // namespace

class tst_areascaler : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void transparentEdges();
    void growingGoesToQt();
};

// Odd sizes, 1-pixel targets, one axis kept: within one level of the exact
// mean (exactly its rounding where every weight is a whole half), the vector
// path equal to the plain one bit for bit, and a uniform picture left exactly
// uniform (each target's weights sum to one).
void tst_areascaler::sizes_data()
{
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<QRgb>("uniform"); // premultiplied
    QTest::newRow("odd both ways") << QSize(37, 23) << QSize(11, 9) << qRgba(60, 30, 10, 128);
    QTest::newRow("just smaller") << QSize(31, 17) << QSize(30, 16) << qRgba(1, 2, 3, 4);
    QTest::newRow("one pixel") << QSize(29, 13) << QSize(1, 1) << qRgba(255, 255, 255, 255);
    QTest::newRow("one column") << QSize(9, 21) << QSize(1, 5) << qRgba(60, 30, 10, 128);
    QTest::newRow("one row") << QSize(21, 9) << QSize(6, 1) << qRgba(201, 7, 99, 255);
    QTest::newRow("width kept") << QSize(19, 40) << QSize(19, 7) << qRgba(1, 2, 3, 4);
    QTest::newRow("height kept") << QSize(40, 19) << QSize(7, 19) << qRgba(201, 7, 99, 255);
    QTest::newRow("same size") << QSize(6, 5) << QSize(6, 5) << qRgba(60, 30, 10, 128);
    QTest::newRow("many sources per target") << QSize(61, 50) << QSize(5, 4) << qRgba(255, 255, 255, 255);
    QTest::newRow("wide rows, vector tail") << QSize(1003, 5) << QSize(501, 2) << qRgba(201, 7, 99, 255);
    QTest::newRow("half: 2 x 2 means") << QSize(42, 18) << QSize(21, 9) << qRgba(60, 30, 10, 128);
    QTest::newRow("banner-like") << QSize(274, 51) << QSize(233, 35) << qRgba(201, 7, 99, 255);
    QTest::newRow("third") << QSize(280, 120) << QSize(96, 41) << qRgba(60, 30, 10, 128);
    QTest::newRow("prime to prime") << QSize(97, 89) << QSize(13, 7) << qRgba(255, 255, 255, 255);
    QTest::newRow("one row kept") << QSize(45, 3) << QSize(17, 3) << qRgba(1, 2, 3, 4);
}

void tst_areascaler::sizes()
{
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(QRgb, uniform);
    const bool halves = from == to * 2;
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        const QImage src = randomImage(from, format, 11);
        const QImage fast = forms::areaScaled(src, to, ScalePath::Fast);
        const QImage generic = forms::areaScaled(src, to, ScalePath::Generic);
        QCOMPARE(fast.size(), to);
        QCOMPARE(fast.format(), format);
        QVERIFY(fast == generic);
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                for (int shift = 0; shift < 32; shift += 8) {
                    const double want = referenceChannel(src, to, x, y, shift);
                    const int got = int((fast.pixel(x, y) >> shift) & 0xFF);
                    if (halves ? got != int(std::floor(want + 0.5)) : std::abs(got - want) > 1.0)
                        QFAIL(qPrintable(QStringLiteral("(%1, %2) channel at bit %3: %4, exact mean %5")
                                             .arg(x).arg(y).arg(shift).arg(got).arg(want)));
                }

        QImage flat(from, format);
        flat.fill(format == QImage::Format_RGB32 ? uniform | 0xFF000000u : uniform);
        for (ScalePath path : {ScalePath::Fast, ScalePath::Generic})
            QVERIFY(forms::areaScaled(flat, to, path) == flat.copy(QRect(QPoint(), to)));
    }
}

// A premultiplied picture, opaque on the left, transparent on the right:
// targets inside the clear part stay exactly 0, the edge column is a valid
// premultiplied blend (no colour above its alpha), the opaque part keeps its
// colour.
void tst_areascaler::transparentEdges()
{
    QImage src(30, 12, QImage::Format_ARGB32_Premultiplied);
    src.fill(0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x)
            src.setPixel(x, y, qRgba(200, 100, 50, 255));
    const QImage out = forms::areaScaled(src, QSize(10, 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            QCOMPARE(out.pixel(x, y), qRgba(200, 100, 50, 255));
        // Column 4 covers source 12..15: two opaque pixels of three.
        const QRgb edge = out.pixel(4, y);
        QCOMPARE(qAlpha(edge), 170);
        QVERIFY(qRed(edge) <= qAlpha(edge) && qGreen(edge) <= qAlpha(edge) && qBlue(edge) <= qAlpha(edge));
        QCOMPARE(qRed(edge), 133);
        for (int x = 5; x < 10; ++x)
            QCOMPARE(out.pixel(x, y), 0u);
    }
}

void tst_areascaler::growingGoesToQt()
{
    const QImage src = randomImage(QSize(5, 7), QImage::Format_RGB32, 5);
    QCOMPARE(forms::smoothlyScaled(src, QSize(5, 7)).cacheKey(), src.cacheKey());
    const QImage up = forms::smoothlyScaled(src, QSize(10, 3));
    QVERIFY(up == src.scaled(QSize(10, 3), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QVERIFY(forms::smoothlyScaled(src, QSize(0, 3)).isNull());
}

QTEST_MAIN(tst_areascaler)
#include "tst_areascaler.moc"
