#pragma once
// The pointer to the device pixel.
//
// Qt hands a widget its mouse events at whole layout pixels: it rounds the
// window system's position, so at a scale above 1 the device pixel is lost,
// and a point in the right or lower half of a layout pixel goes to the next
// one, possibly to another widget. The runtime's controls work in device
// pixels (mouse X and Y, window regions), so the host watches the pointer
// events that reach its windows:
//  - it keeps the exact position of the latest one, and
//  - it moves each to the layout pixel that holds its device pixel, so the
//    widget under that device pixel is the one that receives it.
// At scale 1 positions are whole pixels and nothing is moved.

#include <QPointF>

#include <optional>

class QSinglePointEvent;

namespace host {

// Starts watching (once per application; later calls do nothing).
void watchDevicePointer();

// How far the watcher moved the pointer event a widget received (layout
// pixels): its exact position is its position less this. nullopt for an
// event that arrived as it was (its own position is exact then).
std::optional<QPointF> pointerShift(const QSinglePointEvent *event);

} // namespace host
