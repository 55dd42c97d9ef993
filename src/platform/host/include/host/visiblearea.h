#pragma once
// Whether a control can be seen at all in its window.

class QWidget;

namespace host {

// True when no pixel of `widget` lies inside its window's client area: its
// rectangle, clipped by every container up to the window, is empty. A
// control hidden this way (the right-hand column of a narrowed window) is
// still shown as far as Qt knows, so visibility alone does not tell. The
// window itself is never outside.
bool isOutsideVisibleArea(const QWidget *widget);

} // namespace host
