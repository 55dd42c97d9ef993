#pragma once
// Pixel sets for the software GDI: rectangles and regions.

#include <cstdint>
#include <vector>

namespace gdi {

// A rectangle of pixels with GDI's half-open edges: columns left..right-1,
// rows top..bottom-1.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect normalized() const;
    Rect intersected(const Rect &o) const;
    Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const Rect &) const = default;
};

// One run of pixels on a row: columns x1..x2-1.
struct Span
{
    int x1;
    int x2;
    bool operator==(const Span &) const = default;
};

// One row's run, used to build regions from rasterised shapes.
struct RowSpan
{
    int y;
    int x1;
    int x2;
};

// A region is a list of y-x bands:
//
//   top ─┬───────────────────────────────
//        │   [x1,x2)     [x1,x2)          band 0: rows top..bottom-1
//   bot ─┴───────────────────────────────
//        ┊ (gap: rows in no band)
//        ┬───────────────────────────────
//        │ [x1,x2)                        band 1
//        ┴───────────────────────────────
//
// Invariants (checked by isValid()): bands are sorted by top, do not overlap
// and are not empty; each band's spans are sorted, non-empty and separated
// by at least one pixel; two bands that touch vertically never carry the
// same spans (they are merged). So equal pixel sets have equal
// representations, and operator== compares pixel sets.
class Region
{
public:
    struct Band
    {
        int top;
        int bottom;
        std::vector<Span> spans;
        bool operator==(const Band &) const = default;
    };

    enum class Op { And, Or, Xor, Diff };

    Region() = default;
    explicit Region(const Rect &rect);

    // Any spans, any order, may overlap or be empty.
    static Region fromRowSpans(std::vector<RowSpan> spans);

    bool isEmpty() const { return m_bands.empty(); }
    Rect boundingRect() const;
    bool contains(int x, int y) const;
    int rectCount() const;
    const std::vector<Band> &bands() const { return m_bands; }
    // Spans of row y, or null when the row is empty.
    const std::vector<Span> *rowSpans(int y) const;

    Region combined(const Region &other, Op op) const;
    Region united(const Region &o) const { return combined(o, Op::Or); }
    Region intersected(const Region &o) const { return combined(o, Op::And); }
    Region intersected(const Rect &r) const { return combined(Region(r), Op::And); }
    Region subtracted(const Region &o) const { return combined(o, Op::Diff); }
    Region xored(const Region &o) const { return combined(o, Op::Xor); }
    void translate(int dx, int dy);

    bool isValid() const;
    bool operator==(const Region &) const = default;

private:
    std::vector<Band> m_bands;
    void appendBand(int top, int bottom, std::vector<Span> &&spans);
};

// Shape rasterisers.

// Pixels (x,y) whose integer point lies inside the polygon (left/top edges
// in, right/bottom edges out); fillMode is ALTERNATE (1) or WINDING (2).
Region polygonRegion(const std::int64_t *xy, int count, int fillMode);
// The same rule for real-valued vertices (outlines of wide pens).
Region polygonRegionF(const double *xy, int count, int fillMode);

// Offsets, in half pixels from the centre, of the first quadrant of the
// outline of an ellipse with diameters a = w-1 and b = h-1 pixels.
struct HalfPoint
{
    int x;
    int y;
};
std::vector<HalfPoint> ellipseQuadrant(int a, int b);

// The 8-connected outline inscribed in box (l..r-1 x t..b-1).
std::vector<RowSpan> ellipseOutline(const Rect &box);
// The outline and everything inside it.
Region ellipseFilled(const Rect &box);
// CreateEllipticRgn's pixel set (one pixel smaller than ellipseFilled).
Region ellipticRegion(const Rect &box);

} // namespace gdi
