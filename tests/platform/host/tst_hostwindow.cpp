// Window handles and the USER calls over them: properties, timers, capture,
// cursor, WindowFromPoint with regions, posted keys.

#include <host/form.h>
#include <host/window.h>

#include <gdi/bridge.h>
#include <gdi/testsupport/GdiHooks.h>
#include <host/testsupport/HostHooks.h>

#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QtTest>

namespace {

// Timer callbacks record here (callbacks are plain function pointers).
struct TimerLog
{
    int ticks = 0;
    QThread *thread = nullptr;
    HWND hwnd = 0;
    UINT message = 0;
    UINT_PTR id = 0;
    bool killInside = false;
};
TimerLog g_log;

void CALLBACK_record(HWND hwnd, UINT message, UINT_PTR id, DWORD)
{
    ++g_log.ticks;
    g_log.thread = QThread::currentThread();
    g_log.hwnd = hwnd;
    g_log.message = message;
    g_log.id = id;
    if (g_log.killInside)
        KillTimer(hwnd, id);
}

// Receives key presses that reach it (after its children ignored them).
class KeySink : public QWidget
{
public:
    using QWidget::QWidget;
    struct Press
    {
        int key;
        quint32 scanCode;
        quint32 virtualKey;
        Qt::KeyboardModifiers modifiers;
    };
    QList<Press> presses;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        presses.append({event->key(), event->nativeScanCode(), event->nativeVirtualKey(), event->modifiers()});
    }
};

} // namespace

class tst_HostWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_log = TimerLog{};
        host::clearCursorPosForTesting();
    }

    void propertiesReadBackAndDieWithTheirWidget()
    {
        const int windowsBefore = host::liveWindowCount();
        const int propertiesBefore = host::livePropertyCount();
        auto *parent = new QWidget;
        auto *child = new QWidget(parent);
        const HWND hwnd = host::hwndOf(parent);
        const HWND childHwnd = host::hwndOf(child);
        QVERIFY(hwnd != 0);
        QCOMPARE(host::hwndOf(parent), hwnd);
        QCOMPARE(host::widgetOf(hwnd), parent);

        QCOMPARE(GetPropA(hwnd, "kx_OptCount"), HANDLE(0));
        QVERIFY(SetPropA(hwnd, "kx_OptCount", 3));
        QVERIFY(SetPropA(hwnd, "kx_Obj1", HANDLE(0x7fff12345678)));
        QCOMPARE(GetPropA(hwnd, "KX_OPTCOUNT"), HANDLE(3)); // names ignore case
        QCOMPARE(GetPropA(hwnd, "kx_Obj1"), HANDLE(0x7fff12345678));
        QCOMPARE(RemovePropA(hwnd, "kx_optcount"), HANDLE(3));
        QCOMPARE(GetPropA(hwnd, "kx_OptCount"), HANDLE(0));
        QCOMPARE(RemovePropA(hwnd, "kx_OptCount"), HANDLE(0));
        QCOMPARE(GetPropA(childHwnd, "kx_Obj1"), HANDLE(0)); // each window has its own
        QVERIFY(SetPropA(childHwnd, "kx_TimerID", 237));
        QVERIFY(!SetPropA(0, "x", 1));
        QVERIFY(!SetPropA(hwnd, nullptr, 1));
        QCOMPARE(host::livePropertyCount(), propertiesBefore + 2);

        delete parent; // takes the child with it
        QCOMPARE(host::liveWindowCount(), windowsBefore);
        QCOMPARE(host::livePropertyCount(), propertiesBefore);
        QCOMPARE(host::widgetOf(childHwnd), nullptr);
        QVERIFY(!IsWindow(hwnd));
        QCOMPARE(GetPropA(hwnd, "kx_Obj1"), HANDLE(0));
        QVERIFY(!SetPropA(childHwnd, "kx_TimerID", 1));

        // A new widget, even at the same address, never gets a stale handle.
        QWidget fresh;
        QVERIFY(host::hwndOf(&fresh) != hwnd && host::hwndOf(&fresh) != childHwnd);
        QCOMPARE(GetPropA(host::hwndOf(&fresh), "kx_Obj1"), HANDLE(0));
    }

    void timerRunsOnUiThreadUntilKilledOrItsWindowDies()
    {
        auto *w = new QWidget;
        const HWND hwnd = host::hwndOf(w);
        // Started from a worker thread, the callback still runs on the UI thread.
        UINT_PTR result = 0;
        QThread *worker = QThread::create([&] { result = SetTimer(hwnd, 237, 20, CALLBACK_record); });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;
        QCOMPARE(result, UINT_PTR(237));

        QTRY_VERIFY(g_log.ticks >= 2);
        QCOMPARE(g_log.thread, QCoreApplication::instance()->thread());
        QCOMPARE(g_log.hwnd, hwnd);
        QCOMPARE(g_log.message, WM_TIMER);
        QCOMPARE(g_log.id, UINT_PTR(237));

        QVERIFY(KillTimer(hwnd, 237));
        const int ticks = g_log.ticks;
        QTest::qWait(120);
        QCOMPARE(g_log.ticks, ticks);
        QVERIFY(!KillTimer(hwnd, 237)); // already gone

        // Killed inside its own callback: one tick only.
        g_log = TimerLog{};
        g_log.killInside = true;
        QCOMPARE(SetTimer(hwnd, 237, 10, CALLBACK_record), UINT_PTR(237));
        QTRY_COMPARE(g_log.ticks, 1);
        QTest::qWait(80);
        QCOMPARE(g_log.ticks, 1);
        QCOMPARE(host::liveTimerCount(), 0);

        // Set again, the same timer is replaced; it dies with its window.
        g_log = TimerLog{};
        SetTimer(hwnd, 5, 10, CALLBACK_record);
        SetTimer(hwnd, 5, 10, CALLBACK_record);
        QCOMPARE(host::liveTimerCount(), 1);
        QTRY_VERIFY(g_log.ticks >= 1);
        delete w;
        QCOMPARE(host::liveTimerCount(), 0);
        const int lastTicks = g_log.ticks;
        QTest::qWait(60);
        QCOMPARE(g_log.ticks, lastTicks);
        QCOMPARE(SetTimer(hwnd, 5, 10, CALLBACK_record), UINT_PTR(0)); // stale window
    }

    void windowFromPoint_data()
    {
        QTest::addColumn<QPoint>("local"); // in the form
        QTest::addColumn<QString>("expected");
        // The form (200 x 100) holds "under" (0,0 100x100) and, above it,
        // "round" at (20,20) 60x40 with an elliptic window region.
        QTest::newRow("inside the ellipse") << QPoint(50, 40) << "round";
        QTest::newRow("rect corner outside the ellipse falls to the sibling under it") << QPoint(21, 21) << "under";
        QTest::newRow("near the left edge, above the curve") << QPoint(21, 25) << "under";
        QTest::newRow("leftmost column on the centre line") << QPoint(20, 40) << "round";
        QTest::newRow("beside both children") << QPoint(150, 50) << "form";
        QTest::newRow("in the hidden child") << QPoint(150, 10) << "form";
        QTest::newRow("in the disabled child") << QPoint(150, 80) << "form";
        QTest::newRow("outside any window") << QPoint(4700, 4800) << "none";
    }

    void windowFromPoint()
    {
        QFETCH(QPoint, local);
        QFETCH(QString, expected);
        host::Form form;
        form.setObjectName("form");
        form.setGeometry(300, 200, 200, 100);
        auto *under = new QWidget(&form);
        under->setObjectName("under");
        under->setGeometry(0, 0, 100, 100);
        auto *round = new QWidget(&form);
        round->setObjectName("round");
        round->setGeometry(20, 20, 60, 40);
        const int regionsBefore = gdi::liveObjects(gdi::Kind::Region);
        QCOMPARE(SetWindowRgn(host::hwndOf(round), CreateEllipticRgn(0, 0, 61, 41), TRUE), 1);
        auto *hidden = new QWidget(&form);
        hidden->setGeometry(140, 0, 60, 20);
        hidden->hide();
        auto *disabled = new QWidget(&form);
        disabled->setGeometry(140, 70, 60, 20);
        disabled->setEnabled(false);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        const QPoint global = form.mapToGlobal(local);
        QWidget *found = host::widgetOf(WindowFromPoint(POINT{global.x(), global.y()}));
        QCOMPARE(found ? found->objectName() : QStringLiteral("none"), expected);

        // The window owns the region: it stays alive with it and dies with it.
        QCOMPARE(gdi::liveObjects(gdi::Kind::Region), regionsBefore + 1);
        delete round;
        QCOMPARE(gdi::liveObjects(gdi::Kind::Region), regionsBefore);
    }

    void windowRegionReplacedIsDeleted()
    {
        QWidget w;
        w.resize(50, 50);
        const HWND hwnd = host::hwndOf(&w);
        const int before = gdi::liveObjects(gdi::Kind::Region);
        SetWindowRgn(hwnd, CreateRectRgn(0, 0, 10, 10), FALSE);
        SetWindowRgn(hwnd, CreateRectRgn(0, 0, 20, 20), FALSE);
        QCOMPARE(gdi::liveObjects(gdi::Kind::Region), before + 1);
        QCOMPARE(w.mask(), QRegion(0, 0, 20, 20));
        SetWindowRgn(hwnd, 0, FALSE);
        QCOMPARE(gdi::liveObjects(gdi::Kind::Region), before);
        QVERIFY(w.mask().isEmpty());
        // Not a region: refused, nothing taken.
        const HBRUSH brush = CreateSolidBrush(0);
        QCOMPARE(SetWindowRgn(hwnd, brush, FALSE), 0);
        QVERIFY(DeleteObject(brush));
    }

    void cursorCaptureAndClientCoordinates()
    {
        host::Form form;
        form.setGeometry(300, 200, 100, 100);
        auto *child = new QWidget(&form);
        child->setGeometry(10, 20, 30, 30);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint inChild = child->mapToGlobal(QPoint(5, 7));
        host::setCursorPosForTesting(inChild);
        POINT p{};
        QVERIFY(GetCursorPos(&p));
        QCOMPARE(QPoint(p.x, p.y), inChild);
        QVERIFY(ScreenToClient(host::hwndOf(child), &p));
        QCOMPARE(QPoint(p.x, p.y), QPoint(5, 7));
        QVERIFY(!ScreenToClient(0, &p));

        // Capture goes to one window at a time and ends with its window.
        auto *a = new QWidget;
        QCOMPARE(SetCapture(host::hwndOf(a)), HWND(0));
        QCOMPARE(GetCapture(), host::hwndOf(a));
        QCOMPARE(SetCapture(host::hwndOf(child)), host::hwndOf(a));
        QVERIFY(ReleaseCapture());
        QCOMPARE(GetCapture(), HWND(0));
        SetCapture(host::hwndOf(a));
        delete a;
        QCOMPARE(GetCapture(), HWND(0));
    }

    void postedKeyReachesContainer_data()
    {
        QTest::addColumn<int>("vk");
        QTest::addColumn<qint64>("lParam");
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("scanCode");
        // (Right and up posted to a form move the focus: tst_usercontrol.)
        QTest::newRow("down") << 40 << qint64(0x00500001) << int(Qt::Key_Down) << 0x50;
        QTest::newRow("left") << 37 << qint64(0x004B0001) << int(Qt::Key_Left) << 0x4B;
        QTest::newRow("letter") << int('Q') << qint64(0x00100001) << int(Qt::Key_Q) << 0x10;
    }

    void postedKeyReachesContainer()
    {
        QFETCH(int, vk);
        QFETCH(qint64, lParam);
        QFETCH(int, qtKey);
        QFETCH(int, scanCode);
        KeySink container;
        auto *frame = new QWidget(&container); // ignores keys: they travel up
        QVERIFY(PostMessageA(host::hwndOf(frame), WM_KEYDOWN, WPARAM(vk), LPARAM(lParam)));
        QVERIFY(container.presses.isEmpty()); // posted, not sent
        QTRY_COMPARE(container.presses.size(), 1);
        const KeySink::Press &key = container.presses.first();
        QCOMPARE(key.key, qtKey);
        QCOMPARE(int(key.scanCode), scanCode);
        QCOMPARE(int(key.virtualKey), vk);
        QCOMPARE(key.modifiers, Qt::NoModifier);
        QVERIFY(!PostMessageA(host::hwndOf(frame), 0x0010 /* WM_CLOSE */, 0, 0));
        QVERIFY(!PostMessageA(0, WM_KEYDOWN, WPARAM(vk), LPARAM(lParam)));
    }

    void virtualKeysRoundTrip_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("vk");
        // (Space, Enter, Escape, Shift and the arrows: the control's key
        // sequences and the posted keys above.)
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13;
        QTest::newRow("digit") << int(Qt::Key_7) << 0 << 55;
        QTest::newRow("shifted digit") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << 49;
        QTest::newRow("keypad digit") << int(Qt::Key_3) << int(Qt::KeypadModifier) << 0x63;
        QTest::newRow("F5") << int(Qt::Key_F5) << 0 << 0x74;
        QTest::newRow("comma") << int(Qt::Key_Comma) << 0 << 0xBC;
    }

    void virtualKeysRoundTrip()
    {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(int, vk);
        QCOMPARE(host::virtualKeyFromQtKey(qtKey, Qt::KeyboardModifiers(modifiers)), vk);
        // Back to Qt: shifted characters come back as their unshifted key.
        const int back = host::qtKeyFromVirtualKey(vk);
        QCOMPARE(host::virtualKeyFromQtKey(back, Qt::KeyboardModifiers(modifiers) & Qt::KeypadModifier), vk);
    }
};

QTEST_MAIN(tst_HostWindow)
#include "tst_hostwindow.moc"
