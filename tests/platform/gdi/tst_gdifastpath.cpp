// The drawing shortcuts against the generic code: the same seeded random
// calls run once with shortcuts and once without, on fresh surfaces, and the
// pixels must agree.

#include "surface.h"

#include <gdi/testsupport/GdiHooks.h>

#include "raster.h"
#include "text.h"

#include <QRandomGenerator>
#include <QTest>

#include <cstring>
#include <functional>
#include <vector>

namespace {

enum class Clip { None, Rect, Elliptic, Empty };

struct Case
{
    int bitsPerPixel;
    Clip clip;
};

// Pixels of a surface after `draw`, with shortcuts on or off.
std::vector<QRgb> render(const Case &c, bool fast, const std::function<void(HDC, HDC)> &draw)
{
    gdi::setFastPathsEnabled(fast);
    Surface target(40, 30, RGB(250, 240, 230), c.bitsPerPixel);
    Surface source(36, 28, RGB(10, 20, 30), c.bitsPerPixel);
    // A source with a different value in every pixel shows any offset error.
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            SetPixel(source.dc, x, y, c.bitsPerPixel == 1 ? ((x * 7 + y * 3) % 5 < 2 ? 0 : 0xFFFFFF)
                                                          : RGB(x * 7, y * 9, (x * y) & 0xFF));
    HRGN rgn = 0;
    switch (c.clip) {
    case Clip::None: break;
    case Clip::Rect: rgn = CreateRectRgn(3, 4, 33, 25); break;
    case Clip::Elliptic: rgn = CreateEllipticRgn(-2, 1, 37, 29); break;
    case Clip::Empty: rgn = CreateRectRgn(5, 5, 5, 9); break;
    }
    if (rgn) {
        SelectClipRgn(target.dc, rgn);
        DeleteObject(rgn);
    }
    draw(target.dc, source.dc);
    SelectClipRgn(target.dc, 0);
    gdi::setFastPathsEnabled(true);
    const QImage image = gdi::bitmapImage(target.bitmap);
    std::vector<QRgb> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out.push_back(image.pixel(x, y));
    return out;
}

int coord(QRandomGenerator &rng) { return rng.bounded(-8, 48); }

} // namespace

class tst_GdiFastPath : public QObject
{
    Q_OBJECT

private slots:
    void matchesGeneric_data();
    void matchesGeneric();
    void captionDrawnTwiceMatchesGeneric();
};

void tst_GdiFastPath::matchesGeneric_data()
{
    QTest::addColumn<int>("bitsPerPixel");
    QTest::addColumn<int>("clip");
    QTest::newRow("colour, no clip") << 32 << int(Clip::None);
    QTest::newRow("colour, rectangular clip") << 32 << int(Clip::Rect);
    QTest::newRow("colour, elliptic clip") << 32 << int(Clip::Elliptic);
    QTest::newRow("colour, empty clip") << 32 << int(Clip::Empty);
    QTest::newRow("mono, no clip") << 1 << int(Clip::None);
    QTest::newRow("mono, elliptic clip") << 1 << int(Clip::Elliptic);
}

// Rectangles (every pen kind, solid or hollow, boxes down to one pixel),
// FillRect, thin polylines with straight rows, and block copies.
void tst_GdiFastPath::matchesGeneric()
{
    QFETCH(int, bitsPerPixel);
    QFETCH(int, clip);
    const Case c{bitsPerPixel, Clip(clip)};
    for (int seed = 1; seed <= 150; ++seed) {
        auto draw = [seed](HDC dc, HDC src) {
            QRandomGenerator rng{quint32(seed)};
            for (int step = 0; step < 6; ++step) {
                const COLORREF colour = rng.generate() & 0xFFFFFF;
                switch (rng.bounded(4)) {
                case 0: {
                    const int penKind = rng.bounded(6);
                    HGDIOBJ pen = penKind == 0 ? GetStockObject(NULL_PEN)
                                : penKind == 1 ? CreatePen(PS_SOLID, rng.bounded(2), colour ^ 0x00FF00)
                                : penKind == 2 ? CreatePen(PS_INSIDEFRAME, 1, colour ^ 0xFF0000)
                                : penKind == 3 ? CreatePen(PS_INSIDEFRAME, 3, colour ^ 0x0000FF)
                                : penKind == 4 ? CreatePen(PS_SOLID, 2, colour ^ 0x00FFFF)
                                               : CreatePen(PS_SOLID, rng.bounded(2), colour); // the fill's colour
                    HGDIOBJ brush = rng.bounded(4) == 0 ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(colour);
                    const Selected selectedPen(dc, pen), selectedBrush(dc, brush);
                    // Every other box is at most 2 x 2, down to one pixel.
                    const int left = coord(rng), top = coord(rng);
                    const bool small = rng.bounded(2) == 0;
                    const int right = small ? left + rng.bounded(-2, 3) : coord(rng);
                    const int bottom = small ? top + rng.bounded(-2, 3) : coord(rng);
                    Rectangle(dc, left, top, right, bottom);
                    break;
                }
                case 1: {
                    HBRUSH brush = CreateSolidBrush(colour);
                    const RECT r{coord(rng), coord(rng), coord(rng), coord(rng)};
                    FillRect(dc, &r, brush);
                    DeleteObject(brush);
                    break;
                }
                case 2: {
                    POINT pts[5];
                    for (int i = 0; i < 5; ++i) // half the segments are rows
                        pts[i] = {coord(rng), i > 0 && rng.bounded(2) ? pts[i - 1].y : coord(rng)};
                    const Selected pen(dc, CreatePen(PS_SOLID, 1, colour));
                    Polyline(dc, pts, 5);
                    break;
                }
                default: {
                    const int x = coord(rng), y = coord(rng), w = rng.bounded(-20, 45), h = rng.bounded(-20, 35);
                    const int sx = rng.bounded(-6, 40), sy = rng.bounded(-6, 32);
                    BitBlt(dc, x, y, w, h, src, sx, sy, SRCCOPY);
                    break;
                }
                }
            }
        };
        const std::vector<QRgb> generic = render(c, false, draw);
        const std::vector<QRgb> fast = render(c, true, draw);
        if (fast != generic)
            QFAIL(qPrintable(QStringLiteral("seed %1 differs").arg(seed)));
    }
}

// Captions: the second and later draws of one text reuse the cached layout
// and blend its kept glyph coverage; every draw must still match the generic
// one, across clips, positions, formats and surface kinds.
void tst_GdiFastPath::captionDrawnTwiceMatchesGeneric()
{
    const char *texts[] = {"Derrubar", "&Ligar sala", "Texto longo que quebra em linhas", "Linha 1\r\nLinha 2"};
    const UINT formats[] = {DT_WORDBREAK | DT_CENTER, DT_LEFT, DT_RIGHT | DT_WORDBREAK,
                            DT_SINGLELINE | DT_VCENTER | DT_CENTER, DT_NOCLIP | DT_CENTER};
    for (int bpp : {32, 1}) {
        const int stampedBefore = gdi::stampedTextLines();
        for (Clip clip : {Clip::None, Clip::Rect, Clip::Elliptic, Clip::Empty}) {
          for (int face = 0; face < 2; ++face) {
            auto draw = [&](HDC dc, HDC) {
                LOGFONTA lf{};
                lf.lfHeight = face == 0 ? -12 : -11;
                lf.lfWeight = face == 0 ? FW_BOLD : FW_NORMAL;
                lf.lfItalic = face == 1;
                std::strcpy(lf.lfFaceName, face == 0 ? "Times New Roman" : "Arial");
                const Selected font(dc, CreateFontIndirectA(&lf));
                SetBkMode(dc, TRANSPARENT);
                for (int pass = 0; pass < 2; ++pass) {
                    int i = 0;
                    for (const char *t : texts) {
                        for (UINT f : formats) {
                            SetTextColor(dc, RGB((i * 37 + pass * 90) & 0xFF, 40, 200));
                            // Widths from 33 to 123: word breaks differ between draws.
                            RECT r{-3 + (i % 7), -2 + (i % 5), 30 + (i % 11) * 9, 28};
                            DrawTextA(dc, t, -1, &r, f);
                            ++i;
                        }
                    }
                    SetBkMode(dc, OPAQUE); // second pass: cells painted too
                }
            };
            const Case c{bpp, clip};
            QVERIFY2(render(c, true, draw) == render(c, false, draw),
                     qPrintable(QStringLiteral("bpp %1 clip %2 face %3").arg(bpp).arg(int(clip)).arg(face)));
          }
        }
        // Repeated captions took the blending shortcut, not only the painter.
        QVERIFY2(gdi::stampedTextLines() > stampedBefore, qPrintable(QStringLiteral("bpp %1").arg(bpp)));
    }
}

QTEST_MAIN(tst_GdiFastPath)
#include "tst_gdifastpath.moc"
