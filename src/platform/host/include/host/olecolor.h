#pragma once
// OLE colours: 0x00BBGGRR for RGB, or 0x80000000 + n for system colour n.

#include <gdi/gdi.h>

#include <QColor>

#include <cstdint>

namespace host {

using OLE_COLOR = std::uint32_t;

inline constexpr OLE_COLOR vbButtonFace = 0x8000000F;
inline constexpr OLE_COLOR vbButtonText = 0x80000012;
inline constexpr OLE_COLOR vbWindowBackground = 0x80000005;
inline constexpr OLE_COLOR vbWindowText = 0x80000008;

// The RGB value of an OLE colour: system colours through GetSysColor, RGB
// values unchanged. A value that is neither (high byte other than 0 or 0x80,
// or an unknown system index) gives false and leaves *rgb alone.
bool translateColor(OLE_COLOR color, COLORREF *rgb);
// The same as a QColor; an invalid colour gives black.
QColor toQColor(OLE_COLOR color);

} // namespace host
