// Mouse, keyboard, access keys, focus, paint and drag-and-drop.
//
// Each handler updates the held / hover / pressed-look flags, redraws, and
// raises the control's event. Events are raised synchronously; a handler of
// the container may change the arguments (they are references) and may even
// delete the control, so every raise is followed by a liveness check.

#include <button/kxButtons_H.h>

#include <host/form.h>
#include <host/window.h>

#include <QPointer>

namespace {

constexpr int kLeftButton = 1;
constexpr int kVkShift = 16;
constexpr int kVkSpace = 32;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;

bool isArrow(int keyCode)
{
    return keyCode >= kVkLeft && keyCode <= kVkDown;
}

// lParam of a posted key-down: repeat count 1, scan code in bits 16-23.
LPARAM arrowLParam(int keyCode)
{
    switch (keyCode) {
    case kVkRight: return 0x004D0001;
    case kVkDown: return 0x00500001;
    case kVkLeft: return 0x004B0001;
    case kVkUp: return 0x00480001;
    default: return 1;
    }
}

// The runtime passes 16-bit arguments; the host hands us ints.
struct Short
{
    explicit Short(int &v) : ref(v), value(std::int16_t(v)) {}
    ~Short() { ref = value; }
    int &ref;
    std::int16_t value;
};

} // namespace

void kxButtons_H::UserControl_MouseDown(int &Button, int &Shift, float &X, float &Y)
{
    m_input.lastButton = std::int16_t(Button);
    if (Button == kLeftButton) {
        m_input.stateBits = std::int16_t(m_input.stateBits | kHeldFlag);
        m_input.pressedLook = True;
        m_surface.delayDrawing = False;
        Refresh();
        SetCapture(hwnd());
    }
    Short button(Button), shift(Shift);
    emit MouseDown(button.value, shift.value, X, Y);
}

void kxButtons_H::UserControl_MouseUp(int &Button, int &Shift, float &X, float &Y)
{
    m_input.pressedLook = False;
    if (Button == kLeftButton) {
        ReleaseCapture();
        m_input.stateBits = std::int16_t(m_input.stateBits & ~kHeldFlag);
        m_surface.delayDrawing = False;
        if (m_toggle.mode == CommandButton)
            Refresh(); // the other modes redraw through Value in the click
    }
    QPointer<kxButtons_H> self(this);
    {
        Short button(Button), shift(Shift);
        emit MouseUp(button.value, shift.value, X, Y);
    }
    if (self)
        m_input.lastButton = std::int16_t(Button);
}

void kxButtons_H::UserControl_Click()
{
    if (m_input.lastButton != kLeftButton)
        return;
    if (m_toggle.mode == CommandButton) {
        emit Click();
        return;
    }
    if (m_toggle.value != False && m_toggle.mode == OptionButton)
        return; // a selected option button stays selected, silently
    QPointer<kxButtons_H> self(this);
    Value(m_toggle.value == False);
    if (self)
        emit Click();
}

void kxButtons_H::UserControl_DblClick()
{
    POINT p{0, 0};
    GetCursorPos(&p);
    ScreenToClient(hwnd(), &p);
    float x = float(p.x);
    float y = float(p.y);

    QPointer<kxButtons_H> self(this);
    std::int16_t button = m_input.lastButton;
    emit DoubleClick(button);
    if (!self)
        return;
    if (m_input.lastButton == kLeftButton) {
        int left = kLeftButton;
        int shift = 0;
        UserControl_MouseDown(left, shift, x, y);
        if (self)
            m_input.lastButton = -1;
    } else {
        std::int16_t left = kLeftButton;
        std::int16_t shift = 0;
        emit MouseDown(left, shift, x, y);
    }
}

void kxButtons_H::UserControl_KeyDown(int &KeyCode, int &Shift)
{
    if (isArrow(KeyCode)) {
        const int code = KeyCode;
        KeyCode = 0;
        PostMessageA(containerWindow(), WM_KEYDOWN, WPARAM(code), arrowLParam(code));
    }
    if (KeyCode == kVkSpace && !(m_input.stateBits & kHeldFlag)) {
        m_input.stateBits = std::int16_t(m_input.stateBits | kHoverFlag | kHeldFlag);
        m_input.pressedLook = True;
        Refresh();
        if (m_input.tracking == False)
            m_input.stateBits = std::int16_t(m_input.stateBits & ~kHoverFlag);
    }
    if (KeyCode != 0) {
        Short keyCode(KeyCode), shift(Shift);
        emit KeyDown(keyCode.value, shift.value);
    }
}

void kxButtons_H::UserControl_KeyPress(int &KeyAscii)
{
    QPointer<kxButtons_H> self(this);
    {
        Short keyAscii(KeyAscii);
        emit KeyPress(keyAscii.value);
    }
    if (!self || KeyAscii <= 32 || KeyAscii >= 127)
        return;
    // A button takes no typed characters, so a character typed while one has
    // the focus is an access key of its form, as with Alt held.
    host::Form *form = Parent().form;
    if (form == nullptr)
        return;
    const QChar typed = QChar(KeyAscii).toUpper();
    const auto controls = form->findChildren<kxButtons_H *>();
    for (kxButtons_H *control : controls) {
        if (control->Parent().form != form || !control->isVisible() || !control->isEnabled()
            || host::isOutOfView(control))
            continue;
        const QString keys = control->AccessKeys();
        if (keys.size() == 1 && keys.at(0).toUpper() == typed) {
            control->deliverAccessKey(KeyAscii);
            return;
        }
    }
}

void kxButtons_H::UserControl_KeyUp(int &KeyCode, int &Shift)
{
    m_input.pressedLook = False;
    QPointer<kxButtons_H> self(this);
    if (KeyCode == kVkSpace && (m_input.stateBits & kHeldFlag)) {
        m_input.lastButton = kLeftButton;
        m_input.stateBits = std::int16_t(m_input.stateBits & ~kHeldFlag);
        if (m_toggle.mode > CommandButton) {
            {
                Short keyCode(KeyCode), shift(Shift);
                emit KeyUp(keyCode.value, shift.value);
            }
            if (!self)
                return;
            KeyCode = 0;
        } else {
            Refresh();
        }
        UserControl_Click();
        if (!self)
            return;
    }
    if (isArrow(KeyCode)) {
        KeyCode = 0;
        if (m_toggle.mode == OptionButton && m_toggle.value == False) {
            m_input.lastButton = kLeftButton;
            UserControl_Click(); // an option button reached with an arrow selects itself
            if (!self)
                return;
        }
    }
    if (KeyCode == kVkShift)
        KeyCode = 0;
    if (KeyCode != 0) {
        Short keyCode(KeyCode), shift(Shift);
        emit KeyUp(keyCode.value, shift.value);
    }
}

void kxButtons_H::UserControl_AccessKeyPress(int &KeyAscii)
{
    const bool enterOrEscape = KeyAscii == 13 || KeyAscii == 27;
    if (enterOrEscape && m_toggle.mode > CommandButton)
        return; // Enter and Escape never toggle check or option buttons
    if (!enterOrEscape && !(m_input.stateBits & kDefaultFlag))
        Refresh();
    m_input.lastButton = kLeftButton;
    UserControl_Click();
}

void kxButtons_H::UserControl_GotFocus()
{
    if (m_toggle.mode != OptionButton || m_toggle.value != False)
        return;
    std::int16_t ask = 2;
    bool anySelected = false;
    OptionToggle(ask, anySelected);
    if (!anySelected) {
        m_input.lastButton = kLeftButton;
        UserControl_Click(); // focus entering an empty group selects this button
    }
}

void kxButtons_H::UserControl_Paint()
{
    m_surface.delayDrawing = False;
    RedrawButton();
}

void kxButtons_H::UserControl_OLECompleteDrag(int &Effect)
{
    std::int32_t effect = Effect;
    emit OLECompleteDrag(effect);
    Effect = effect;
}

void kxButtons_H::UserControl_OLEDragDrop(host::DataObject &Data, int &Effect, int &Button, int &Shift, float &X,
                                          float &Y)
{
    std::int32_t effect = Effect;
    {
        Short button(Button), shift(Shift);
        emit OLEDragDrop(Data, effect, button.value, shift.value, X, Y);
    }
    Effect = effect;
}

void kxButtons_H::UserControl_OLEDragOver(host::DataObject &Data, int &Effect, int &Button, int &Shift, float &X,
                                          float &Y, int &State)
{
    std::int32_t effect = Effect;
    {
        Short button(Button), shift(Shift), state(State);
        emit OLEDragOver(Data, effect, button.value, shift.value, X, Y, state.value);
    }
    Effect = effect;
}

void kxButtons_H::UserControl_OLEGiveFeedback(int &Effect, bool &DefaultCursors)
{
    std::int32_t effect = Effect;
    emit OLEGiveFeedback(effect, DefaultCursors);
    Effect = effect;
}

void kxButtons_H::UserControl_OLESetData(host::DataObject &Data, int &DataFormat)
{
    Short format(DataFormat);
    emit OLESetData(Data, format.value);
}

void kxButtons_H::UserControl_OLEStartDrag(host::DataObject &Data, int &AllowedEffects)
{
    std::int32_t allowed = AllowedEffects;
    emit OLEStartDrag(Data, allowed);
    AllowedEffects = allowed;
}
