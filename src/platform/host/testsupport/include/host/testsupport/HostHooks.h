#pragma once
// What tests use to steer and look inside the forms runtime. Defined beside
// the state they touch, in the host library, and declared only here, so that
// the program's own code does not reach them.

#include <QPointF>

namespace host {

// When set, GetCursorPos reports this global position (layout pixels, as
// QWidget::mapToGlobal gives) instead of the real pointer;
// clearCursorPosForTesting() goes back to the real one.
void setCursorPosForTesting(QPointF globalPos);
void clearCursorPosForTesting();

// Live counts, so tests can prove that tear-down leaves nothing behind.
int liveWindowCount();
int liveTimerCount();
int livePropertyCount();

// Number of Beep() calls so far (a test can compare before and after).
int beepCount();

} // namespace host
