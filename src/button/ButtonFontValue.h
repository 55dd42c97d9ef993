#pragma once
// Conversions between the host's font object and a stored font value.

#include <bag/FontValue.h>
#include <host/stdfont.h>

namespace kxbutton {

bag::FontValue fontValueOf(const host::StdFont &font);
host::StdFontPtr stdFontOf(const bag::FontValue &value);

} // namespace kxbutton
