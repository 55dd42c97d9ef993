// Hover tracking: entry is noticed by the control's own mouse-move handler,
// the exit by a 50 ms window timer that asks which window is under the
// cursor. The timer finds its control through properties of the control's
// window ("kx_ClassID": the control's address, "kx_TimerID": 237); tear-down
// kills the timer and removes both, so a tick never reaches a dead control.

#include <button/kxButtons_H.h>

#include <host/window.h>

#include <QPointer>

namespace {

constexpr UINT kHoverInterval = 50;

} // namespace

void modKxTimer::HoverTimerProc(HWND hwnd, UINT /*uMsg*/, UINT_PTR idEvent, DWORD /*dwTime*/)
{
    auto *control = reinterpret_cast<kxButtons_H *>(GetPropA(hwnd, "kx_ClassID"));
    const auto timerId = std::int32_t(GetPropA(hwnd, "kx_TimerID"));
    if (control == nullptr) {
        KillTimer(hwnd, idEvent); // nobody left to ask for this timer
        return;
    }
    control->HoverTimerTick(timerId);
}

void kxButtons_H::UserControl_MouseMove(int &Button, int &Shift, float &X, float &Y)
{
    // Outside positions arrive while the mouse is captured; they never start
    // tracking. The edges count as inside.
    const bool inside = X >= 0 && Y >= 0 && X <= ScaleWidth() && Y <= ScaleHeight();
    if (m_input.tracking == False && inside) {
        m_input.stateBits = std::int16_t(m_input.stateBits | kHoverFlag);
        QPointer<kxButtons_H> self(this);
        bool onButton = true;
        emit MouseOnButton(onButton);
        if (!self)
            return;
        const HWND own = hwnd();
        SetPropA(own, "kx_ClassID", reinterpret_cast<HANDLE>(this));
        SetPropA(own, "kx_TimerID", HANDLE(kHoverTimerId));
        SetTimer(own, kHoverTimerId, kHoverInterval, &modKxTimer::HoverTimerProc);
        m_input.tracking = True;
        m_surface.delayDrawing = False;
        if (Button == 1)
            m_input.pressedLook = True;
        Refresh();
    }
    std::int16_t button = std::int16_t(Button);
    std::int16_t shift = std::int16_t(Shift);
    emit MouseMove(button, shift, X, Y);
    Button = button;
    Shift = shift;
}

void kxButtons_H::HoverTimerTick(std::int32_t TimerID)
{
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    const HWND own = hwnd();
    if (WindowFromPoint(cursor) == own)
        return; // still on the button (its region counts)
    KillTimer(own, UINT_PTR(TimerID));
    m_input.stateBits = std::int16_t(m_input.stateBits & ~kHoverFlag);
    m_input.tracking = False;
    m_surface.delayDrawing = False;
    QPointer<kxButtons_H> self(this);
    bool onButton = false;
    emit MouseOnButton(onButton);
    if (!self)
        return;
    m_input.pressedLook = False;
    Refresh();
}
