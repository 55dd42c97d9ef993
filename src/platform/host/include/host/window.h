#pragma once
// Window handles, window properties, timers, mouse capture, the cursor and
// posted keys: the USER calls the button control makes, over Qt widgets.
//
// An HWND is made for a widget the first time one is asked for and dies with
// the widget (QObject::destroyed); its properties, timers, capture and window
// region die with it. Handles are never reused, so a stale HWND finds
// nothing and every call on it fails harmlessly.
//
// Threads: the tables are locked, so any thread may call these functions;
// timer callbacks and posted keys are always delivered on the UI thread
// (the thread of QCoreApplication), one at a time, from its event loop.

#include <gdi/gdi.h>

#include <QPoint>
#include <QRegion>

#include <cstdint>
#include <optional>

class QKeyEvent;
class QWidget;

using UINT_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_TIMER = 0x0113;

// Properties: names compare without regard to case; an absent one reads 0.
BOOL SetPropA(HWND hWnd, const char *lpString, HANDLE hData);
HANDLE GetPropA(HWND hWnd, const char *lpString);
HANDLE RemovePropA(HWND hWnd, const char *lpString); // the value removed, or 0

// Timers. With a window, the identifier is the caller's and setting it again
// replaces the timer; the result is nIDEvent (or 0 on failure). Without a
// window (hWnd 0) a fresh identifier is returned. lpTimerFunc is called as
// (hWnd, WM_TIMER, id, milliseconds since start-up); a null callback makes a
// timer that does nothing (there is no message queue to post WM_TIMER to).
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
// After KillTimer returns, the callback is not called again for that timer,
// also when KillTimer runs inside the callback itself.
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

// Capture: all mouse input goes to the capturing window until released.
HWND SetCapture(HWND hWnd); // returns the previous capture window
BOOL ReleaseCapture();
HWND GetCapture();

// Window and screen coordinates are device pixels (see host/screenscale.h).
// The cursor in global (screen) coordinates.
BOOL GetCursorPos(POINT *lpPoint);
BOOL ScreenToClient(HWND hWnd, POINT *lpPoint);
BOOL ClientToScreen(HWND hWnd, POINT *lpPoint);
// The deepest visible, enabled window under a screen point. A window's
// region (SetWindowRgn, QWidget::setMask) counts: a point outside it belongs
// to whatever lies under that window.
HWND WindowFromPoint(POINT Point);

// Only WM_KEYDOWN and WM_KEYUP are understood: they post a key event (wParam
// the virtual-key code, lParam bits 16-23 the scan code) to the window's
// widget; as with any key event a widget ignores, it travels up to the
// parents. host::isPostedKey tells it from a typed key. Other messages are
// refused (FALSE).
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// The window takes ownership of hRgn (and deletes it when replaced, when 0
// is set, or when the window dies); the caller must not use it afterwards.
// The region (window coordinates) gives the widget's mask: the layout pixels
// it covers. The region itself decides, to the device pixel, which points
// are the window's (WindowFromPoint, host::windowRegion).
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);

BOOL IsWindow(HWND hWnd);

// The default system beep (MessageBeep(0) / MessageBeep(0xFFFFFFFF)).
BOOL MessageBeep(UINT uType);
BOOL Beep(DWORD dwFreq, DWORD dwDuration);

namespace host {

// The window handle of a widget, made on first ask (0 for nullptr).
HWND hwndOf(QWidget *widget);
// The widget of a live window handle, or nullptr.
QWidget *widgetOf(HWND hWnd);

// The window region of a widget in its device pixels; nullopt without one.
std::optional<QRegion> windowRegion(const QWidget *widget);

// True for a key event that PostMessageA made, also while it travels up
// to the parents of the window it was posted to.
bool isPostedKey(const QKeyEvent *event);

// Virtual-key codes <-> Qt keys (US layout for punctuation). 0 / Qt::Key_unknown
// when there is no match.
int virtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
int qtKeyFromVirtualKey(int virtualKey);

} // namespace host
