// Window regions of the seven shapes, the widening of narrow slanted buttons,
// and the caption and image rectangles, with state staged through the probe.

#include "PaintTestSupport.h"

#include <gdi/testsupport/GdiHooks.h>
#include <Pictures.h>

#include <QTest>

using namespace painttest;

namespace {

using Points = QList<QPoint>;

} // namespace

class tst_buttongeometry : public QObject
{
    Q_OBJECT

    // Text extent in the caption font selected in the memory DC.
    static QSize measure(kxButtons_H *b, const char *text, int width = 1000)
    {
        RECT r{0, 0, width, 0};
        DrawTextA(KxButtonsProbe(*b).memDC(), text, -1, &r, DT_CALCRECT | DT_WORDBREAK);
        return QSize(r.right, r.bottom);
    }
    static void layout(kxButtons_H *b) { KxButtonsProbe(*b).calculateLayout(); }

private slots:
    void outline_data();
    void outline();
    void narrowSlantedButtonWidens_data();
    void narrowSlantedButtonWidens();
    void layout_data();
    void layout();
    void captionLines();
};

void tst_buttongeometry::outline_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Points>("inside");
    QTest::addColumn<Points>("outside");
    QTest::addColumn<QRect>("clip"); // pixel bounds of the clip ellipse

    // Bevels: 2 pixels along each edge at the top corners; the bottom
    // triangles reach 3 pixels down to row SH, one below the client area.
    QTest::newRow("0 rectangle, bevelled corners") << 0 << QSize(60, 40)
        << Points{{2, 0}, {0, 2}, {1, 1}, {0, 37}, {1, 38}, {2, 39}, {57, 0}, {59, 2}, {58, 38}, {57, 39}}
        << Points{{0, 0}, {1, 0}, {0, 1}, {0, 38}, {0, 39}, {1, 39}, {58, 0}, {59, 0}, {59, 1}, {59, 38}, {58, 39}, {59, 39}}
        << QRect();
    // s = SH + 1 = 21: left edge (0,0)-(21,21), so x = y is the first pixel in.
    QTest::newRow("1 slant left") << 1 << QSize(60, 20)
        << Points{{10, 10}, {19, 19}, {57, 0}, {59, 17}}
        << Points{{9, 10}, {18, 19}, {58, 0}, {59, 1}, {59, 18}, {58, 19}}
        << QRect();
    // Right edge (61,21)-(40,0): x = 40 + y is the first pixel out.
    QTest::newRow("2 slant right") << 2 << QSize(60, 20)
        << Points{{39, 0}, {49, 10}, {2, 0}, {58, 19}}
        << Points{{40, 0}, {50, 10}, {0, 0}, {1, 0}, {0, 1}, {0, 19}, {1, 19}}
        << QRect();
    QTest::newRow("3 slant both, no cuts") << 3 << QSize(60, 20)
        << Points{{0, 0}, {39, 0}, {10, 10}, {49, 10}, {58, 19}}
        << Points{{40, 0}, {9, 10}, {50, 10}, {59, 19}}
        << QRect();
    QTest::newRow("4 ellipse, clip inset 1") << 4 << QSize(60, 40)
        << Points{{30, 0}, {0, 20}, {59, 20}, {30, 39}}
        << Points{{0, 0}, {59, 0}, {0, 39}, {59, 39}, {2, 2}}
        << QRect(QPoint(1, 1), QPoint(58, 38));
    QTest::newRow("6 ellipse, clip inset 2") << 6 << QSize(60, 40)
        << Points{{30, 0}, {0, 20}} << Points{{0, 0}, {59, 39}}
        << QRect(QPoint(2, 2), QPoint(57, 37));
}

void tst_buttongeometry::outline()
{
    QFETCH(int, shape);
    QFETCH(QSize, size);
    QFETCH(Points, inside);
    QFETCH(Points, outside);
    QFETCH(QRect, clip);

    Button t(size.width(), size.height());
    const int regions = gdi::liveObjects(gdi::Kind::Region);
    t.probe().look().buttonShape = shape;
    t.probe().createButtonRegion();
    const QRegion mask = t.b->mask();
    for (const QPoint &p : inside)
        QVERIFY2(mask.contains(p), qPrintable(QStringLiteral("(%1,%2) in").arg(p.x()).arg(p.y())));
    for (const QPoint &p : outside)
        QVERIFY2(!mask.contains(p), qPrintable(QStringLiteral("(%1,%2) out").arg(p.x()).arg(p.y())));

    // Face limits: the slants take s = SH + 1 from their side.
    const int s = size.height() + 1;
    QCOMPARE(t.probe().layout().faceLeft, shape == 1 || shape == 3 ? s : 0);
    QCOMPARE(t.probe().layout().faceRight, shape == 2 || shape == 3 ? size.width() - s : size.width());
    QCOMPARE(gdi::toQRegion(t.probe().surface().clipRegion).boundingRect(), clip);
    // Only the clip region is added; the window owns the outline it replaced.
    QCOMPARE(gdi::liveObjects(gdi::Kind::Region), regions + (clip.isNull() ? 0 : 1));
}

void tst_buttongeometry::narrowSlantedButtonWidens_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("widths"); // after each run, 30 pixels high (s = 31)
    QTest::newRow("32 wide: 37") << 1 << 32 << QList<int>{37, 37};
    QTest::newRow("20 wide: 5 more each run") << 2 << 20 << QList<int>{25, 30, 35, 40, 40};
    QTest::newRow("36 wide is enough") << 3 << 36 << QList<int>{36};
}

void tst_buttongeometry::narrowSlantedButtonWidens()
{
    QFETCH(int, shape);
    QFETCH(int, width);
    QFETCH(QList<int>, widths);
    Button t(width, 30);
    t.probe().look().buttonShape = shape;
    for (int expected : widths) {
        t.probe().createButtonRegion();
        QCOMPARE(t.b->width(), expected);
        QCOMPARE(t.probe().surface().delayDrawing, kxButtons_H::False);
        // The outline was built for the new width (a right slant ends one
        // pixel short on the bottom row).
        QCOMPARE(t.b->mask().boundingRect().right(), shape == 1 ? expected : expected - 1);
        QCOMPARE(t.probe().layout().faceRight, shape == 1 ? expected : expected - 31);
    }
}

void tst_buttongeometry::layout_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("align");      // CaptionAlign
    QTest::addColumn<int>("imageSize");  // 0: no picture
    QTest::addColumn<int>("imageAlign"); // PictureAlign
    QTest::addColumn<int>("style");      // CaptionStyle

    QTest::newRow("centred") << 0 << 2 << 0 << 0 << 0;
    QTest::newRow("left") << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("right") << 0 << 1 << 0 << 0 << 0;
    QTest::newRow("left after a left slant") << 1 << 0 << 0 << 0 << 0;
    QTest::newRow("centred between two slants") << 3 << 2 << 0 << 0 << 0;
    QTest::newRow("embossed: 2 pixels larger") << 0 << 2 << 0 << 0 << 1;
    QTest::newRow("16 left of a centred caption") << 0 << 2 << 16 << 1 << 0;
    QTest::newRow("24 at the left edge, caption left") << 0 << 0 << 24 << 0 << 0;
    QTest::newRow("32 right of the caption") << 0 << 2 << 32 << 3 << 0;
    QTest::newRow("48 reserves no room") << 0 << 2 << 48 << 0 << 0;
    QTest::newRow("16 above the caption") << 0 << 2 << 16 << 4 << 0;
    QTest::newRow("16 below the caption") << 0 << 2 << 16 << 5 << 0;
}

void tst_buttongeometry::layout()
{
    QFETCH(int, shape);
    QFETCH(int, align);
    QFETCH(int, imageSize);
    QFETCH(int, imageAlign);
    QFETCH(int, style);

    constexpr int W = 180, H = 70;
    Button t(W, H);
    t.probe().look().buttonShape = shape;
    t.probe().createButtonRegion();
    t.probe().caption().text = QStringLiteral("Enviar");
    t.probe().caption().align = align;
    t.probe().caption().style = style;
    if (imageSize) {
        t.setPicture(pictures::bmp24(20, 20, [](int, int) { return qRgb(9, 9, 9); }), imageSize);
        t.probe().image().pictureAlign = imageAlign;
    }
    layout(t.b);
    const RECT c = t.probe().layout().captionRect;
    const RECT i = t.probe().layout().imageRect;

    // The face span: slanted ends give back a third of their slant.
    const int s = H + 1;
    const int offset = shape == 1 || shape == 3 ? s - s / 3 : 0;
    const int rightLimit = shape == 3 ? (W - s) + s / 3 : W;
    const int usable = rightLimit - offset;
    const int side = imageSize && imageSize <= 32 && imageAlign <= 3 ? imageSize : 0;
    const int stacked = imageSize && imageSize <= 32 && imageAlign >= 4 ? imageSize : 0;
    const QSize text = measure(t.b, "Enviar") + QSize(style ? 2 : 0, style ? 2 : 0);
    QCOMPARE(c.right - c.left, text.width());
    QCOMPARE(c.bottom - c.top, text.height());

    switch (align) {
    case 0: QCOMPARE(c.left, offset + 6 + (side ? side + 6 : 0)); break;
    case 1: QCOMPARE(c.right, rightLimit - 6); break;
    default: {
        // Centred alone, or together with a side image 6 pixels apart.
        const int groupLeft = imageAlign == 1 && side ? i.left : c.left;
        const int groupRight = imageAlign == 3 && side ? i.right : c.right;
        const int slack = (offset + usable - groupRight) - (groupLeft - offset);
        QVERIFY2(slack == 0 || slack == 1, qPrintable(QString::number(slack)));
        if (imageAlign == 1 && side)
            QCOMPARE(c.left - i.right, 6);
        if (imageAlign == 3 && side)
            QCOMPARE(i.left - c.right, 6);
    }
    }
    if (!imageSize) {
        QCOMPARE((QList<int>{i.left, i.top, i.right, i.bottom}), (QList<int>{6, 6, 0, 0}));
        QCOMPARE(c.top, (H - text.height()) / 2);
        return;
    }
    QCOMPARE(i.right - i.left, imageSize);
    QCOMPARE(i.bottom - i.top, imageSize);
    if (imageAlign == 0)
        QCOMPARE(i.left, offset + 6);
    if (imageAlign <= 3) {
        QCOMPARE(i.top, (H - imageSize) / 2);
        QCOMPARE(c.top, (H - text.height()) / 2);
    } else {
        QCOMPARE(i.left, (usable - imageSize) / 2 + offset);
        const int top = (H - (text.height() + stacked)) / 2;
        if (imageAlign == 4) {
            QCOMPARE(i.top, top);
            QCOMPARE(c.top, i.bottom + 2);
        } else {
            QCOMPARE(c.top, top + 1);
            QCOMPARE(i.top, c.bottom + 2);
        }
    }
}

void tst_buttongeometry::captionLines()
{
    Button t(120, 60);
    // "||" breaks the line.
    t.probe().caption().text = QStringLiteral("Ver||lista");
    layout(t.b);
    RECT r = t.probe().layout().captionRect;
    QCOMPARE(r.bottom - r.top, 2 * measure(t.b, "Ver").height());
    QCOMPARE(r.right - r.left, qMax(measure(t.b, "Ver").width(), measure(t.b, "lista").width()));

    // Long captions wrap within the usable width less 12 pixels.
    t.probe().caption().text = QStringLiteral("um dois tres quatro cinco seis");
    layout(t.b);
    r = t.probe().layout().captionRect;
    QVERIFY(r.right - r.left <= 120 - 12);
    QVERIFY(r.bottom - r.top >= 2 * measure(t.b, "um").height());

    // Taller than the button: kept 6 pixels inside at the top and bottom.
    t.probe().caption().text = QStringLiteral("a||b||c||d||e||f||g||h");
    layout(t.b);
    QCOMPARE(t.probe().layout().captionRect.top, 6);
    QCOMPARE(t.probe().layout().captionRect.bottom, 60 - 6);

    // No caption, a 24-pixel image on top: centred as if the caption were
    // -3 pixels high.
    t.probe().caption().text.clear();
    t.setPicture(pictures::bmp24(8, 8, [](int, int) { return qRgb(9, 9, 9); }), 24);
    t.probe().image().pictureAlign = 4;
    layout(t.b);
    QCOMPARE(t.probe().layout().imageRect.top, (60 + 3 - 24) / 2);
}

QTEST_MAIN(tst_buttongeometry)
#include "tst_buttongeometry.moc"
