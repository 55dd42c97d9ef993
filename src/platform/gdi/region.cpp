#include "region.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>

namespace gdi {

Region::Region(const Rect &rect)
{
    const Rect r = rect.normalized();
    if (!r.isEmpty()) {
        m_bands.push_back({r.top, r.bottom, 0, 1});
        m_spans.push_back({r.left, r.right});
    }
}

Region Region::fromRowSpans(std::vector<RowSpan> spans)
{
    std::erase_if(spans, [](const RowSpan &s) { return s.x2 <= s.x1; });
    std::sort(spans.begin(), spans.end(), [](const RowSpan &a, const RowSpan &b) {
        return a.y != b.y ? a.y < b.y : a.x1 < b.x1;
    });
    Region result;
    result.m_spans.reserve(spans.size());
    Builder row(result);
    size_t i = 0;
    while (i < spans.size()) {
        const int y = spans[i].y;
        for (; i < spans.size() && spans[i].y == y; ++i)
            row.add(spans[i].x1, spans[i].x2);
        row.close(y, y + 1);
    }
    return result;
}

Rect Region::boundingRect() const
{
    if (m_bands.empty())
        return {};
    Rect r{std::numeric_limits<int>::max(), m_bands.front().top, std::numeric_limits<int>::min(),
           m_bands.back().bottom};
    for (const Band &b : m_bands) {
        r.left = std::min(r.left, m_spans[b.first].x1);
        r.right = std::max(r.right, m_spans[b.first + b.count - 1].x2);
    }
    return r;
}

Region::Row Region::rowSpans(int y) const
{
    auto it = std::upper_bound(m_bands.begin(), m_bands.end(), y,
                               [](int v, const Band &b) { return v < b.bottom; });
    if (it == m_bands.end() || y < it->top)
        return {};
    return spans(*it);
}

bool Region::contains(int x, int y) const
{
    const Row row = rowSpans(y);
    auto it = std::upper_bound(row.begin(), row.end(), x, [](int v, const Span &s) { return v < s.x2; });
    return it != row.end() && x >= it->x1;
}

// Which of the four in/out states of (a, b) an operation keeps, as bits
// indexed by a * 2 + b.
static unsigned keptStates(Region::Op op)
{
    switch (op) {
    case Region::Op::And: return 0b1000;
    case Region::Op::Or: return 0b1110;
    case Region::Op::Xor: return 0b0110;
    case Region::Op::Diff: return 0b0100;
    }
    return 0;
}

// Combines two rows of sorted, separated spans by walking their edges in
// order; each stretch between two edges is in or out as the operation says.
static void combineRow(Region::Row a, Region::Row b, unsigned kept, Region::Builder &out)
{
    constexpr int kNone = std::numeric_limits<int>::max();
    size_t ia = 0, ib = 0;
    bool inA = false, inB = false;
    int x = 0;
    for (;;) {
        const int nextA = ia < a.size() ? (inA ? a[ia].x2 : a[ia].x1) : kNone;
        const int nextB = ib < b.size() ? (inB ? b[ib].x2 : b[ib].x1) : kNone;
        const int next = std::min(nextA, nextB);
        if (next == kNone)
            break;
        // Before the first edge both are out, and no operation keeps that.
        if ((kept >> (unsigned(inA) * 2 + unsigned(inB))) & 1)
            out.add(x, next);
        if (nextA == next) {
            if (inA)
                ++ia;
            inA = !inA;
        }
        if (nextB == next) {
            if (inB)
                ++ib;
            inB = !inB;
        }
        x = next;
    }
}

Region Region::combined(const Region &other, Op op) const
{
    Region result;
    result.m_bands.reserve(m_bands.size() + other.m_bands.size() + 2);
    result.m_spans.reserve(m_spans.size() + other.m_spans.size() + 2);
    combine(*this, other, op, result);
    return result;
}

void Region::combine(const Region &first, const Region &other, Op op, Region &result)
{
    Q_ASSERT(&result != &first && &result != &other);
    const bool keepA = op != Op::And;                   // rows only the first region has
    const bool keepB = op == Op::Or || op == Op::Xor;   // rows only the other has
    if (other.isEmpty()) {
        if (keepA)
            result.assign(first);
        else
            result.clear();
        return;
    }
    if (first.isEmpty()) {
        if (keepB)
            result.assign(other);
        else
            result.clear();
        return;
    }

    result.clear();
    const unsigned kept = keptStates(op);
    const std::vector<Band> &ab = first.m_bands, &bb = other.m_bands;
    // The first region's bands wholly above the other one are kept as they
    // are (or dropped) without looking at their spans.
    const int otherTop = bb.front().top;
    size_t ia = 0, ib = 0;
    while (ia < ab.size() && ab[ia].bottom <= otherTop)
        ++ia;
    if (keepA)
        result.appendBands(first, 0, ia);
    Builder out(result);
    int y = ia < ab.size() ? std::min(ab[ia].top, otherTop) : otherTop;
    while (ia < ab.size() || ib < bb.size()) {
        if (ib == bb.size()) {
            // Below the other region: the rest of the first one as it is.
            if (keepA) {
                const Band &a = ab[ia];
                out.addRow(first.spans(a));
                out.close(std::max(y, a.top), a.bottom);
                result.appendBands(first, ia + 1, ab.size());
            }
            break;
        }
        const Band *a = ia < ab.size() ? &ab[ia] : nullptr;
        const Band *b = ib < bb.size() ? &bb[ib] : nullptr;
        const bool inA = a && a->top <= y;
        const bool inB = b && b->top <= y;
        int next = std::numeric_limits<int>::max();
        if (a)
            next = std::min(next, inA ? a->bottom : a->top);
        if (b)
            next = std::min(next, inB ? b->bottom : b->top);
        if (inA && inB) {
            combineRow(first.spans(*a), other.spans(*b), kept, out);
            out.close(y, next);
        } else if (inA && keepA) {
            out.addRow(first.spans(*a));
            out.close(y, next);
        } else if (inB && keepB) {
            out.addRow(other.spans(*b));
            out.close(y, next);
        }
        y = next;
        if (a && a->bottom <= y)
            ++ia;
        if (b && b->bottom <= y)
            ++ib;
    }
    Q_ASSERT_X(result.isValid(), "Region::combine", "broken band invariant");
}

void Region::appendBands(const Region &src, size_t from, size_t to)
{
    if (from >= to)
        return;
    const std::uint32_t srcFirst = src.m_bands[from].first;
    const std::uint32_t srcEnd = src.m_bands[to - 1].first + src.m_bands[to - 1].count;
    const auto base = std::uint32_t(m_spans.size());
    m_spans.insert(m_spans.end(), src.m_spans.begin() + srcFirst, src.m_spans.begin() + srcEnd);
    for (size_t i = from; i < to; ++i) {
        Band b = src.m_bands[i];
        b.first = b.first - srcFirst + base;
        m_bands.push_back(b);
    }
}

void Region::translate(int dx, int dy)
{
    for (Band &b : m_bands) {
        b.top += dy;
        b.bottom += dy;
    }
    for (Span &s : m_spans) {
        s.x1 += dx;
        s.x2 += dx;
    }
}

bool Region::isValid() const
{
    size_t expectedFirst = 0;
    for (size_t i = 0; i < m_bands.size(); ++i) {
        const Band &b = m_bands[i];
        if (b.bottom <= b.top || b.count == 0 || b.first != expectedFirst || b.first + b.count > m_spans.size())
            return false;
        expectedFirst += b.count;
        const Row row = spans(b);
        if (i > 0) {
            const Band &p = m_bands[i - 1];
            if (p.bottom > b.top)
                return false;
            const Row prev = spans(p);
            if (p.bottom == b.top && std::equal(prev.begin(), prev.end(), row.begin(), row.end()))
                return false;
        }
        for (size_t j = 0; j < row.size(); ++j) {
            if (row[j].x2 <= row[j].x1)
                return false;
            if (j > 0 && row[j - 1].x2 >= row[j].x1)
                return false;
        }
    }
    return expectedFirst == m_spans.size();
}

// ---- Polygons ----

namespace {

struct Crossing
{
    std::int64_t x; // first pixel column at or right of the crossing
    int dir;
};

std::int64_t ceilDiv(std::int64_t n, std::int64_t d)
{
    // d > 0
    std::int64_t q = n / d;
    if (n % d != 0 && n > 0)
        ++q;
    return q;
}

// A buffer on the stack for the small shapes that are most of the work, on
// the heap beyond that.
template<typename T, size_t N>
class ScratchArray
{
public:
    explicit ScratchArray(size_t n)
    {
        if (n > N) {
            m_heap.resize(n);
            m_data = m_heap.data();
        }
    }
    T &operator[](size_t i) { return m_data[i]; }
    T *data() { return m_data; }

private:
    T m_local[N];
    std::vector<T> m_heap;
    T *m_data = m_local;
};

// Turns each row's crossings into spans: rows r = 0..rows-1 are image row
// rowTop + r, with crossings cs[start[r] .. start[r+1]).
void spansFromCrossings(Crossing *cs, const std::uint32_t *start, std::int64_t rows, std::int64_t rowTop,
                        int fillMode, Region &result)
{
    Region::Builder out(result);
    for (std::int64_t r = 0; r < rows; ++r) {
        Crossing *first = cs + start[r], *last = cs + start[r + 1];
        // A row has a handful of crossings: insertion sort by column.
        for (Crossing *i = first + 1; i < last; ++i) {
            const Crossing c = *i;
            Crossing *j = i;
            for (; j > first && (j - 1)->x > c.x; --j)
                *j = *(j - 1);
            *j = c;
        }
        int winding = 0;
        std::int64_t from = 0;
        for (Crossing *c = first; c < last; ++c) {
            const bool wasIn = fillMode == 2 ? winding != 0 : (winding & 1) != 0;
            winding += fillMode == 2 ? c->dir : 1;
            const bool isIn = fillMode == 2 ? winding != 0 : (winding & 1) != 0;
            if (!wasIn && isIn)
                from = c->x;
            else if (wasIn && !isIn)
                out.add(int(from), int(c->x));
        }
        const int y = int(rowTop + r);
        out.close(y, y + 1);
    }
}

constexpr std::int64_t kCoordLimit = 1 << 16;
constexpr size_t kLocalRows = 64;
constexpr size_t kLocalCrossings = 256;

} // namespace

Region polygonRegion(const std::int64_t *xy, int count, int fillMode)
{
    Region result;
    polygonRegion(xy, count, fillMode, result);
    return result;
}

void polygonRegion(const std::int64_t *xy, int count, int fillMode, Region &out)
{
    out.clear();
    if (count < 3)
        return;
    std::int64_t ymin = xy[1], ymax = xy[1];
    for (int i = 0; i < count; ++i) {
        if (std::llabs(xy[2 * i]) > kCoordLimit || std::llabs(xy[2 * i + 1]) > kCoordLimit)
            return;
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    const std::int64_t rows = ymax - ymin;
    if (rows <= 0)
        return;
    // Count each row's crossings, then place them row by row.
    ScratchArray<std::uint32_t, kLocalRows + 1> start(size_t(rows) + 1);
    std::fill(start.data(), start.data() + rows + 1, 0u);
    for (int i = 0; i < count; ++i) {
        const std::int64_t y0 = xy[2 * i + 1], y1 = xy[2 * ((i + 1) % count) + 1];
        for (std::int64_t y = std::min(y0, y1); y < std::max(y0, y1); ++y)
            ++start[size_t(y - ymin + 1)];
    }
    for (std::int64_t r = 0; r < rows; ++r)
        start[size_t(r + 1)] += start[size_t(r)];
    const size_t total = start[size_t(rows)];
    ScratchArray<Crossing, kLocalCrossings> cs(total);
    ScratchArray<std::uint32_t, kLocalRows> cursor{size_t(rows)};
    std::copy(start.data(), start.data() + rows, cursor.data());
    for (int i = 0; i < count; ++i) {
        std::int64_t x0 = xy[2 * i], y0 = xy[2 * i + 1];
        std::int64_t x1 = xy[2 * ((i + 1) % count)], y1 = xy[2 * ((i + 1) % count) + 1];
        if (y0 == y1)
            continue;
        const int dir = y1 > y0 ? 1 : -1;
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        for (std::int64_t y = y0; y < y1; ++y) {
            // x at row y = x0 + (y - y0) * (x1 - x0) / (y1 - y0), rounded up
            const std::int64_t x = ceilDiv(x0 * (y1 - y0) + (y - y0) * (x1 - x0), y1 - y0);
            cs[cursor[size_t(y - ymin)]++] = {x, dir};
        }
    }
    out.reserveRows(size_t(rows), total / 2 + 1);
    spansFromCrossings(cs.data(), start.data(), rows, ymin, fillMode, out);
}

Region polygonRegionF(const double *xy, int count, int fillMode)
{
    if (count < 3)
        return {};
    double ymin = xy[1], ymax = xy[1];
    for (int i = 0; i < count; ++i) {
        if (!(std::fabs(xy[2 * i]) < kCoordLimit) || !(std::fabs(xy[2 * i + 1]) < kCoordLimit))
            return {};
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    constexpr double eps = 1e-9;
    const std::int64_t rowTop = std::int64_t(std::ceil(ymin - eps));
    const std::int64_t rowEnd = std::int64_t(std::ceil(ymax - eps));
    if (rowEnd <= rowTop)
        return {};
    const std::int64_t rows = rowEnd - rowTop;
    // The rows each edge crosses, found once for counting and placing.
    auto edgeRows = [&](int i, std::int64_t *first, std::int64_t *last) {
        const double y0 = xy[2 * i + 1], y1 = xy[2 * ((i + 1) % count) + 1];
        if (std::fabs(y0 - y1) < eps)
            return false;
        *first = std::int64_t(std::ceil(std::min(y0, y1) - eps));
        *last = std::int64_t(std::ceil(std::max(y0, y1) - eps)); // exclusive
        return true;
    };
    ScratchArray<std::uint32_t, kLocalRows + 1> start(size_t(rows) + 1);
    std::fill(start.data(), start.data() + rows + 1, 0u);
    for (int i = 0; i < count; ++i) {
        std::int64_t first, last;
        if (edgeRows(i, &first, &last))
            for (std::int64_t y = first; y < last; ++y)
                ++start[size_t(y - rowTop + 1)];
    }
    for (std::int64_t r = 0; r < rows; ++r)
        start[size_t(r + 1)] += start[size_t(r)];
    ScratchArray<Crossing, kLocalCrossings> cs(start[size_t(rows)]);
    ScratchArray<std::uint32_t, kLocalRows> cursor{size_t(rows)};
    std::copy(start.data(), start.data() + rows, cursor.data());
    for (int i = 0; i < count; ++i) {
        std::int64_t first, last;
        if (!edgeRows(i, &first, &last))
            continue;
        double x0 = xy[2 * i], y0 = xy[2 * i + 1];
        double x1 = xy[2 * ((i + 1) % count)], y1 = xy[2 * ((i + 1) % count) + 1];
        const int dir = y1 > y0 ? 1 : -1;
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        for (std::int64_t y = first; y < last; ++y) {
            const double x = x0 + (double(y) - y0) * (x1 - x0) / (y1 - y0);
            cs[cursor[size_t(y - rowTop)]++] = {std::int64_t(std::ceil(x - eps)), dir};
        }
    }
    Region result;
    result.reserveRows(size_t(rows), start[size_t(rows)] / 2 + 1);
    spansFromCrossings(cs.data(), start.data(), rows, rowTop, fillMode, result);
    return result;
}

// ---- Ellipses ----

std::vector<HalfPoint> ellipseQuadrant(int a, int b)
{
    // Midpoint walk in half-pixel units: the curve b²X² + a²Y² = a²b² through
    // X = ±a and Y = ±b. X keeps a's parity and Y b's, so every point is a
    // pixel centre. Region 1 steps X while the slope is shallow, region 2
    // steps Y; each decision tests the midpoint between the two candidates.
    std::vector<HalfPoint> pts;
    if (a < 0 || b < 0)
        return pts;
    if (b == 0) {
        for (int x = a % 2; x <= a; x += 2)
            pts.push_back({x, 0});
        return pts;
    }
    if (a == 0) {
        for (int y = b; y >= 0; y -= 2)
            pts.push_back({0, y});
        return pts;
    }
    const std::int64_t a2 = std::int64_t(a) * a, b2 = std::int64_t(b) * b;
    auto f = [&](std::int64_t x, std::int64_t y) { return b2 * x * x + a2 * y * y - a2 * b2; };
    int x = a % 2, y = b;
    while (x <= a && b2 * x < a2 * y) {
        pts.push_back({x, y});
        if (f(x + 2, y - 1) > 0)
            y -= 2;
        x += 2;
    }
    while (y >= 0) {
        pts.push_back({x, y});
        if (f(x + 1, y - 2) < 0 && x + 2 <= a)
            x += 2;
        y -= 2;
    }
    return pts;
}

std::vector<RowSpan> ellipseOutline(const Rect &box)
{
    const Rect r = box.normalized();
    std::vector<RowSpan> out;
    if (r.isEmpty())
        return out;
    const int a = r.width() - 1, b = r.height() - 1;
    for (const HalfPoint &p : ellipseQuadrant(a, b)) {
        const int xr = r.left + (a + p.x) / 2, xl = r.left + (a - p.x) / 2;
        const int yb = r.top + (b + p.y) / 2, yt = r.top + (b - p.y) / 2;
        out.push_back({yt, xl, xl + 1});
        out.push_back({yt, xr, xr + 1});
        out.push_back({yb, xl, xl + 1});
        out.push_back({yb, xr, xr + 1});
    }
    return out;
}

Region ellipseFilled(const Rect &box)
{
    const Rect r = box.normalized();
    if (r.isEmpty())
        return {};
    const int a = r.width() - 1, b = r.height() - 1;
    std::vector<RowSpan> spans;
    for (const HalfPoint &p : ellipseQuadrant(a, b)) {
        const int xr = r.left + (a + p.x) / 2, xl = r.left + (a - p.x) / 2;
        spans.push_back({r.top + (b - p.y) / 2, xl, xr + 1});
        spans.push_back({r.top + (b + p.y) / 2, xl, xr + 1});
    }
    return Region::fromRowSpans(std::move(spans));
}

Region ellipticRegion(const Rect &box)
{
    const Rect r = box.normalized();
    const Rect inner{r.left, r.top, r.right - 1, r.bottom - 1};
    if (inner.width() < 2 || inner.height() < 2)
        return Region(inner);
    return ellipseFilled(inner);
}

} // namespace gdi
