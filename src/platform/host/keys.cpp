#include <host/window.h>

#include <Qt>

// Virtual-key codes of the keys a user can press on a US keyboard, and the
// Qt keys they correspond to.

namespace {

struct KeyPair
{
    int vk;
    int qt;
};

// Keys whose code does not follow from a range below. Where several Qt keys
// share a virtual key (a shifted punctuation character, Enter on the keypad),
// the first pair of a virtual key is the one qtKeyFromVirtualKey returns.
constexpr KeyPair kPairs[] = {
    {0x08, Qt::Key_Backspace}, {0x09, Qt::Key_Tab}, {0x09, Qt::Key_Backtab},
    {0x0C, Qt::Key_Clear}, {0x0D, Qt::Key_Return}, {0x0D, Qt::Key_Enter},
    {0x10, Qt::Key_Shift}, {0x11, Qt::Key_Control}, {0x12, Qt::Key_Alt},
    {0x13, Qt::Key_Pause}, {0x14, Qt::Key_CapsLock}, {0x1B, Qt::Key_Escape},
    {0x20, Qt::Key_Space}, {0x21, Qt::Key_PageUp}, {0x22, Qt::Key_PageDown},
    {0x23, Qt::Key_End}, {0x24, Qt::Key_Home}, {0x25, Qt::Key_Left},
    {0x26, Qt::Key_Up}, {0x27, Qt::Key_Right}, {0x28, Qt::Key_Down},
    {0x29, Qt::Key_Select}, {0x2A, Qt::Key_Print}, {0x2B, Qt::Key_Execute},
    {0x2C, Qt::Key_SysReq}, {0x2D, Qt::Key_Insert}, {0x2E, Qt::Key_Delete},
    {0x2F, Qt::Key_Help}, {0x5B, Qt::Key_Meta}, {0x5D, Qt::Key_Menu},
    {0x90, Qt::Key_NumLock}, {0x91, Qt::Key_ScrollLock},
    {0xBA, Qt::Key_Semicolon}, {0xBA, Qt::Key_Colon},
    {0xBB, Qt::Key_Equal}, {0xBB, Qt::Key_Plus},
    {0xBC, Qt::Key_Comma}, {0xBC, Qt::Key_Less},
    {0xBD, Qt::Key_Minus}, {0xBD, Qt::Key_Underscore},
    {0xBE, Qt::Key_Period}, {0xBE, Qt::Key_Greater},
    {0xBF, Qt::Key_Slash}, {0xBF, Qt::Key_Question},
    {0xC0, Qt::Key_QuoteLeft}, {0xC0, Qt::Key_AsciiTilde},
    {0xDB, Qt::Key_BracketLeft}, {0xDB, Qt::Key_BraceLeft},
    {0xDC, Qt::Key_Backslash}, {0xDC, Qt::Key_Bar},
    {0xDD, Qt::Key_BracketRight}, {0xDD, Qt::Key_BraceRight},
    {0xDE, Qt::Key_Apostrophe}, {0xDE, Qt::Key_QuoteDbl},
    // Shifted digits.
    {0x30, Qt::Key_ParenRight}, {0x31, Qt::Key_Exclam}, {0x32, Qt::Key_At},
    {0x33, Qt::Key_NumberSign}, {0x34, Qt::Key_Dollar}, {0x35, Qt::Key_Percent},
    {0x36, Qt::Key_AsciiCircum}, {0x37, Qt::Key_Ampersand}, {0x38, Qt::Key_Asterisk},
    {0x39, Qt::Key_ParenLeft},
};

// The keypad's operators, by virtual key (VK_MULTIPLY ... VK_DIVIDE).
constexpr KeyPair kKeypad[] = {
    {0x6A, Qt::Key_Asterisk}, {0x6B, Qt::Key_Plus}, {0x6D, Qt::Key_Minus},
    {0x6E, Qt::Key_Period}, {0x6F, Qt::Key_Slash},
};

} // namespace

namespace host {

int virtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return 0x60 + (qtKey - Qt::Key_0); // VK_NUMPAD0..9
        for (const KeyPair &p : kKeypad) {
            if (p.qt == qtKey)
                return p.vk;
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 'A'..'Z' share their codes
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    for (const KeyPair &p : kPairs) {
        if (p.qt == qtKey)
            return p.vk;
    }
    return 0;
}

int qtKeyFromVirtualKey(int virtualKey)
{
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return virtualKey;
    if (virtualKey >= 0x60 && virtualKey <= 0x69)
        return Qt::Key_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87)
        return Qt::Key_F1 + (virtualKey - 0x70);
    for (const KeyPair &p : kKeypad) {
        if (p.vk == virtualKey)
            return p.qt;
    }
    for (const KeyPair &p : kPairs) {
        if (p.vk == virtualKey)
            return p.qt;
    }
    return Qt::Key_unknown;
}

} // namespace host
