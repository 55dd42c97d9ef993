// Text: line layout, DrawTextA rectangles, modes, alignment, clipping and
// the access-key underline, by colour and position, never glyph shape.

#include "surface.h"

#include <gdi/testsupport/GdiHooks.h>

#include "handles.h"
#include "region.h"
#include "text.h"

#include <QFontInfo>
#include <QTest>

#include <cstring>

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kCell = RGB(0, 160, 0);

HFONT monoFont(BYTE quality = NONANTIALIASED_QUALITY)
{
    LOGFONTA lf{};
    lf.lfHeight = -20; // Liberation Mono: a 12-pixel advance
    lf.lfWeight = FW_NORMAL;
    lf.lfQuality = quality;
    std::strcpy(lf.lfFaceName, "Courier New");
    return CreateFontIndirectA(&lf);
}

struct Metrics
{
    int advance;
    int lineHeight;
};

Metrics metricsOf(HDC dc)
{
    SIZE one{}, four{};
    GetTextExtentPoint32A(dc, "M", 1, &one);
    GetTextExtentPoint32A(dc, "MMMM", 4, &four);
    // The layout tests rely on fixed advances.
    if (four.cx != 4 * one.cx)
        qFatal("the monospaced test font has no fixed advance");
    return {one.cx, one.cy};
}

} // namespace

class tst_GdiText : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_baseline = gdi::liveObjectsTotal(); }
    void cleanup() { QCOMPARE(gdi::liveObjectsTotal(), m_baseline); }

    void layout_data();
    void layout();
    void calcRect_data();
    void calcRect();
    void cellsByModeAndAlignment_data();
    void cellsByModeAndAlignment();
    void clipping();
    void prefixUnderline();
    void codePage();
    void faceNames_data();
    void faceNames();

private:
    int m_baseline = 0;
};

void tst_GdiText::layout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("wordBreak");
    QTest::addColumn<bool>("prefix");
    QTest::addColumn<QStringList>("lines"); // "text" or "text|underline index"
    QTest::newRow("wrap at the width") << "aa bb cc" << 50 << true << true << QStringList{"aa bb", "cc"};
    QTest::newRow("spaces at a break dropped") << "aa   bb cc" << 40 << true << true
                                               << QStringList{"aa", "bb", "cc"};
    QTest::newRow("over-wide word stays whole") << "a verylongword b" << 40 << true << true
                                                << QStringList{"a", "verylongword", "b"};
    QTest::newRow("zero width: a word per line") << "ab cd" << 0 << true << true << QStringList{"ab", "cd"};
    QTest::newRow("CR LF, LF CR, CR, LF") << "a\r\nb\n\rc\rd\ne" << 100 << false << true
                                          << QStringList{"a", "b", "c", "d", "e"};
    QTest::newRow("CR CR is an empty line") << "a\r\rb" << 100 << false << true << QStringList{"a", "", "b"};
    QTest::newRow("newline at the end adds no line") << "a\r\n" << 100 << true << true << QStringList{"a"};
    QTest::newRow("only a newline") << "\r\n" << 100 << true << true << QStringList{""};
    QTest::newRow("empty") << "" << 100 << true << true << QStringList{};
    QTest::newRow("breaks inside wrapped text") << "aa bb\r\ncc dd ee" << 50 << true << true
                                                << QStringList{"aa bb", "cc dd", "ee"};
    QTest::newRow("prefix underlines") << "&File" << 100 << false << true << QStringList{"File|0"};
    QTest::newRow("double and trailing ampersand") << "a&&b&" << 100 << false << true << QStringList{"a&b&"};
    QTest::newRow("triple ampersand") << "&&&x" << 100 << false << true << QStringList{"&x|1"};
    QTest::newRow("no prefix processing") << "&x" << 100 << false << false << QStringList{"&x"};
    QTest::newRow("underline on second line") << "ab cd&e" << 30 << true << true << QStringList{"ab", "cde|2"};
    QTest::newRow("prefix then wrap measures stripped text") << "a&b c" << 40 << true << true
                                                             << QStringList{"ab c|1"};
}

void tst_GdiText::layout()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(bool, wordBreak);
    QFETCH(bool, prefix);
    QFETCH(QStringList, lines);
    gdi::TextLayoutOptions options;
    options.width = width;
    options.wordBreak = wordBreak;
    options.prefix = prefix;
    const auto result = gdi::layoutText(text, options, [](QStringView s) { return int(s.size()) * 10; });
    QStringList actual;
    for (const gdi::TextLine &l : result) {
        QCOMPARE(l.width, int(l.text.size()) * 10);
        actual << (l.underline >= 0 ? l.text + u'|' + QString::number(l.underline) : l.text);
    }
    QCOMPARE(actual, lines);
}

void tst_GdiText::calcRect_data()
{
    // Widths in advances; expected right in advances, bottom in lines.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("lines");
    QTest::newRow("shrinks to the widest line") << QByteArray("MM MM MMM") << 6 << 5 << 2;
    QTest::newRow("grows for an over-wide word") << QByteArray("MMMMMMMM M") << 3 << 8 << 2;
    QTest::newRow("CR LF lines") << QByteArray("M\r\nMMM\r\n") << 10 << 3 << 2;
    QTest::newRow("prefix not counted") << QByteArray("&M&&") << 10 << 2 << 1;
    QTest::newRow("empty") << QByteArray("") << 10 << 0 << 0;
}

void tst_GdiText::calcRect()
{
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(int, right);
    QFETCH(int, lines);
    Surface s(4, 4);
    Selected font(s.dc, monoFont());
    const Metrics m = metricsOf(s.dc);
    RECT r{3, 5, 3 + width * m.advance, 500};
    const int height = DrawTextA(s.dc, text.constData(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
    QCOMPARE(height, lines * m.lineHeight);
    QCOMPARE(r.left, 3);
    QCOMPARE(r.top, 5);
    QCOMPARE(r.right, 3 + right * m.advance);
    QCOMPARE(r.bottom, 5 + lines * m.lineHeight);
    // Nothing was drawn.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(GetPixel(s.dc, x, y), kPaper);
}

void tst_GdiText::cellsByModeAndAlignment_data()
{
    QTest::addColumn<uint>("align");
    QTest::addColumn<int>("mode");
    QTest::newRow("left") << uint(DT_LEFT) << OPAQUE;
    QTest::newRow("center") << uint(DT_CENTER) << OPAQUE;
    QTest::newRow("right") << uint(DT_RIGHT) << OPAQUE;
    // Every mode but OPAQUE draws transparently: ink only, no cell fill.
    QTest::newRow("transparent") << uint(DT_LEFT) << TRANSPARENT;
    QTest::newRow("mode 0") << uint(DT_CENTER) << 0;
    QTest::newRow("mode 3") << uint(DT_RIGHT) << 3;
}

void tst_GdiText::cellsByModeAndAlignment()
{
    // OPAQUE fills each line's cell (line width x line height) with the
    // background colour; glyph pixels are exactly the text colour (no
    // antialiasing asked); nothing outside the cells changes.
    QFETCH(uint, align);
    QFETCH(int, mode);
    Surface s(120, 70, kPaper);
    Selected font(s.dc, monoFont());
    const Metrics m = metricsOf(s.dc);
    SetBkColor(s.dc, kCell);
    SetBkMode(s.dc, mode);
    SetTextColor(s.dc, kInk);
    const int left = 3, top = 2, right = left + 7 * m.advance;
    RECT r{left, top, right, 68};
    QCOMPARE(DrawTextA(s.dc, "MM\r\nMMMMM", -1, &r, align), 2 * m.lineHeight);
    const int widths[2] = {2 * m.advance, 5 * m.advance};
    std::vector<gdi::Rect> cells;
    for (int i = 0; i < 2; ++i) {
        const int x = align == DT_CENTER ? (left + right - widths[i]) / 2
                    : align == DT_RIGHT  ? right - widths[i]
                                         : left;
        cells.push_back({x, top + i * m.lineHeight, x + widths[i], top + (i + 1) * m.lineHeight});
    }
    int ink[2] = {0, 0};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const COLORREF c = GetPixel(s.dc, x, y);
            int cell = -1;
            for (int i = 0; i < 2; ++i)
                if (cells[size_t(i)].contains(x, y))
                    cell = i;
            if (cell < 0) {
                if (c != kPaper)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 outside the cells changed (saved %3)")
                                         .arg(x).arg(y).arg(s.save(QStringLiteral("text-opaque")))));
            } else {
                const COLORREF background = mode == OPAQUE ? kCell : kPaper;
                QVERIFY2(c == background || c == kInk, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                ink[cell] += c == kInk;
            }
        }
    QVERIFY(ink[0] > 0);
    QVERIFY(ink[1] > ink[0]);
}

void tst_GdiText::clipping()
{
    // Text stays inside its rectangle (no DT_NOCLIP) and inside the DC clip.
    Surface s(80, 30, kPaper);
    Selected font(s.dc, monoFont());
    const Metrics m = metricsOf(s.dc);
    SetBkColor(s.dc, kCell);
    RECT narrow{0, 0, 2 * m.advance, m.lineHeight - 3};
    DrawTextA(s.dc, "MMMMMM", -1, &narrow, DT_LEFT);
    HRGN clip = CreateRectRgn(0, 0, 80, 30);
    HRGN hole = CreateRectRgn(40, 0, 50, 30);
    CombineRgn(clip, clip, hole, RGN_DIFF);
    SelectClipRgn(s.dc, clip);
    RECT wide{30, 0, 80, 30};
    DrawTextA(s.dc, "MMMMMM", -1, &wide, DT_LEFT);
    SelectClipRgn(s.dc, 0);
    int reached = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            if (GetPixel(s.dc, x, y) == kPaper)
                continue;
            const bool inNarrow = x < narrow.right && y < narrow.bottom;
            const bool inWide = x >= 30 && (x < 40 || x >= 50);
            QVERIFY2(inNarrow || inWide, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            reached += x >= 50;
        }
    QVERIFY(reached > 0);
    DeleteObject(clip);
    DeleteObject(hole);
}

void tst_GdiText::prefixUnderline()
{
    // "&MM" draws "MM" plus a bar under the first character: the difference
    // between the two is whole rows spanning exactly that advance.
    Surface plain(60, 30, kPaper), marked(60, 30, kPaper);
    Selected f1(plain.dc, monoFont()), f2(marked.dc, monoFont());
    const Metrics m = metricsOf(plain.dc);
    RECT r1{2, 2, 60, 30}, r2{2, 2, 60, 30};
    SetBkMode(plain.dc, TRANSPARENT);
    SetBkMode(marked.dc, TRANSPARENT);
    DrawTextA(plain.dc, "MM", -1, &r1, DT_LEFT);
    DrawTextA(marked.dc, "&MM", -1, &r2, DT_LEFT);
    QList<int> rows;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            const COLORREF a = GetPixel(plain.dc, x, y), b = GetPixel(marked.dc, x, y);
            if (a == b)
                continue;
            QCOMPARE(b, kInk);
            QVERIFY2(x >= 2 && x < 2 + m.advance, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            if (!rows.contains(y))
                rows.append(y);
        }
    QVERIFY(!rows.isEmpty());
    for (int y : rows) {
        QVERIFY(y < 2 + m.lineHeight);
        for (int x = 2; x < 2 + m.advance; ++x)
            QCOMPARE(GetPixel(marked.dc, x, y), kInk);
    }
}

void tst_GdiText::codePage()
{
    QCOMPARE(gdi::fromCodePage("\x80\xe7\xe3", 3), QString::fromUtf8("€çã"));
    QCOMPARE(gdi::fromCodePage("\x81\x9f", 2), QString(QChar(0x81)) + QChar(0x178));
}

void tst_GdiText::faceNames_data()
{
    QTest::addColumn<QByteArray>("face");
    QTest::addColumn<QString>("family");
    QTest::newRow("MS Sans Serif") << QByteArray("MS Sans Serif") << "Liberation Sans";
    QTest::newRow("Arial") << QByteArray("Arial") << "Liberation Sans";
    QTest::newRow("Times New Roman") << QByteArray("Times New Roman") << "Liberation Serif";
    QTest::newRow("no face name") << QByteArray("") << "Liberation Sans";
}

void tst_GdiText::faceNames()
{
    QFETCH(QByteArray, face);
    QFETCH(QString, family);
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    std::strncpy(lf.lfFaceName, face.constData(), LF_FACESIZE - 1);
    const QFontInfo info(gdi::qfontFromLogFont(lf));
    QCOMPARE(info.family(), family);
    QCOMPARE(info.pixelSize(), 13);
    QVERIFY(info.bold());
    QVERIFY(info.italic());
    lf.lfHeight = 40; // positive: the cell, ascent plus descent, not the em
    const QFontMetrics cell(gdi::qfontFromLogFont(lf));
    QVERIFY2(qAbs(cell.height() - 40) <= 1, qPrintable(QString::number(cell.height())));
}

QTEST_MAIN(tst_GdiText)
#include "tst_gditext.moc"
