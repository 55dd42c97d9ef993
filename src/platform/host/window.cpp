#include <host/msgbox.h>
#include <host/screenscale.h>
#include <host/window.h>

#include <gdi/bridge.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QHash>
#include <QKeyEvent>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <optional>

// One table holds every window handle with its properties and region, and
// every timer. It is locked because SetTimer/KillTimer/SetPropA may be called
// from any thread; widgets and QTimers are only touched on the UI thread.

namespace {

struct WindowEntry
{
    QWidget *widget = nullptr;
    QHash<QByteArray, HANDLE> properties; // names in lower case
    HRGN region = 0;                        // owned, 0 when none
    bool hasRegion = false;
    QRegion shape;                          // the region, device pixels
    bool seeThrough = false;                // made non-opaque for the region
};

struct TimerKey
{
    HWND hwnd;
    UINT_PTR id;
    bool operator==(const TimerKey &o) const { return hwnd == o.hwnd && id == o.id; }
};

size_t qHash(const TimerKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.hwnd, key.id);
}

struct TimerEntry
{
    TIMERPROC proc = nullptr;
    quint64 serial = 0;
    QTimer *timer = nullptr; // created and deleted on the UI thread
};

struct Tables
{
    QRecursiveMutex mutex;
    QHash<HWND, WindowEntry> windows;
    QHash<const QWidget *, HWND> byWidget;
    QHash<TimerKey, TimerEntry> timers;
    HWND nextHwnd = 0x00010010;
    UINT_PTR nextThreadTimerId = 0x7FF0;
    quint64 nextSerial = 0;
    HWND capture = 0;
    QTimer *firing = nullptr;
    std::optional<QPointF> testCursor;
};

Tables &tables()
{
    static Tables t;
    return t;
}

DWORD tickCount()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return DWORD(clock.elapsed());
}

bool onUiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Runs f on the UI thread: now when already there, else queued.
template<typename F>
void onUi(F &&f)
{
    if (onUiThread())
        f();
    else if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::forward<F>(f), Qt::QueuedConnection);
}

void disposeTimer(QTimer *timer)
{
    if (!timer)
        return;
    onUi([timer] {
        timer->stop();
        // A timer that is inside its own timeout emission is deleted later.
        if (tables().firing == timer)
            timer->deleteLater();
        else
            delete timer;
    });
}

void fireTimer(TimerKey key, quint64 serial)
{
    TIMERPROC proc = nullptr;
    QTimer *timer = nullptr;
    {
        QMutexLocker lock(&tables().mutex);
        auto it = tables().timers.find(key);
        if (it == tables().timers.end() || it->serial != serial)
            return;
        proc = it->proc;
        timer = it->timer;
    }
    if (!proc)
        return;
    QTimer *outer = tables().firing;
    tables().firing = timer;
    proc(key.hwnd, WM_TIMER, key.id, tickCount());
    tables().firing = outer;
}

void startTimer(TimerKey key, quint64 serial, UINT ms)
{
    QMutexLocker lock(&tables().mutex);
    auto it = tables().timers.find(key);
    if (it == tables().timers.end() || it->serial != serial)
        return; // killed before it could start
    auto *timer = new QTimer;
    timer->setInterval(int(qMin<UINT>(ms, 0x7FFFFFFF)));
    QObject::connect(timer, &QTimer::timeout, [key, serial] { fireTimer(key, serial); });
    it->timer = timer;
    timer->start();
}

// Called when a widget is destroyed: its handle, properties, region, timers
// and capture go with it.
void forgetWindow(HWND hwnd)
{
    HRGN region = 0;
    QList<QTimer *> deadTimers;
    {
        QMutexLocker lock(&tables().mutex);
        Tables &t = tables();
        auto it = t.windows.find(hwnd);
        if (it == t.windows.end())
            return;
        region = it->region;
        t.byWidget.remove(it->widget);
        t.windows.erase(it);
        for (auto ti = t.timers.begin(); ti != t.timers.end();) {
            if (ti.key().hwnd == hwnd) {
                deadTimers.append(ti->timer);
                ti = t.timers.erase(ti);
            } else {
                ++ti;
            }
        }
        if (t.capture == hwnd)
            t.capture = 0;
    }
    for (QTimer *timer : deadTimers)
        disposeTimer(timer);
    if (region)
        DeleteObject(region);
}

WindowEntry *entryOf(HWND hwnd)
{
    auto it = tables().windows.find(hwnd);
    return it == tables().windows.end() ? nullptr : &*it;
}

QByteArray propertyKey(const char *name)
{
    return QByteArray(name).toLower();
}

// The part of a widget (a point in its own layout pixels) that takes the
// pointer, to the device pixel.
bool hitsShape(QWidget *widget, QPointF local)
{
    const host::ScreenScale scale = host::ScreenScale::of(widget);
    const QPoint device = scale.devicePixelAt(local);
    if (device.x() < 0 || device.y() < 0 || device.x() >= scale.devicePixels(widget->width())
        || device.y() >= scale.devicePixels(widget->height()))
        return false;
    QMutexLocker lock(&tables().mutex);
    auto it = tables().byWidget.find(widget);
    if (it != tables().byWidget.end()) {
        const WindowEntry *entry = entryOf(*it);
        if (entry && entry->hasRegion)
            return entry->shape.contains(device);
    }
    const QRegion mask = widget->mask();
    return mask.isEmpty() || mask.contains(local.toPoint());
}

QWidget *deepestChildAt(QWidget *widget, QPointF local)
{
    const QObjectList &children = widget->children();
    // children() is in stacking order, bottom first.
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto *child = qobject_cast<QWidget *>(*it);
        if (!child || child->isWindow() || child->isHidden()
            || child->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        const QPointF p = local - QPointF(child->pos());
        if (!hitsShape(child, p))
            continue;
        if (!child->isEnabled())
            return widget; // a disabled window is not found; its parent is
        return deepestChildAt(child, p);
    }
    return widget;
}

} // namespace

// ---- Properties ----

BOOL SetPropA(HWND hWnd, const char *lpString, HANDLE hData)
{
    if (!lpString || !*lpString)
        return FALSE;
    QMutexLocker lock(&tables().mutex);
    WindowEntry *entry = entryOf(hWnd);
    if (!entry)
        return FALSE;
    entry->properties.insert(propertyKey(lpString), hData);
    return TRUE;
}

HANDLE GetPropA(HWND hWnd, const char *lpString)
{
    if (!lpString)
        return 0;
    QMutexLocker lock(&tables().mutex);
    const WindowEntry *entry = entryOf(hWnd);
    return entry ? entry->properties.value(propertyKey(lpString), 0) : 0;
}

HANDLE RemovePropA(HWND hWnd, const char *lpString)
{
    if (!lpString)
        return 0;
    QMutexLocker lock(&tables().mutex);
    WindowEntry *entry = entryOf(hWnd);
    return entry ? entry->properties.take(propertyKey(lpString)) : 0;
}

// ---- Timers ----

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    QTimer *replaced = nullptr;
    TimerKey key{hWnd, nIDEvent};
    quint64 serial;
    {
        QMutexLocker lock(&tables().mutex);
        Tables &t = tables();
        if (hWnd != 0 && !entryOf(hWnd))
            return 0;
        if (hWnd == 0 && (nIDEvent == 0 || !t.timers.contains(key))) {
            do {
                key.id = ++t.nextThreadTimerId;
            } while (t.timers.contains(key));
        }
        if (auto it = t.timers.find(key); it != t.timers.end())
            replaced = it->timer;
        serial = ++t.nextSerial;
        t.timers.insert(key, TimerEntry{lpTimerFunc, serial, nullptr});
    }
    disposeTimer(replaced);
    // USER raises elapses below 10 ms to 10 ms.
    const UINT ms = qMax<UINT>(uElapse, 10);
    onUi([key, serial, ms] { startTimer(key, serial, ms); });
    return key.id;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    QTimer *timer = nullptr;
    {
        QMutexLocker lock(&tables().mutex);
        auto it = tables().timers.find(TimerKey{hWnd, uIDEvent});
        if (it == tables().timers.end())
            return FALSE;
        timer = it->timer;
        tables().timers.erase(it);
    }
    disposeTimer(timer);
    return TRUE;
}

// ---- Capture and cursor ----

HWND SetCapture(HWND hWnd)
{
    QWidget *widget = host::widgetOf(hWnd);
    QWidget *previousWidget = nullptr;
    HWND previous;
    {
        QMutexLocker lock(&tables().mutex);
        previous = tables().capture;
        if (!widget)
            return previous;
        if (previous != hWnd)
            previousWidget = host::widgetOf(previous);
        tables().capture = hWnd;
    }
    if (previousWidget)
        previousWidget->releaseMouse();
    widget->grabMouse();
    return previous;
}

BOOL ReleaseCapture()
{
    QWidget *widget = nullptr;
    {
        QMutexLocker lock(&tables().mutex);
        widget = host::widgetOf(tables().capture);
        tables().capture = 0;
    }
    if (widget)
        widget->releaseMouse();
    return TRUE;
}

HWND GetCapture()
{
    QMutexLocker lock(&tables().mutex);
    return tables().capture;
}

BOOL GetCursorPos(POINT *lpPoint)
{
    if (!lpPoint)
        return FALSE;
    QPointF layout;
    {
        QMutexLocker lock(&tables().mutex);
        if (tables().testCursor)
            layout = *tables().testCursor;
        else
            layout = QCursor::pos();
    }
    const QPoint pos = host::globalDevicePixel(layout);
    lpPoint->x = pos.x();
    lpPoint->y = pos.y();
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, POINT *lpPoint)
{
    QWidget *widget = host::widgetOf(hWnd);
    if (!widget || !lpPoint)
        return FALSE;
    const QPointF local = widget->mapFromGlobal(host::globalLayoutPoint(QPoint(lpPoint->x, lpPoint->y)));
    const QPoint p = host::ScreenScale::of(widget).devicePixelAt(local);
    lpPoint->x = p.x();
    lpPoint->y = p.y();
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, POINT *lpPoint)
{
    QWidget *widget = host::widgetOf(hWnd);
    if (!widget || !lpPoint)
        return FALSE;
    const host::ScreenScale scale = host::ScreenScale::of(widget);
    const QPoint p = host::globalDevicePixel(widget->mapToGlobal(scale.layoutPoint(QPointF(lpPoint->x, lpPoint->y))));
    lpPoint->x = p.x();
    lpPoint->y = p.y();
    return TRUE;
}

HWND WindowFromPoint(POINT Point)
{
    const QPointF global = host::globalLayoutPoint(QPoint(Point.x, Point.y));
    // Top-level windows, topmost first: the active modal window, the active
    // window, then the others, the most recently created first.
    QList<QWidget *> candidates;
    const auto add = [&](QWidget *w) {
        if (w && w->isWindow() && w->isVisible() && !w->isMinimized() && !candidates.contains(w)
            && w->windowType() != Qt::ToolTip && !w->testAttribute(Qt::WA_TransparentForMouseEvents))
            candidates.append(w);
    };
    add(QApplication::activePopupWidget());
    add(QApplication::activeModalWidget());
    add(QApplication::activeWindow());
    const QWindowList windows = QGuiApplication::topLevelWindows();
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        for (QWidget *w : widgets) {
            if (w->windowHandle() == *it)
                add(w);
        }
    }
    for (QWidget *top : std::as_const(candidates)) {
        const QPointF local = top->mapFromGlobal(global);
        if (!hitsShape(top, local))
            continue;
        if (!top->isEnabled())
            return 0;
        return host::hwndOf(deepestChildAt(top, local));
    }
    return 0;
}

// ---- Posted keys ----

namespace {

// A key event of PostMessageA's making. Qt hands the same event object to
// each parent in turn, so its type marks it all the way up.
class PostedKeyEvent final : public QKeyEvent
{
public:
    using QKeyEvent::QKeyEvent;
};

} // namespace

bool host::isPostedKey(const QKeyEvent *event)
{
    return dynamic_cast<const PostedKeyEvent *>(event) != nullptr;
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (Msg != WM_KEYDOWN && Msg != WM_KEYUP)
        return FALSE;
    QWidget *widget = host::widgetOf(hWnd);
    if (!widget)
        return FALSE;
    const int vk = int(wParam & 0xFF);
    const int qtKey = host::qtKeyFromVirtualKey(vk);
    const quint32 scanCode = quint32((quint64(lParam) >> 16) & 0xFF);
    const int repeat = int(lParam & 0xFFFF);
    const bool autoRepeat = Msg == WM_KEYDOWN && (lParam & (LPARAM(1) << 30));
    auto *event = new PostedKeyEvent(Msg == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease, qtKey,
                                Qt::NoModifier, scanCode, quint32(vk), 0, QString(), autoRepeat,
                                quint16(qMax(repeat, 1)));
    QCoreApplication::postEvent(widget, event);
    return TRUE;
}

// ---- Window regions ----

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw)
{
    Q_UNUSED(bRedraw); // Qt repaints a widget whose mask changes
    if (hRgn != 0 && GetObjectType(hRgn) != OBJ_REGION)
        return 0;
    QWidget *widget = nullptr;
    HRGN old = 0;
    const QRegion shape = hRgn ? gdi::toQRegion(hRgn) : QRegion();
    bool wasSeeThrough = false;
    {
        QMutexLocker lock(&tables().mutex);
        WindowEntry *entry = entryOf(hWnd);
        if (!entry)
            return 0;
        widget = entry->widget;
        old = entry->region;
        entry->region = hRgn;
        entry->hasRegion = hRgn != 0;
        entry->shape = shape;
        wasSeeThrough = entry->seeThrough;
        if (hRgn == 0)
            entry->seeThrough = false;
    }
    if (old && old != hRgn)
        DeleteObject(old);
    if (hRgn == 0) {
        if (wasSeeThrough)
            widget->setAttribute(Qt::WA_OpaquePaintEvent, true);
        widget->clearMask();
        return 1;
    }
    // The mask is in layout pixels: those the region covers at least in
    // part. Where it covers one only in part, what lies under the window
    // shows through the rest, so an opaque widget becomes see-through (and
    // draws only inside its region) until its region is removed.
    const QRegion cover = host::ScreenScale::of(widget).layoutCover(shape);
    if (cover != shape && widget->testAttribute(Qt::WA_OpaquePaintEvent)) {
        widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
        QMutexLocker lock(&tables().mutex);
        if (WindowEntry *entry = entryOf(hWnd))
            entry->seeThrough = true;
    }
    // An empty window region hides the whole window; QWidget treats an
    // empty mask as no mask, so mask with a point outside instead.
    widget->setMask(cover.isEmpty() ? QRegion(-1, -1, 1, 1) : cover);
    return 1;
}

BOOL IsWindow(HWND hWnd)
{
    QMutexLocker lock(&tables().mutex);
    return entryOf(hWnd) ? TRUE : FALSE;
}

BOOL MessageBeep(UINT uType)
{
    Q_UNUSED(uType);
    host::Beep();
    return TRUE;
}

BOOL Beep(DWORD dwFreq, DWORD dwDuration)
{
    Q_UNUSED(dwFreq);
    Q_UNUSED(dwDuration);
    host::Beep();
    return TRUE;
}

namespace host {

HWND hwndOf(QWidget *widget)
{
    if (!widget)
        return 0;
    QMutexLocker lock(&tables().mutex);
    Tables &t = tables();
    if (auto it = t.byWidget.find(widget); it != t.byWidget.end())
        return *it;
    const HWND hwnd = t.nextHwnd;
    t.nextHwnd += 0x10;
    WindowEntry entry;
    entry.widget = widget;
    t.windows.insert(hwnd, entry);
    t.byWidget.insert(widget, hwnd);
    QObject::connect(widget, &QObject::destroyed, [hwnd] { forgetWindow(hwnd); });
    return hwnd;
}

QWidget *widgetOf(HWND hWnd)
{
    QMutexLocker lock(&tables().mutex);
    const WindowEntry *entry = entryOf(hWnd);
    return entry ? entry->widget : nullptr;
}

std::optional<QRegion> windowRegion(const QWidget *widget)
{
    QMutexLocker lock(&tables().mutex);
    auto it = tables().byWidget.find(widget);
    const WindowEntry *entry = it == tables().byWidget.end() ? nullptr : entryOf(*it);
    if (!entry || !entry->hasRegion)
        return std::nullopt;
    return entry->shape;
}

// The hooks declared for tests in host/testsupport/HostHooks.h.

void setCursorPosForTesting(QPointF globalPos)
{
    QMutexLocker lock(&tables().mutex);
    tables().testCursor = globalPos;
}

void clearCursorPosForTesting()
{
    QMutexLocker lock(&tables().mutex);
    tables().testCursor.reset();
}

int liveWindowCount()
{
    QMutexLocker lock(&tables().mutex);
    return int(tables().windows.size());
}

int liveTimerCount()
{
    QMutexLocker lock(&tables().mutex);
    return int(tables().timers.size());
}

int livePropertyCount()
{
    QMutexLocker lock(&tables().mutex);
    int n = 0;
    for (const WindowEntry &entry : std::as_const(tables().windows))
        n += int(entry.properties.size());
    return n;
}

} // namespace host
