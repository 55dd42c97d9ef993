// Drawing suspension, resizing, ambient changes, tear-down, and the GDI
// objects the control owns over a long random life.

#include "ButtonTestSupport.h"

#include <gdi/bridge.h>
#include <host/msgbox.h>
#include <host/window.h>
#include <gdi/testsupport/GdiHooks.h>
#include <host/testsupport/HostHooks.h>

#include <QRandomGenerator>
#include <QTest>

using namespace buttontest;

namespace {

constexpr COLORREF kSentinel = RGB(255, 0, 255);

// Fills the on-screen surface with the sentinel, which a redraw removes.
void markScreen(kxButtons_H &b)
{
    const HDC dc = b.hDC();
    const HBRUSH brush = CreateSolidBrush(kSentinel);
    RECT r{0, 0, b.width(), b.height()};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

bool screenRedrawn(kxButtons_H &b)
{
    return GetPixel(b.hDC(), b.width() / 2, b.height() / 2) != kSentinel;
}

QSize surfaceSize(kxButtons_H &b)
{
    return gdi::bitmapImage(KxButtonsProbe(b).surfaceBitmap()).size();
}

// Live objects per kind (DC, bitmap, pen, brush, font, region, icon).
QList<int> objectCounts()
{
    using gdi::Kind;
    QList<int> out;
    for (Kind k : {Kind::DC, Kind::Bitmap, Kind::Pen, Kind::Brush, Kind::Font, Kind::Region, Kind::Icon})
        out << gdi::liveObjects(k);
    return out;
}

} // namespace

class tst_KxButtonsLifecycle : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_form.reset(); }

    void delayDrawingHoldsBackUntilReleased();
    void resizeWhileSuspendedIsDropped();
    void displayAsDefaultFollowsAmbient_data();
    void displayAsDefaultFollowsAmbient();
    void containerBackColour_data();
    void containerBackColour();
    void randomLifeThenTerminateLeavesNoObjects();

private:
    std::unique_ptr<host::Form> m_form;
};

void tst_KxButtonsLifecycle::delayDrawingHoldsBackUntilReleased()
{
    kxButtons_H *b = formWithButton(m_form);
    b->DelayDrawing(true);
    markScreen(*b);

    b->Caption(QStringLiteral("Outro"));
    b->BackColor(0x00FF00);
    b->Refresh();
    QVERIFY(!screenRedrawn(*b));

    b->DelayDrawing(false);
    QVERIFY(screenRedrawn(*b));
    // What reached the screen is the finished picture of the new colour.
    const std::int32_t face = KxButtonsProbe::shiftColor(0x00FF00, 48, true);
    QCOMPARE(GetPixel(b->hDC(), 5, 3), COLORREF(KxButtonsProbe::shiftColor(face, -3, true)));

    // A new ForeColor ends a suspension by itself.
    b->DelayDrawing(true);
    markScreen(*b);
    b->ForeColor(0xFF);
    QVERIFY(!KxButtonsProbe(*b).delayDrawing());
    QVERIFY(screenRedrawn(*b));
}

void tst_KxButtonsLifecycle::resizeWhileSuspendedIsDropped()
{
    kxButtons_H *b = formWithButton(m_form);
    QCOMPARE(surfaceSize(*b), QSize(73, 25));

    b->DelayDrawing(true);
    b->resize(100, 40);
    QCOMPARE(surfaceSize(*b), QSize(73, 25));
    QCOMPARE(b->mask().boundingRect().size(), QSize(74, 26)); // the outline runs to SW + 1

    b->DelayDrawing(false);
    QCOMPARE(surfaceSize(*b), QSize(73, 25));
    b->resize(101, 40);
    QCOMPARE(surfaceSize(*b), QSize(101, 40));
    QCOMPARE(b->mask().boundingRect().size(), QSize(102, 41));
}

void tst_KxButtonsLifecycle::displayAsDefaultFollowsAmbient_data()
{
    QTest::addColumn<bool>("showFocusRect");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("flag");

    QTest::newRow("lower-case name") << true << QStringLiteral("displayasdefault") << true;
    QTest::newRow("no focus rectangle") << false << QStringLiteral("DisplayAsDefault") << false;
    QTest::newRow("other ambient") << true << QStringLiteral("Font") << false;
}

void tst_KxButtonsLifecycle::displayAsDefaultFollowsAmbient()
{
    QFETCH(bool, showFocusRect);
    QFETCH(QString, name);
    QFETCH(bool, flag);
    kxButtons_H *b = formWithButton(m_form);
    b->ShowFocusRect(showFocusRect);
    KxButtonsProbe p(*b);
    m_form->setDefaultControl(b);
    QVERIFY(b->Ambient().DisplayAsDefault);
    p.setStateBits(0);

    b->UserControl_AmbientChanged(name);
    QCOMPARE((p.stateBits() & kxButtons_H::kDefaultFlag) != 0, flag);

    // Run mode: turning the focus rectangle off clears the flag silently.
    host::MsgBoxRecorder boxes;
    b->ShowFocusRect(false);
    QCOMPARE(p.stateBits() & kxButtons_H::kDefaultFlag, 0);
    QCOMPARE(boxes.calls().size(), 0);
}

void tst_KxButtonsLifecycle::containerBackColour_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("redraws");

    QTest::newRow("slanted keeps its picture") << 3 << false;
    QTest::newRow("ellipse redraws") << 4 << true;
}

void tst_KxButtonsLifecycle::containerBackColour()
{
    QFETCH(int, shape);
    QFETCH(bool, redraws);
    kxButtons_H *b = formWithButton(m_form);
    b->ButtonShape(shape);
    markScreen(*b);

    m_form->setBackColor(0x80000005); // notifies AmbientChanged("BackColor")

    QCOMPARE(KxButtonsProbe(*b).containerBackColor(), std::int32_t(RGB(255, 255, 255)));
    QCOMPARE(screenRedrawn(*b), redraws);
}

void tst_KxButtonsLifecycle::randomLifeThenTerminateLeavesNoObjects()
{
    const QList<int> start = objectCounts();
    const int timers = host::liveTimerCount();
    {
        host::MsgBoxRecorder boxes;
        kxButtons_H *b = formWithButton(m_form, false);
        kxButtons_H *other = addButton(m_form.get(), QStringLiteral("Option2"));
        other->Mode(2);
        const host::StdPicturePtr pictures[] = {nullptr, iconPicture(32), iconPicture(16), bitmapPicture(40, 20)};
        KxButtonsProbe p(*b);
        const QList<int> drawn = objectCounts();

        QRandomGenerator rng(20261206);
        auto pick = [&](int lo, int hi) { return int(rng.bounded(lo, hi + 1)); };
        auto colour = [&]() -> quint32 {
            return rng.bounded(4) == 0 ? 0x80000000u | quint32(rng.bounded(31)) : quint32(rng.bounded(0x1000000));
        };
        for (int step = 0; step < 3000; ++step) {
            switch (rng.bounded(25)) {
            case 0: b->ButtonStyle(pick(0, 3)); break;
            case 1: b->Mode(pick(-1, 3)); break;
            case 2: b->Value(rng.bounded(2) == 0); break;
            case 3: b->Caption(rng.bounded(2) ? QStringLiteral("&Derrubar||agora") : QString()); break;
            case 4: b->CaptionAlign(pick(-1, 3)); break;
            case 5: b->CaptionStyle(pick(-1, 3)); break;
            case 6: b->ButtonShape(pick(-1, 7)); break;
            case 7: b->Picture(pictures[rng.bounded(4)]); break;
            case 8: b->PictureAlign(pick(-1, 6)); break;
            case 9: b->Enabled(rng.bounded(2) == 0); break;
            case 10: b->ShowFocusRect(rng.bounded(2) == 0); break;
            case 11: b->PictureSize(pick(-1, 5)); break;
            case 12: b->FontStyle(pick(0, 15)); break;
            case 13: b->ForeColor(colour()); break;
            case 14: b->BackColor(colour()); break;
            case 15: b->GradientColor(colour()); break;
            case 16: b->GradientMode(pick(-1, 5)); break;
            case 17: b->HoverColorLocks(pick(0, 4)); break;
            case 18: b->HoverForeColor(colour()); break;
            case 19: b->HoverBackColor(colour()); break;
            case 20: b->ResetDefaultColors(true); break;
            case 21: b->resize(pick(1, 120), pick(1, 60)); break;
            case 22: b->DelayDrawing(rng.bounded(2) == 0); break;
            case 23: {
                auto font = std::make_shared<host::StdFont>(
                    rng.bounded(2) ? QStringLiteral("Times New Roman") : QStringLiteral("Arial"), pick(6, 20));
                b->Font(font);
                break;
            }
            case 24: // default, held and hover looks
                p.setStateBits(std::int16_t(rng.bounded(8)));
                b->Refresh();
                break;
            }
            // Each new object replaced and deleted the one before; an elliptic
            // shape adds its clip region (held back while drawing is delayed).
            QList<int> want = drawn;
            if (!p.delayDrawing())
                want[5] += b->ButtonShape() >= 4 ? 1 : 0;
            const QList<int> now = objectCounts();
            for (int k = 0; k < 7; ++k)
                QVERIFY2(now[k] == want[k] || (k == 5 && p.delayDrawing()),
                         qPrintable(QStringLiteral("step %1, kind %2: %3").arg(step).arg(k).arg(now[k])));
        }
        b->DelayDrawing(false);
        b->ButtonShape(5); // owns a clip region too
        QVERIFY(p.clipRegion() != 0);
        b->terminate();
        QCOMPARE(p.memDC(), HDC(0));
        QCOMPARE(p.clipRegion(), HRGN(0));
        QCOMPARE(host::liveTimerCount(), timers);
        m_form.reset();
    }
    QCOMPARE(objectCounts(), start);
}

QTEST_MAIN(tst_KxButtonsLifecycle)
#include "tst_kxbuttons_lifecycle.moc"
