#pragma once
// Rasterisers shared by the drawing calls (and checked directly by tests).

#include "region.h"

#include <gdi/gdi.h>

#include <cstdint>
#include <vector>

namespace gdi {

// A cosmetic (1-pixel) segment: lights its start pixel, never its end pixel,
// max(|dx|,|dy|) pixels in all.
void cosmeticLine(int x0, int y0, int x1, int y1, std::vector<RowSpan> &out);
// The round dot a wide pen leaves at a point (its caps and joins).
Region penDot(int x, int y, int width);
// A segment drawn with a pen `width` >= 2 pixels wide, caps included.
Region wideSegment(int x0, int y0, int x1, int y1, int width);
// The pixels of a polyline with a pen of `width` (<= 1: cosmetic).
Region polylineRegion(const POINT *pts, int count, int width, bool closed);

struct ArcRays
{
    double xStart, yStart, xEnd, yEnd;
};
// The outline of the ellipse inscribed in box, limited to the arc between
// the rays when given, drawn with a pen of `width`.
Region curveOutline(const Rect &box, int width, const ArcRays *rays);
// True when such an outline would be unreasonably large to build.
bool curveTooLarge(const Rect &box, int width);

// A ROP3 applied bitwise: result bit = (index >> (p*4 + s*2 + d)) & 1.
std::uint32_t rop3(std::uint8_t index, std::uint32_t p, std::uint32_t s, std::uint32_t d);
// The same over a run of pixels (s may be null when the code ignores the
// source); common codes take their own loops.
void ropRow(std::uint8_t index, std::uint32_t p, const std::uint32_t *s, std::uint32_t *d, int n);
bool ropUsesSource(DWORD rop);
bool ropUsesPattern(DWORD rop);

// StretchBlt's index maps. For each destination index, the first source
// index and the count of sources that merge into it.
struct IndexRange
{
    int first;
    int count;
};
std::vector<IndexRange> stretchMap(int srcSize, int dstSize);

// The drawing calls take shortcuts for common cases (solid rectangles with a
// thin pen, straight block copies, repeated captions) while this is true;
// tests switch them off (gdi/testsupport) to compare the two.
inline bool g_fastPaths = true;
inline bool fastPathsEnabled() { return g_fastPaths; }

} // namespace gdi
