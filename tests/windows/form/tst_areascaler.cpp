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
    void uniformStaysUniform_data();
    void uniformStaysUniform();
    void sizes_data();
    void sizes();
    void halfIsTwoByTwoMean();
    void transparentEdges();
    void growingGoesToQt();
};

void tst_areascaler::uniformStaysUniform_data()
{
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("format");
    QTest::newRow("banner-like, opaque") << QSize(274, 51) << QSize(233, 35) << qRgb(201, 7, 99) << int(QImage::Format_RGB32);
    QTest::newRow("third, premultiplied") << QSize(280, 120) << QSize(96, 41) << qRgba(60, 30, 10, 128)
                                          << int(QImage::Format_ARGB32_Premultiplied);
    QTest::newRow("prime to prime") << QSize(97, 89) << QSize(13, 7) << qRgba(255, 255, 255, 255) << int(QImage::Format_RGB32);
    QTest::newRow("one row kept") << QSize(45, 3) << QSize(17, 3) << qRgba(1, 2, 3, 4) << int(QImage::Format_ARGB32_Premultiplied);
}

void tst_areascaler::uniformStaysUniform()
{
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(QRgb, colour);
    QFETCH(int, format);
    QImage image(from, QImage::Format(format));
    image.fill(colour);
    for (ScalePath path : {ScalePath::Fast, ScalePath::Generic}) {
        const QImage out = forms::areaScaled(image, to, path);
        QCOMPARE(out.size(), to);
        QCOMPARE(out.format(), QImage::Format(format));
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                QCOMPARE(out.pixel(x, y), image.pixel(0, 0));
    }
}

// Odd sizes, 1-pixel targets, one axis kept: within one level of the exact
// mean, and the vector path equal to the plain one bit for bit.
void tst_areascaler::sizes_data()
{
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::newRow("odd both ways") << QSize(37, 23) << QSize(11, 9);
    QTest::newRow("just smaller") << QSize(31, 17) << QSize(30, 16);
    QTest::newRow("one pixel") << QSize(29, 13) << QSize(1, 1);
    QTest::newRow("one column") << QSize(9, 21) << QSize(1, 5);
    QTest::newRow("one row") << QSize(21, 9) << QSize(6, 1);
    QTest::newRow("width kept") << QSize(19, 40) << QSize(19, 7);
    QTest::newRow("height kept") << QSize(40, 19) << QSize(7, 19);
    QTest::newRow("same size") << QSize(6, 5) << QSize(6, 5);
    QTest::newRow("many sources per target") << QSize(61, 50) << QSize(5, 4);
    QTest::newRow("wide rows, vector tail") << QSize(1003, 5) << QSize(501, 2);
}

void tst_areascaler::sizes()
{
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        const QImage src = randomImage(from, format, 11);
        const QImage fast = forms::areaScaled(src, to, ScalePath::Fast);
        const QImage generic = forms::areaScaled(src, to, ScalePath::Generic);
        QCOMPARE(fast.size(), to);
        QVERIFY(fast == generic);
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                for (int shift = 0; shift < 32; shift += 8) {
                    const double want = referenceChannel(src, to, x, y, shift);
                    const int got = int((fast.pixel(x, y) >> shift) & 0xFF);
                    if (std::abs(got - want) > 1.0)
                        QFAIL(qPrintable(QStringLiteral("(%1, %2) channel at bit %3: %4, exact mean %5")
                                             .arg(x).arg(y).arg(shift).arg(got).arg(want)));
                }
    }
}

void tst_areascaler::halfIsTwoByTwoMean()
{
    const QImage src = randomImage(QSize(42, 18), QImage::Format_ARGB32_Premultiplied, 3);
    const QImage out = forms::areaScaled(src, QSize(21, 9));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 21; ++x)
            for (int shift = 0; shift < 32; shift += 8) {
                int sum = 0;
                for (int k = 0; k < 4; ++k)
                    sum += int((src.pixel(2 * x + k % 2, 2 * y + k / 2) >> shift) & 0xFF);
                QCOMPARE(int((out.pixel(x, y) >> shift) & 0xFF), (sum + 2) / 4);
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
