#pragma once
// What the parts of the user-control host share (usercontrol.cpp,
// usercontrol_cursor.cpp, usercontrol_dragdrop.cpp).

#include <host/runtimeerror.h>
#include <host/usercontrol.h>

#include <exception>

namespace host {

// The runtime's codes of held mouse buttons and of Shift, Ctrl and Alt.
int buttonsMask(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

// Runs a handler; a run-time error it throws ends in the run-time error
// report.
template<typename F>
void UserControl::guarded(F &&handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        raiseRuntimeError(error);
    } catch (const std::exception &error) {
        raiseRuntimeError(51, QStringLiteral("Internal error: %1").arg(QString::fromLocal8Bit(error.what())));
    }
}

} // namespace host
