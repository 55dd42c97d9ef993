// Pictures: the .ico and .bmp readers, GetObjectA, GetIconInfo, CopyImage,
// DrawIconEx.

#include <Mutator.h>
#include <Pictures.h>
#include "surface.h"

#include <gdi/testsupport/GdiHooks.h>

#include <QRandomGenerator>
#include <QTest>

using pictures::Image;

namespace {

constexpr COLORREF kPaper = RGB(10, 200, 30);

COLORREF toRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// A width-3 image: rows need padding at every depth.
Image sample(int bitCount) { return pictures::sample(bitCount, 3, 2); }

std::uint32_t expectedColour(const Image &img, int i)
{
    return img.bitCount <= 8 ? img.palette[int(img.pixels[i])] : img.pixels[i] & 0xFFFFFF;
}

} // namespace

class tst_GdiIcon : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_baseline = gdi::liveObjectsTotal(); }
    void cleanup() { QCOMPARE(gdi::liveObjectsTotal(), m_baseline); }

    void dibEntries_data();
    void dibEntries();
    void alphaEntriesBlend();
    void nearestImageAndScaling();
    void iconInfo();
    void bitmapFiles_data();
    void bitmapFiles();
    void malformedFiles_data();
    void malformedFiles();
    void mutatedFilesNeverCrash();

private:
    int m_baseline = 0;
};

void tst_GdiIcon::dibEntries_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<int>("width");
    for (int bpp : {1, 4, 8, 24, 32})
        for (int width : {3, 16, 21}) // padded rows at every depth, whole mask bytes, a few bits over
            QTest::newRow(qPrintable(QStringLiteral("%1 bpp, %2 wide").arg(bpp).arg(width))) << bpp << width;
}

void tst_GdiIcon::dibEntries()
{
    // dst = (dst & mask) ^ image: opaque pixels show their colour, masked
    // ones XOR their colour into the paper. Seeded colours and mask bits,
    // checked through DrawIconEx and the mask of GetIconInfo: row order,
    // padding, the palette and the mask.
    QFETCH(int, bitCount);
    QFETCH(int, width);
    QRandomGenerator rng(quint32(bitCount * 100 + width));
    Image img;
    img.width = width;
    img.height = 3;
    img.bitCount = bitCount;
    if (bitCount <= 8)
        for (int i = 0; i < (1 << bitCount); ++i)
            img.palette.append(rng.generate() & 0xFFFFFF);
    if (bitCount == 1)
        img.palette = {0x3050F0, 0xE0E0E0}; // a colour icon, not a monochrome one
    for (int i = 0; i < width * img.height; ++i) {
        img.pixels.append(bitCount <= 8 ? rng.bounded(1u << bitCount) : (rng.generate() & 0xFFFFFF));
        img.transparent.append(rng.bounded(2) == 1);
    }
    QString error;
    HICON icon = gdi::loadIcon(pictures::ico({img}), &error);
    QVERIFY2(icon, qPrintable(error));
    int w = 0, h = 0;
    QVERIFY(gdi::iconSize(icon, &w, &h));
    QCOMPARE(QSize(w, h), QSize(width, img.height));
    Surface s(width + 2, img.height + 2, kPaper);
    QVERIFY(DrawIconEx(s.dc, 1, 1, icon, 0, 0, 0, 0, DI_NORMAL));
    ICONINFO info{};
    QVERIFY(GetIconInfo(icon, &info));
    HDC maskDc = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(maskDc, info.hbmMask);
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const int i = (y - 1) * width + (x - 1);
            if (x < 1 || x > width || y < 1 || y > img.height) {
                QCOMPARE(GetPixel(s.dc, x, y), kPaper);
                continue;
            }
            const COLORREF colour = toRef(expectedColour(img, i));
            QCOMPARE(GetPixel(s.dc, x, y), img.transparent[i] ? kPaper ^ colour : colour);
            QCOMPARE(GetPixel(maskDc, x - 1, y - 1), img.transparent[i] ? RGB(255, 255, 255) : RGB(0, 0, 0));
        }
    SelectObject(maskDc, old);
    DeleteDC(maskDc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // GetObjectA does not describe icons.
    BITMAP bm{};
    QCOMPARE(GetObjectA(icon, int(sizeof(bm)), &bm), 0);
    QVERIFY(DestroyIcon(icon));
    QVERIFY(!DestroyIcon(icon));
}

void tst_GdiIcon::alphaEntriesBlend()
{
    // A 32-bit image with alpha is blended, its mask ignored (with alpha all
    // zero, mask and XOR apply: the 32 bpp rows of dibEntries); so is a PNG.
    Image dib = pictures::drawn(2, 1, [](int x, int) { return x ? 0x800000FFu : 0xFFFF0000u; });
    dib.transparent = {true, true};
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(1, 0, qRgba(0, 0, 255, 128));
    const Image png{2, 1, 32, {}, {}, {}, pictures::pngOf(image)};
    for (const Image &entry : {dib, png}) {
        QString error;
        HICON icon = gdi::loadIcon(pictures::ico({entry}), &error);
        QVERIFY2(icon, qPrintable(error));
        Surface s(2, 1, RGB(255, 255, 255));
        DrawIconEx(s.dc, 0, 0, icon, 0, 0, 0, 0, DI_NORMAL);
        QCOMPARE(GetPixel(s.dc, 0, 0), RGB(255, 0, 0));
        const COLORREF half = GetPixel(s.dc, 1, 0);
        QVERIFY2(qAbs(GetRValue(half) - 127) <= 1 && GetBValue(half) == 255, qPrintable(QString::number(half, 16)));
        DestroyIcon(icon);
    }
}

void tst_GdiIcon::nearestImageAndScaling()
{
    // One file, four sizes, each a solid colour: which image a call used
    // shows in the drawn colour. The larger of two equally near sizes comes
    // first, so a tie cannot go to it by order alone. A directory size byte
    // of 0 stands for 256.
    auto solid = [](int size, std::uint32_t colour) {
        Image img;
        img.width = img.height = size;
        img.bitCount = 24;
        img.pixels = QList<std::uint32_t>(size * size, colour);
        return img;
    };
    const QByteArray file =
        pictures::ico({solid(48, 0xFF0000), solid(32, 0x00FF00), solid(16, 0x0000FF), solid(256, 0xFFFFFF)});
    QCOMPARE(file[6 + 3 * 16], '\0');
    HICON icon = gdi::loadIcon(file, nullptr);
    int w = 0;
    gdi::iconSize(icon, &w, nullptr);
    QCOMPARE(w, 32); // natural size: nearest to 32

    const COLORREF blue = RGB(0, 0, 255), green = RGB(0, 255, 0), red = RGB(255, 0, 0), white = RGB(255, 255, 255);
    const std::pair<int, COLORREF> sizes[] = {{16, blue}, {20, blue}, {36, green}, {40, red} /* a tie: the larger */,
                                              {44, red}, {64, red}, {256, white}};
    for (const auto &[size, colour] : sizes) {
        HICON copy = HICON(CopyImage(icon, IMAGE_ICON, size, size, 0));
        QVERIFY(copy);
        int cw = 0, ch = 0;
        gdi::iconSize(copy, &cw, &ch);
        QCOMPARE(QSize(cw, ch), QSize(size, size));
        Surface s(size + 1, size + 1, RGB(1, 1, 1));
        DrawIconEx(s.dc, 0, 0, copy, 0, 0, 0, 0, DI_NORMAL);
        QCOMPARE(GetPixel(s.dc, 0, 0), colour);
        QCOMPARE(GetPixel(s.dc, size - 1, size - 1), colour);
        QCOMPARE(GetPixel(s.dc, size, size), RGB(1, 1, 1));
        QVERIFY(DestroyIcon(copy));
    }
    // A 0 keeps that dimension.
    HICON same = HICON(CopyImage(icon, IMAGE_ICON, 0, 8, 0));
    int sw = 0, sh = 0;
    gdi::iconSize(same, &sw, &sh);
    QCOMPARE(QSize(sw, sh), QSize(32, 8));
    DestroyIcon(same);
    QCOMPARE(CopyImage(icon, IMAGE_BITMAP, 4, 4, 0), HGDIOBJ(0)); // wrong kind
    DestroyIcon(icon);
}

void tst_GdiIcon::iconInfo()
{
    Image img = sample(24);
    HICON icon = gdi::loadIcon(pictures::ico({img}), nullptr);
    ICONINFO info{};
    QVERIFY(GetIconInfo(icon, &info));
    QVERIFY(info.hbmColor);
    BITMAP bm{};
    GetObjectA(info.hbmColor, int(sizeof(bm)), &bm);
    QCOMPARE(bm.bmWidth, 3);
    QCOMPARE(bm.bmHeight, 2);
    QVERIFY(!bm.bmBits); // not a picture with addressable bits
    GetObjectA(info.hbmMask, int(sizeof(bm)), &bm);
    QCOMPARE(bm.bmBitsPixel, WORD(1));
    QCOMPARE(bm.bmHeight, 2);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);

    // A black-and-white icon has no colour bitmap and a double-height mask.
    Image bw = sample(1);
    bw.palette = {0x000000, 0xFFFFFF};
    HICON mono = gdi::loadIcon(pictures::ico({bw}), nullptr);
    QVERIFY(GetIconInfo(mono, &info));
    QCOMPARE(info.hbmColor, HBITMAP(0));
    GetObjectA(info.hbmMask, int(sizeof(bm)), &bm);
    QCOMPARE(bm.bmHeight, 4);
    DeleteObject(info.hbmMask);
    DestroyIcon(mono);
    QVERIFY(!GetIconInfo(mono, &info));
}

void tst_GdiIcon::bitmapFiles_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<bool>("topDown");
    QTest::newRow("24 bpp bottom-up") << 24 << false;
    QTest::newRow("24 bpp top-down") << 24 << true;
    QTest::newRow("8 bpp palette") << 8 << false;
    QTest::newRow("4 bpp palette") << 4 << false;
}

void tst_GdiIcon::bitmapFiles()
{
    QFETCH(int, bitCount);
    QFETCH(bool, topDown);
    const Image img = sample(bitCount);
    QString error;
    HBITMAP bm = gdi::loadBitmap(pictures::bmp(img, topDown), &error);
    QVERIFY2(bm, qPrintable(error));
    BITMAP info{};
    QCOMPARE(GetObjectA(bm, int(sizeof(info)), &info), int(sizeof(info)));
    QCOMPARE(info.bmWidth, 3);
    QCOMPARE(info.bmHeight, 2);
    QVERIFY(info.bmBits); // a picture: addressable bits
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ old = SelectObject(dc, bm);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(GetPixel(dc, i % 3, i / 3), toRef(expectedColour(img, i)));
    SelectObject(dc, old);
    // Its resized copy is a plain bitmap.
    HBITMAP copy = HBITMAP(CopyImage(bm, IMAGE_BITMAP, 6, 4, 0));
    GetObjectA(copy, int(sizeof(info)), &info);
    QCOMPARE(info.bmWidth, 6);
    QVERIFY(!info.bmBits);
    old = SelectObject(dc, copy);
    QCOMPARE(GetPixel(dc, 5, 3), toRef(expectedColour(img, 5)));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(copy);
    DeleteObject(bm);
}

void tst_GdiIcon::malformedFiles_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("isIcon");
    QTest::addColumn<QString>("offset");
    const QByteArray good = pictures::ico({sample(8)});
    QByteArray badType = good;
    badType[2] = 2;
    QByteArray entryOutside = good;
    entryOutside[6 + 12] = char(0xF0); // image offset far past the end
    QByteArray badDepth = good;
    badDepth[22 + 14] = 7;
    QByteArray hugeSize = good;
    hugeSize[22 + 7] = 0x40; // width 0x40000000
    QTest::newRow("empty") << QByteArray() << true << "offset 0";
    QTest::newRow("directory cut") << good.left(12) << true << "offset 6";
    QTest::newRow("cursor, not icon") << badType << true << "offset 2";
    QTest::newRow("image outside file") << entryOutside << true << "offset 14";
    QTest::newRow("pixels cut short") << good.left(good.size() - 20) << true << "";
    QTest::newRow("bit depth 7") << badDepth << true << "offset 36";
    QTest::newRow("absurd width") << hugeSize << true << "offset 26";
    QTest::newRow("not a bmp") << QByteArray("XM123456789012345") << false << "offset 0";
    const QByteArray bmp = pictures::bmp(sample(24));
    QTest::newRow("bmp pixels cut") << bmp.left(bmp.size() - 3) << false << "";
}

void tst_GdiIcon::malformedFiles()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, isIcon);
    QFETCH(QString, offset);
    QString error;
    const HGDIOBJ h = isIcon ? gdi::loadIcon(data, &error) : gdi::loadBitmap(data, &error);
    QCOMPARE(h, HGDIOBJ(0));
    QVERIFY(error.contains(QStringLiteral("offset")));
    if (!offset.isEmpty())
        QVERIFY2(error.contains(offset), qPrintable(error));
}

void tst_GdiIcon::mutatedFilesNeverCrash()
{
    // A short seeded mutation run (the long one is the libFuzzer target):
    // whatever the bytes, loading fails cleanly or yields a drawable icon.
    QList<QByteArray> seeds;
    for (int bpp : {1, 4, 8, 24, 32})
        seeds.append(pictures::ico({sample(bpp)}));
    Surface s(8, 8);
    mutator::run(seeds, 4242, 4000, [&](const QByteArray &data) {
        QString error;
        HICON icon = gdi::loadIcon(data, &error);
        if (!icon) {
            QVERIFY(!error.isEmpty());
            return;
        }
        QVERIFY(DrawIconEx(s.dc, 0, 0, icon, 0, 0, 0, 0, DI_NORMAL));
        HICON copy = HICON(CopyImage(icon, IMAGE_ICON, 5, 7, 0));
        QVERIFY(copy);
        DestroyIcon(copy);
        DestroyIcon(icon);
    });
}

QTEST_MAIN(tst_GdiIcon)
#include "tst_gdiicon.moc"
