#pragma once
// Pixel sets for the software GDI: rectangles and regions.

#include <algorithm>
#include <cstdint>
#include <span>
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
    Rect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    Rect intersected(const Rect &o) const
    {
        const Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        return r.isEmpty() ? Rect{} : r;
    }
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
// Every band's spans sit in one shared array, band after band with no gaps,
// so a region is two allocations however many bands it has.
//
// Invariants (checked by isValid()): bands are sorted by top, do not overlap
// and are not empty; each band's spans are sorted, non-empty and separated
// by at least one pixel; two bands that touch vertically never carry the
// same spans (they are merged); the spans array holds exactly the bands'
// spans, in band order. So equal pixel sets have equal representations,
// and operator== compares pixel sets.
class Region
{
public:
    struct Band
    {
        int top;
        int bottom;
        std::uint32_t first; // index of its first span
        std::uint32_t count; // spans in it, at least one
        bool operator==(const Band &) const = default;
    };
    using Row = std::span<const Span>;

    enum class Op { And, Or, Xor, Diff };

    Region() = default;
    explicit Region(const Rect &rect);

    // Any spans, any order, may overlap or be empty.
    static Region fromRowSpans(std::vector<RowSpan> spans);

    bool isEmpty() const { return m_bands.empty(); }
    Rect boundingRect() const;
    bool contains(int x, int y) const;
    int rectCount() const { return int(m_spans.size()); }
    const std::vector<Band> &bands() const { return m_bands; }
    Row spans(const Band &b) const { return Row(m_spans.data() + b.first, b.count); }
    // Spans of row y; empty when the row is.
    Row rowSpans(int y) const;

    Region combined(const Region &other, Op op) const;
    // The same into `out` (which may be neither operand), reusing its storage.
    static void combine(const Region &a, const Region &b, Op op, Region &out);
    // Empties the region, keeping its storage for the next use.
    void clear()
    {
        m_bands.clear();
        m_spans.clear();
    }
    // Becomes the rectangle's pixels, reusing its storage.
    void assign(const Rect &rect)
    {
        clear();
        const Rect r = rect.normalized();
        if (!r.isEmpty()) {
            m_bands.push_back({r.top, r.bottom, 0, 1});
            m_spans.push_back({r.left, r.right});
        }
    }
    // Spans it can hold without growing.
    size_t spanCapacity() const { return m_spans.capacity(); }
    // Room for this many bands and spans without growing.
    void reserveRows(size_t bands, size_t spans)
    {
        m_bands.reserve(bands);
        m_spans.reserve(spans);
    }
    // Becomes a copy of o, reusing its own storage.
    void assign(const Region &o)
    {
        m_bands.assign(o.m_bands.begin(), o.m_bands.end());
        m_spans.assign(o.m_spans.begin(), o.m_spans.end());
    }
    Region united(const Region &o) const { return combined(o, Op::Or); }
    Region intersected(const Region &o) const { return combined(o, Op::And); }
    Region intersected(const Rect &r) const { return combined(Region(r), Op::And); }
    Region subtracted(const Region &o) const { return combined(o, Op::Diff); }
    Region xored(const Region &o) const { return combined(o, Op::Xor); }
    void translate(int dx, int dy);

    bool isValid() const;
    bool operator==(const Region &) const = default;

    // Building a region row by row, top to bottom: add a row's spans in
    // order (they may touch, overlap the previous one or be empty), then
    // close it for rows top..bottom-1.
    class Builder
    {
    public:
        explicit Builder(Region &r) : m_r(r), m_start(r.m_spans.size()) { }
        void add(int x1, int x2)
        {
            if (x2 <= x1)
                return;
            std::vector<Span> &s = m_r.m_spans;
            if (s.size() > m_start && x1 <= s.back().x2) {
                if (x2 > s.back().x2)
                    s.back().x2 = x2;
                return;
            }
            s.push_back({x1, x2});
        }
        void addRow(Row row)
        {
            if (m_r.m_spans.size() == m_start) {
                m_r.m_spans.insert(m_r.m_spans.end(), row.begin(), row.end());
                return;
            }
            for (const Span &sp : row)
                add(sp.x1, sp.x2);
        }
        void close(int top, int bottom)
        {
            std::vector<Span> &s = m_r.m_spans;
            const size_t count = s.size() - m_start;
            if (count == 0 || bottom <= top) {
                s.resize(m_start);
                return;
            }
            std::vector<Band> &bands = m_r.m_bands;
            if (!bands.empty()) {
                Band &last = bands.back();
                // The same spans as the band just above: that band grows.
                if (last.bottom == top && last.count == count
                    && std::equal(s.begin() + last.first, s.begin() + last.first + count, s.begin() + m_start)) {
                    last.bottom = bottom;
                    s.resize(m_start);
                    return;
                }
            }
            bands.push_back({top, bottom, std::uint32_t(m_start), std::uint32_t(count)});
            m_start = s.size();
        }

    private:
        Region &m_r;
        size_t m_start;
    };

private:
    std::vector<Band> m_bands;
    std::vector<Span> m_spans;
    // Appends src's bands from..to-1 as they are; the caller knows they
    // cannot merge with the last band already here.
    void appendBands(const Region &src, size_t from, size_t to);
};

// Shape rasterisers.

// Pixels (x,y) whose integer point lies inside the polygon (left/top edges
// in, right/bottom edges out); fillMode is ALTERNATE (1) or WINDING (2).
Region polygonRegion(const std::int64_t *xy, int count, int fillMode);
// The same into `out`, reusing its storage.
void polygonRegion(const std::int64_t *xy, int count, int fillMode, Region &out);
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
