// Window regions of the seven shapes and the caption/image layout.

#include "PaintProbe.h"

#include <host/stdpicture.h>

#include <QApplication>
#include <QTest>

using namespace paintprobe;

namespace {

using Points = QList<QPoint>;

// Text extent of a caption in the button's caption font (the font selected
// in the memory DC), as the layout measures it.
QSize measure(kxButtons_H &b, const char *text, int width)
{
    KxButtonsProbe p(b);
    RECT r{0, 0, width, 1000};
    DrawTextA(p.memDC(), text, -1, &r, DT_CALCRECT | DT_WORDBREAK);
    return QSize(r.right, r.bottom);
}

void givePicture(TestButton &t, int imageSize, int align)
{
    KxButtonsProbe p = t.probe();
    p.picture() = host::LoadPicture(makeBmp(20, 20, [](int, int) { return qRgb(64, 64, 64); }));
    p.refresh("Picture");
    p.imageSize() = std::int16_t(imageSize);
    p.pictureAlign() = align;
}

} // namespace

class tst_ButtonGeometry : public QObject
{
    Q_OBJECT

private slots:
    void outline_data();
    void outline();
    void ellipticClip_data();
    void ellipticClip();
    void narrowSlantedButtonWidens_data();
    void narrowSlantedButtonWidens();
    void span_data();
    void span();
    void captionPlacement_data();
    void captionPlacement();
    void lineBreakAndWrap();
    void imageBesideCentredCaption();
    void largeImageReservesNoRoom();
    void imageAboveWithoutCaption();
    void clampedToFace();
    void threeDimensionalCaptionIsLarger();
};

void tst_ButtonGeometry::outline_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<Points>("inside");
    QTest::addColumn<Points>("outside");
    QTest::addColumn<int>("faceLeft");
    QTest::addColumn<int>("faceRight");

    // Bevels: 2 pixels along each edge at the top corners, the bottom
    // triangles reach 3 pixels down to row SH, one below the client area.
    QTest::newRow("rectangle bevels")
        << 0 << 60 << 40
        << Points{{2, 0}, {0, 2}, {1, 1}, {0, 37}, {1, 38}, {2, 39}, {57, 0}, {59, 2}, {58, 1},
                  {59, 37}, {58, 38}, {57, 39}, {30, 20}}
        << Points{{0, 0}, {1, 0}, {0, 1}, {0, 38}, {0, 39}, {1, 39}, {58, 0}, {59, 0}, {59, 1},
                  {59, 38}, {58, 39}, {59, 39}}
        << 0 << 60;
    // s = SH + 1 = 21: left edge from (0,0) to (21,21), x = y on row y.
    QTest::newRow("slant left")
        << 1 << 60 << 20
        << Points{{10, 10}, {19, 19}, {57, 0}, {30, 5}, {59, 17}, {57, 19}}
        << Points{{9, 10}, {18, 19}, {58, 0}, {59, 0}, {59, 1}, {59, 18}, {59, 19}, {58, 19}}
        << 21 << 60;
    // Right edge from (61,21) up to (40,0): x = 40 + y is the first outside.
    QTest::newRow("slant right")
        << 2 << 60 << 20
        << Points{{39, 0}, {49, 10}, {2, 0}, {0, 2}, {58, 19}}
        << Points{{40, 0}, {50, 10}, {0, 0}, {1, 0}, {0, 1}, {0, 19}, {1, 19}}
        << 0 << 39;
    QTest::newRow("slant both")
        << 3 << 60 << 20
        << Points{{0, 0}, {39, 0}, {10, 10}, {49, 10}, {19, 19}, {58, 19}}
        << Points{{40, 0}, {9, 10}, {50, 10}, {18, 19}, {59, 19}}
        << 21 << 39;
    QTest::newRow("ellipse")
        << 4 << 60 << 40
        << Points{{30, 0}, {0, 20}, {59, 20}, {30, 39}, {30, 20}}
        << Points{{0, 0}, {59, 0}, {0, 39}, {59, 39}, {2, 2}}
        << 0 << 60;
    QTest::newRow("ellipse with black outline")
        << 6 << 40 << 40
        << Points{{20, 0}, {0, 20}, {39, 20}, {20, 39}}
        << Points{{0, 0}, {39, 0}, {0, 39}, {39, 39}}
        << 0 << 40;
}

void tst_ButtonGeometry::outline()
{
    QFETCH(int, shape);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(Points, inside);
    QFETCH(Points, outside);
    QFETCH(int, faceLeft);
    QFETCH(int, faceRight);

    TestButton t(w, h);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    p.createRegion();
    const QRegion mask = t.button->mask();
    for (const QPoint &pt : inside)
        QVERIFY2(mask.contains(pt), qPrintable(QStringLiteral("(%1,%2) should be inside").arg(pt.x()).arg(pt.y())));
    for (const QPoint &pt : outside)
        QVERIFY2(!mask.contains(pt), qPrintable(QStringLiteral("(%1,%2) should be outside").arg(pt.x()).arg(pt.y())));
    QCOMPARE(p.faceLeft(), faceLeft);
    QCOMPARE(p.faceRight(), faceRight);
    QCOMPARE(p.clipRegion() != 0, shape >= 4);
}

void tst_ButtonGeometry::ellipticClip_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QRect>("bounds"); // inclusive pixel bounds of the clip
    // The clip ellipses are regions, one pixel smaller than their boxes.
    QTest::newRow("shape 4, 1-pixel inset") << 4 << QRect(QPoint(1, 1), QPoint(58, 38));
    QTest::newRow("shape 5, 1-pixel inset") << 5 << QRect(QPoint(1, 1), QPoint(58, 38));
    QTest::newRow("shape 6, 2-pixel inset") << 6 << QRect(QPoint(2, 2), QPoint(57, 37));
}

void tst_ButtonGeometry::ellipticClip()
{
    QFETCH(int, shape);
    QFETCH(QRect, bounds);
    TestButton t(60, 40);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    p.createRegion();
    const QRegion clip = gdi::toQRegion(p.clipRegion());
    QCOMPARE(clip.boundingRect(), bounds);
    QVERIFY(!clip.contains(bounds.topLeft()));
    QVERIFY(clip.contains(bounds.center()));

    // Switching back to a rectangle drops the clip region.
    const int regions = gdi::liveObjects(gdi::Kind::Region);
    p.shape() = 0;
    p.createRegion();
    QCOMPARE(p.clipRegion(), HRGN(0));
    QCOMPARE(gdi::liveObjects(gdi::Kind::Region), regions - 1);
}

void tst_ButtonGeometry::narrowSlantedButtonWidens_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QList<int>>("widths"); // after each run

    QTest::newRow("30 high, 32 wide") << 1 << 32 << 30 << QList<int>{37, 37};
    QTest::newRow("20 wide grows 5 a run") << 2 << 20 << 30 << QList<int>{25, 30, 35, 40, 40};
    QTest::newRow("36 wide is wide enough") << 3 << 36 << 30 << QList<int>{36};
}

void tst_ButtonGeometry::narrowSlantedButtonWidens()
{
    QFETCH(int, shape);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QList<int>, widths);

    TestButton t(w, h);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    for (int expected : widths) {
        p.createRegion();
        QCOMPARE(t.button->width(), expected);
        QCOMPARE(p.delayDrawing(), kxButtons_H::False);
        // The outline is built for the new width: its right end is there.
        const QRegion mask = t.button->mask();
        QCOMPARE(mask.boundingRect().right() >= expected - 1, true);
        const int s = h + 1;
        if (shape == 1 || shape == 3)
            QCOMPARE(p.faceLeft(), s);
        if (shape == 2 || shape == 3)
            QCOMPARE(p.faceRight(), expected - s);
    }
}

void tst_ButtonGeometry::span_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("usable");
    QTest::addColumn<int>("offset");
    // 90 x 20: s = 21, face left 21 (shapes 1, 3), face right 69 (2, 3).
    QTest::newRow("rectangle") << 0 << 90 << 0;
    QTest::newRow("slant left") << 1 << 90 - 14 << 14;     // 21 - 21 \ 3
    QTest::newRow("slant right") << 2 << 69 + 21 / 3 << 0; // FR + (SW - FR) \ 3
    QTest::newRow("slant both") << 3 << 76 - 14 << 14;
    QTest::newRow("ellipse") << 5 << 90 << 0;
}

void tst_ButtonGeometry::span()
{
    QFETCH(int, shape);
    QFETCH(int, usable);
    QFETCH(int, offset);
    TestButton t(90, 20);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    p.createRegion();
    std::int32_t u = 0;
    std::int32_t o = 0;
    p.span(u, o);
    QCOMPARE(u, usable);
    QCOMPARE(o, offset);
}

void tst_ButtonGeometry::captionPlacement_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("shape");
    QTest::newRow("left") << 0 << 0;
    QTest::newRow("right") << 1 << 0;
    QTest::newRow("centre") << 2 << 0;
    QTest::newRow("centre between both slants") << 2 << 3;
    QTest::newRow("left after a left slant") << 0 << 1;
}

void tst_ButtonGeometry::captionPlacement()
{
    QFETCH(int, align);
    QFETCH(int, shape);
    TestButton t(120, 31);
    KxButtonsProbe p = t.probe();
    p.shape() = shape;
    p.createRegion();
    p.caption() = QStringLiteral("Enviar");
    p.captionAlign() = align;
    p.layout();
    std::int32_t usable = 0;
    std::int32_t offset = 0;
    p.span(usable, offset);
    const QSize text = measure(*t.button, "Enviar", usable - 12);
    const RECT r = p.captionRect();

    QCOMPARE(r.right - r.left, text.width());
    QCOMPARE(r.bottom - r.top, text.height());
    // Vertically centred, halves of an odd remainder going down.
    QCOMPARE(r.top, (31 - text.height()) / 2);
    switch (align) {
    case 0:
        QCOMPARE(r.left, offset + 6);
        break;
    case 1:
        QCOMPARE(r.right, 120 - 6);
        break;
    default: {
        const int leftGap = r.left - offset;
        const int rightGap = offset + usable - r.right;
        QVERIFY2(leftGap == rightGap || leftGap + 1 == rightGap,
                 qPrintable(QStringLiteral("%1 vs %2").arg(leftGap).arg(rightGap)));
        break;
    }
    }
    // No picture: the empty image rectangle.
    const RECT i = p.imageRect();
    QCOMPARE(QRect(i.left, i.top, i.right, i.bottom), QRect(6, 6, 0, 0));
}

void tst_ButtonGeometry::lineBreakAndWrap()
{
    TestButton t(200, 80);
    KxButtonsProbe p = t.probe();
    p.caption() = QStringLiteral("Ver||lista");
    p.layout();
    const int lineHeight = measure(*t.button, "Ver", 500).height();
    RECT r = p.captionRect();
    QCOMPARE(r.bottom - r.top, 2 * lineHeight);
    QCOMPARE(r.right - r.left, qMax(measure(*t.button, "Ver", 500).width(),
                                    measure(*t.button, "lista", 500).width()));

    // A long caption wraps within the usable width less 12 pixels.
    p.caption() = QStringLiteral("um dois tres quatro cinco seis sete oito nove dez");
    p.layout();
    r = p.captionRect();
    QVERIFY(r.right - r.left <= 200 - 12);
    QVERIFY(r.bottom - r.top >= 2 * lineHeight);
}

void tst_ButtonGeometry::imageBesideCentredCaption()
{
    TestButton t(160, 40);
    givePicture(t, 16, 1);
    KxButtonsProbe p = t.probe();
    p.caption() = QStringLiteral("Sobre");
    p.layout();
    const RECT c = p.captionRect();
    const RECT i = p.imageRect();
    QCOMPARE(i.right - i.left, 16);
    QCOMPARE(c.left - i.right, 6);               // 6 pixels between them
    QCOMPARE(i.top, (40 - 16) / 2);
    const int leftGap = i.left;
    const int rightGap = 160 - c.right;
    QVERIFY2(qAbs(leftGap - rightGap) <= 1,      // centred as one group
             qPrintable(QStringLiteral("%1 vs %2").arg(leftGap).arg(rightGap)));
}

void tst_ButtonGeometry::largeImageReservesNoRoom()
{
    TestButton t(160, 60);
    KxButtonsProbe p = t.probe();
    p.caption() = QStringLiteral("Sobre");
    p.layout();
    const RECT without = p.captionRect();
    givePicture(t, 48, 0);
    p.layout();
    const RECT with = p.captionRect();
    QCOMPARE(with.left, without.left);
    QCOMPARE(with.right, without.right);
    const RECT i = p.imageRect();
    QCOMPARE(i.left, 6);                        // still placed by PictureAlign 0
    QCOMPARE(i.right - i.left, 48);
}

void tst_ButtonGeometry::imageAboveWithoutCaption()
{
    TestButton t(60, 40);
    givePicture(t, 24, 4);
    KxButtonsProbe p = t.probe();
    p.layout();
    const RECT i = p.imageRect();
    QCOMPARE(i.top, (40 + 3 - 24) / 2);          // 9
    QCOMPARE(i.left, (60 - 24) / 2);
    QCOMPARE(i.bottom, 9 + 24);                  // within SH - 6, not clamped
}

void tst_ButtonGeometry::clampedToFace()
{
    TestButton t(50, 20);
    KxButtonsProbe p = t.probe();
    p.caption() = QStringLiteral("muito||texto||para||um||botao||pequeno");
    p.captionAlign() = 0;
    p.layout();
    const RECT r = p.captionRect();
    QCOMPARE(r.top, 6);
    QCOMPARE(r.bottom, 14);
    QVERIFY(r.left >= 6);
    QVERIFY(r.right <= 50);
}

void tst_ButtonGeometry::threeDimensionalCaptionIsLarger()
{
    TestButton t(140, 40);
    KxButtonsProbe p = t.probe();
    p.caption() = QStringLiteral("Conectar");
    p.layout();
    const RECT flat = p.captionRect();
    for (int style : {1, 2}) {
        p.captionStyle() = style;
        p.layout();
        const RECT r = p.captionRect();
        QCOMPARE(r.right - r.left, flat.right - flat.left + 2);
        QCOMPARE(r.bottom - r.top, flat.bottom - flat.top + 2);
    }
}

QTEST_MAIN(tst_ButtonGeometry)
#include "tst_buttongeometry.moc"
