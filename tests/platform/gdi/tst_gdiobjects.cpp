// Handle table: live-object accounting and safe failure on bad handles.

#include "surface.h"

#include <gdi/testsupport/GdiHooks.h>

#include <QTest>

#include <cstring>
#include <vector>

using gdi::Kind;

class tst_GdiObjects : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_baseline = gdi::liveObjectsTotal(); }
    void cleanup() { QCOMPARE(gdi::liveObjectsTotal(), m_baseline); }

    void countsPerKind();
    void staleAndWrongKindHandlesFail();
    void selectionAnswersAndProtects();
    void compatibleBitmapFormat();
    void newBitmapContents_data();
    void newBitmapContents();
    void defaultsOfDcsAndSystemColours();

private:
    int m_baseline = 0;
};

void tst_GdiObjects::countsPerKind()
{
    struct Made
    {
        Kind kind;
        HGDIOBJ handle;
    };
    LOGFONTA lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    const Made made[] = {
        {Kind::DC, CreateCompatibleDC(0)},
        {Kind::Bitmap, CreateCompatibleBitmap(0, 4, 4)},
        {Kind::Pen, CreatePen(PS_SOLID, 1, 0)},
        {Kind::Brush, CreateSolidBrush(0)},
        {Kind::Font, CreateFontIndirectA(&lf)},
        {Kind::Region, CreateRectRgn(0, 0, 2, 2)},
        {Kind::DC, GetDC(0)},
    };
    QCOMPARE(gdi::liveObjectsTotal(), m_baseline + 7);
    for (const Made &m : made) {
        const int before = gdi::liveObjects(m.kind);
        QVERIFY(m.handle != 0);
        const bool ok = m.kind == Kind::DC ? (GetObjectType(m.handle) == OBJ_DC ? ReleaseDC(0, m.handle) != 0
                                                                                   : DeleteDC(m.handle) != 0)
                                           : DeleteObject(m.handle) != 0;
        QVERIFY(ok);
        QCOMPARE(gdi::liveObjects(m.kind), before - 1);
    }
    // Stock objects are not counted and survive deletion.
    HGDIOBJ stock = GetStockObject(BLACK_PEN);
    QVERIFY(DeleteObject(stock));
    QCOMPARE(GetObjectType(stock), OBJ_PEN);
}

void tst_GdiObjects::staleAndWrongKindHandlesFail()
{
    HDC dc = CreateCompatibleDC(0);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HBITMAP bm = CreateCompatibleBitmap(0, 2, 2);
    // Wrong kinds.
    QVERIFY(!DeleteObject(dc));
    QVERIFY(!DeleteDC(pen));
    QVERIFY(!SelectObject(dc, dc));
    QVERIFY(!SelectObject(pen, bm));
    QVERIFY(!DestroyIcon(bm));
    QVERIFY(!Rectangle(pen, 0, 0, 2, 2));
    QCOMPARE(GetPixel(bm, 0, 0), CLR_INVALID);
    QCOMPARE(CopyImage(bm, IMAGE_ICON, 1, 1, 0), HGDIOBJ(0));
    QVERIFY(!ReleaseDC(0, dc)); // a memory DC is deleted, not released
    // Stale handles.
    QVERIFY(DeleteObject(pen));
    QVERIFY(!DeleteObject(pen));
    QVERIFY(!SelectObject(dc, pen));
    QVERIFY(DeleteObject(bm));
    QVERIFY(!BitBlt(dc, 0, 0, 1, 1, bm, 0, 0, SRCCOPY));
    QVERIFY(gdi::bitmapImage(bm).isNull());
    QVERIFY(DeleteDC(dc));
    QVERIFY(!DeleteDC(dc));
    QCOMPARE(SetBkColor(dc, 0), CLR_INVALID);
    QVERIFY(!PatBlt(dc, 0, 0, 1, 1, WHITENESS));
    // A deleted object's place is taken by newer ones: its old handle still
    // reaches none of them.
    HBRUSH gone = CreateSolidBrush(RGB(1, 2, 3));
    QVERIFY(DeleteObject(gone));
    std::vector<HGDIOBJ> newer;
    for (int i = 0; i < 4; ++i)
        newer.push_back(CreateSolidBrush(RGB(4, 5, 6)));
    for (HGDIOBJ h : newer)
        QVERIFY(h != gone);
    QVERIFY(!DeleteObject(gone));
    QCOMPARE(GetObjectType(gone), DWORD(0));
    for (HGDIOBJ h : newer)
        QVERIFY(DeleteObject(h));
    // Never-issued and null handles.
    for (HGDIOBJ h : {HGDIOBJ(0), HGDIOBJ(1), HGDIOBJ(-1), HGDIOBJ(0x7fffffff)}) {
        QVERIFY(!DeleteObject(h));
        QVERIFY(!DeleteDC(h));
        QVERIFY(!SelectObject(h, h));
        QCOMPARE(GetObjectA(h, int(sizeof(BITMAP)), nullptr), 0);
    }
}

void tst_GdiObjects::selectionAnswersAndProtects()
{
    // A selected object cannot be deleted.
    Surface s(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HRGN clip = CreateRectRgn(0, 0, 1, 1);
    HGDIOBJ old = SelectObject(s.dc, pen);
    QVERIFY(!DeleteObject(pen));
    QVERIFY(!DeleteObject(s.bitmap));
    // The refused pen is intact and still draws.
    const POINT pts[2] = {{0, 1}, {3, 1}};
    QVERIFY(Polyline(s.dc, pts, 2));
    QCOMPARE(GetPixel(s.dc, 2, 1), RGB(255, 0, 0));
    QCOMPARE(SelectObject(s.dc, old), pen);
    QVERIFY(DeleteObject(pen));
    // A region is copied into the DC, so it can be deleted at once.
    SelectClipRgn(s.dc, clip);
    QVERIFY(DeleteObject(clip));
    // Deleting a DC releases (does not delete) what it holds.
    HDC dc = CreateCompatibleDC(0);
    HBITMAP bm = CreateCompatibleBitmap(0, 2, 2);
    SelectObject(dc, bm);
    QVERIFY(DeleteDC(dc));
    QVERIFY(DeleteObject(bm));

    // SelectObject answers what it replaced.
    dc = CreateCompatibleDC(0);
    HBRUSH a = CreateSolidBrush(1), b = CreateSolidBrush(2);
    const HGDIOBJ original = SelectObject(dc, a);
    QCOMPARE(original, GetStockObject(WHITE_BRUSH));
    QCOMPARE(SelectObject(dc, b), a);
    QCOMPARE(SelectObject(dc, original), b);
    // Selecting a region answers its kind, like SelectClipRgn.
    HRGN r = CreateRectRgn(0, 0, 3, 3);
    QCOMPARE(SelectObject(dc, r), HGDIOBJ(SIMPLEREGION));
    DeleteObject(r);
    DeleteObject(a);
    DeleteObject(b);

    // A bitmap is selected into one DC at a time; a screen DC takes none.
    HDC two = CreateCompatibleDC(0);
    bm = CreateCompatibleBitmap(0, 2, 2);
    const HGDIOBJ old1 = SelectObject(dc, bm);
    QVERIFY(old1);
    QCOMPARE(SelectObject(two, bm), HGDIOBJ(0));
    QCOMPARE(gdi::currentBitmap(two), old1); // both start with the stock bitmap
    SelectObject(dc, old1);
    QVERIFY(SelectObject(two, bm));
    HDC screen = GetDC(0);
    QCOMPARE(SelectObject(screen, bm), HGDIOBJ(0));
    ReleaseDC(0, screen);
    DeleteDC(dc);
    DeleteDC(two);
    DeleteObject(bm);
}

void tst_GdiObjects::newBitmapContents_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("fill"); // -1: CreateCompatibleBitmap, else createFilledBitmap's colour
    QTest::newRow("compatible, one pixel") << 1 << 1 << -1;
    QTest::newRow("compatible, button sized") << 73 << 25 << -1;
    QTest::newRow("filled, one pixel") << 1 << 1 << int(RGB(12, 34, 56));
    QTest::newRow("filled, button sized") << 73 << 25 << int(RGB(212, 208, 200));
    QTest::newRow("filled, long rows") << 300 << 3 << int(RGB(255, 0, 128));
}

void tst_GdiObjects::newBitmapContents()
{
    // A new bitmap is all black (or all its fill colour), even where the
    // memory of a just-deleted bitmap of the same size is handed out again.
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, fill);
    HDC dc = CreateCompatibleDC(0);
    HBITMAP dirty = CreateCompatibleBitmap(0, width, height);
    HGDIOBJ stock = SelectObject(dc, dirty);
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, stock);
    QVERIFY(DeleteObject(dirty));
    const HBITMAP fresh = fill < 0 ? CreateCompatibleBitmap(0, width, height)
                                   : gdi::createFilledBitmap(width, height, COLORREF(fill));
    QVERIFY(fresh);
    BITMAP info{};
    GetObjectA(fresh, int(sizeof(info)), &info);
    QCOMPARE(info.bmBitsPixel, WORD(32));
    QCOMPARE(info.bmWidth, width);
    QCOMPARE(info.bmHeight, height);
    SelectObject(dc, fresh);
    const COLORREF expected = fill < 0 ? RGB(0, 0, 0) : COLORREF(fill);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (GetPixel(dc, x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(GetPixel(dc, x, y), 6, 16)));
    SelectObject(dc, stock);
    DeleteObject(fresh);
    DeleteDC(dc);
    // An empty size gives the stock bitmap, as CreateCompatibleBitmap does;
    // it deletes as a no-op.
    const HBITMAP none = CreateCompatibleBitmap(0, 0, height);
    QCOMPARE(gdi::createFilledBitmap(0, height, RGB(1, 2, 3)), none);
    QVERIFY(GetObjectType(none) == OBJ_BITMAP && DeleteObject(none));
}

void tst_GdiObjects::compatibleBitmapFormat()
{
    // A fresh memory DC holds a 1x1 monochrome bitmap, so a bitmap made
    // compatible with it is monochrome; with a screen DC it is 32 bpp.
    HDC screen = GetDC(0);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(0, screen);
    BITMAP info{};
    HBITMAP mono = CreateCompatibleBitmap(mem, 3, 2);
    QCOMPARE(GetObjectA(mono, int(sizeof(info)), &info), int(sizeof(info)));
    QCOMPARE(info.bmBitsPixel, WORD(1));
    QCOMPARE(info.bmWidth, 3);
    QVERIFY(!info.bmBits);
    HDC screen2 = GetDC(0);
    HBITMAP colour = CreateCompatibleBitmap(screen2, 3, 2);
    GetObjectA(colour, int(sizeof(info)), &info);
    QCOMPARE(info.bmBitsPixel, WORD(32));
    QCOMPARE(GetMapMode(screen2), MM_TEXT);
    QCOMPARE(SetMapMode(screen2, MM_TWIPS), 0);
    QCOMPARE(SetMapMode(screen2, MM_TEXT), MM_TEXT);
    ReleaseDC(0, screen2);
    // Absurd sizes fail without allocating.
    QCOMPARE(CreateCompatibleBitmap(0, 100000, 100000), HBITMAP(0));
    QCOMPARE(CreateCompatibleBitmap(0, -3, 4), HBITMAP(0));
    DeleteObject(mono);
    DeleteObject(colour);
    DeleteDC(mem);
}

void tst_GdiObjects::defaultsOfDcsAndSystemColours()
{
    HDC dc = CreateCompatibleDC(0);
    QCOMPARE(GetBkColor(dc), RGB(255, 255, 255));
    QCOMPARE(GetTextColor(dc), RGB(0, 0, 0));
    QCOMPARE(GetBkMode(dc), OPAQUE);
    QCOMPARE(GetStretchBltMode(dc), BLACKONWHITE);
    QCOMPARE(GetMapMode(dc), MM_TEXT);
    QCOMPARE(SetBkColor(dc, 0xFF123456), RGB(255, 255, 255));
    QCOMPARE(GetBkColor(dc), COLORREF(0x123456)); // the top byte is ignored
    DeleteDC(dc);

    QCOMPARE(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    QCOMPARE(GetSysColor(25), RGB(181, 181, 181)); // the alternate button face
    QCOMPARE(GetSysColor(COLOR_MENUBAR), RGB(212, 208, 200)); // the last
    QCOMPARE(GetSysColor(COLOR_MENUBAR + 1), 0u);
    QCOMPARE(GetSysColor(-1), 0u);
}

QTEST_MAIN(tst_GdiObjects)
#include "tst_gdiobjects.moc"
