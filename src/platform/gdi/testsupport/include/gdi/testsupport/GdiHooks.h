#pragma once
// What tests use to look inside the GDI stand-in. Defined beside the state
// they read, in the gdi library, and declared only here, so that the
// program's own code does not reach them.

#include <gdi/bridge.h>

namespace gdi {

// Objects created and not yet deleted, stock objects excluded: a tear-down
// that leaves nothing behind brings them back to where they were.
int liveObjects(Kind kind);
int liveObjectsTotal();

// Switches the drawing calls' shortcuts for common cases off (or back on),
// so that the generic code alone runs and can be compared pixel for pixel.
void setFastPathsEnabled(bool enabled);

// Caption lines drawn so far by blending kept glyph coverage.
int stampedTextLines();

} // namespace gdi
