#include "region.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>

namespace gdi {

Rect Rect::normalized() const
{
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

Rect Rect::intersected(const Rect &o) const
{
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (r.isEmpty())
        return {};
    return r;
}

Region::Region(const Rect &rect)
{
    const Rect r = rect.normalized();
    if (!r.isEmpty())
        m_bands.push_back({r.top, r.bottom, {{r.left, r.right}}});
}

void Region::appendBand(int top, int bottom, std::vector<Span> &&spans)
{
    if (spans.empty() || bottom <= top)
        return;
    if (!m_bands.empty()) {
        Band &last = m_bands.back();
        if (last.bottom == top && last.spans == spans) {
            last.bottom = bottom;
            return;
        }
    }
    m_bands.push_back({top, bottom, std::move(spans)});
}

Region Region::fromRowSpans(std::vector<RowSpan> spans)
{
    std::erase_if(spans, [](const RowSpan &s) { return s.x2 <= s.x1; });
    std::sort(spans.begin(), spans.end(), [](const RowSpan &a, const RowSpan &b) {
        return a.y != b.y ? a.y < b.y : a.x1 < b.x1;
    });
    Region result;
    size_t i = 0;
    while (i < spans.size()) {
        const int y = spans[i].y;
        std::vector<Span> row;
        for (; i < spans.size() && spans[i].y == y; ++i) {
            if (!row.empty() && spans[i].x1 <= row.back().x2)
                row.back().x2 = std::max(row.back().x2, spans[i].x2);
            else
                row.push_back({spans[i].x1, spans[i].x2});
        }
        result.appendBand(y, y + 1, std::move(row));
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
        r.left = std::min(r.left, b.spans.front().x1);
        r.right = std::max(r.right, b.spans.back().x2);
    }
    return r;
}

const std::vector<Span> *Region::rowSpans(int y) const
{
    auto it = std::upper_bound(m_bands.begin(), m_bands.end(), y,
                               [](int v, const Band &b) { return v < b.bottom; });
    if (it == m_bands.end() || y < it->top)
        return nullptr;
    return &it->spans;
}

bool Region::contains(int x, int y) const
{
    const std::vector<Span> *row = rowSpans(y);
    if (!row)
        return false;
    auto it = std::upper_bound(row->begin(), row->end(), x, [](int v, const Span &s) { return v < s.x2; });
    return it != row->end() && x >= it->x1;
}

int Region::rectCount() const
{
    int n = 0;
    for (const Band &b : m_bands)
        n += int(b.spans.size());
    return n;
}

static bool apply(Region::Op op, bool a, bool b)
{
    switch (op) {
    case Region::Op::And: return a && b;
    case Region::Op::Or: return a || b;
    case Region::Op::Xor: return a != b;
    case Region::Op::Diff: return a && !b;
    }
    return false;
}

// Combines two rows of spans by sweeping over every span edge.
static std::vector<Span> combineRow(const std::vector<Span> *a, const std::vector<Span> *b, Region::Op op)
{
    // A row only one side has: that side as it is, or nothing.
    if (!a || !b) {
        const bool keepA = op != Region::Op::And, keepB = op == Region::Op::Or || op == Region::Op::Xor;
        if (a && keepA)
            return *a;
        if (b && keepB)
            return *b;
        return {};
    }
    static const std::vector<Span> none;
    const std::vector<Span> &sa = a ? *a : none;
    const std::vector<Span> &sb = b ? *b : none;
    std::vector<int> xs;
    xs.reserve(2 * (sa.size() + sb.size()));
    for (const Span &s : sa) {
        xs.push_back(s.x1);
        xs.push_back(s.x2);
    }
    for (const Span &s : sb) {
        xs.push_back(s.x1);
        xs.push_back(s.x2);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Span> out;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        const int x = xs[i];
        while (ia < sa.size() && sa[ia].x2 <= x)
            ++ia;
        while (ib < sb.size() && sb[ib].x2 <= x)
            ++ib;
        const bool inA = ia < sa.size() && sa[ia].x1 <= x;
        const bool inB = ib < sb.size() && sb[ib].x1 <= x;
        if (!apply(op, inA, inB))
            continue;
        if (!out.empty() && out.back().x2 == x)
            out.back().x2 = xs[i + 1];
        else
            out.push_back({x, xs[i + 1]});
    }
    return out;
}

Region Region::combined(const Region &other, Op op) const
{
    std::vector<int> ys;
    ys.reserve(2 * (m_bands.size() + other.m_bands.size()));
    for (const Band &b : m_bands) {
        ys.push_back(b.top);
        ys.push_back(b.bottom);
    }
    for (const Band &b : other.m_bands) {
        ys.push_back(b.top);
        ys.push_back(b.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    Region result;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const int y = ys[i];
        while (ia < m_bands.size() && m_bands[ia].bottom <= y)
            ++ia;
        while (ib < other.m_bands.size() && other.m_bands[ib].bottom <= y)
            ++ib;
        const std::vector<Span> *ra = ia < m_bands.size() && m_bands[ia].top <= y ? &m_bands[ia].spans : nullptr;
        const std::vector<Span> *rb =
            ib < other.m_bands.size() && other.m_bands[ib].top <= y ? &other.m_bands[ib].spans : nullptr;
        if (!ra && !rb)
            continue;
        result.appendBand(y, ys[i + 1], combineRow(ra, rb, op));
    }
    Q_ASSERT_X(result.isValid(), "Region::combined", "broken band invariant");
    return result;
}

void Region::translate(int dx, int dy)
{
    for (Band &b : m_bands) {
        b.top += dy;
        b.bottom += dy;
        for (Span &s : b.spans) {
            s.x1 += dx;
            s.x2 += dx;
        }
    }
}

bool Region::isValid() const
{
    for (size_t i = 0; i < m_bands.size(); ++i) {
        const Band &b = m_bands[i];
        if (b.bottom <= b.top || b.spans.empty())
            return false;
        if (i > 0) {
            const Band &p = m_bands[i - 1];
            if (p.bottom > b.top)
                return false;
            if (p.bottom == b.top && p.spans == b.spans)
                return false;
        }
        for (size_t j = 0; j < b.spans.size(); ++j) {
            if (b.spans[j].x2 <= b.spans[j].x1)
                return false;
            if (j > 0 && b.spans[j - 1].x2 >= b.spans[j].x1)
                return false;
        }
    }
    return true;
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

Region spansFromCrossings(std::vector<std::vector<Crossing>> &rows, std::int64_t yTop, int fillMode)
{
    std::vector<RowSpan> spans;
    for (size_t r = 0; r < rows.size(); ++r) {
        auto &cs = rows[r];
        std::sort(cs.begin(), cs.end(), [](const Crossing &a, const Crossing &b) { return a.x < b.x; });
        int winding = 0;
        std::int64_t start = 0;
        for (size_t i = 0; i < cs.size(); ++i) {
            const bool wasIn = fillMode == 2 ? winding != 0 : (winding & 1) != 0;
            winding += fillMode == 2 ? cs[i].dir : 1;
            const bool isIn = fillMode == 2 ? winding != 0 : (winding & 1) != 0;
            if (!wasIn && isIn)
                start = cs[i].x;
            else if (wasIn && !isIn)
                spans.push_back({int(yTop + std::int64_t(r)), int(start), int(cs[i].x)});
        }
    }
    return Region::fromRowSpans(std::move(spans));
}

constexpr std::int64_t kCoordLimit = 1 << 16;

} // namespace

Region polygonRegion(const std::int64_t *xy, int count, int fillMode)
{
    if (count < 3)
        return {};
    std::int64_t ymin = xy[1], ymax = xy[1];
    for (int i = 0; i < count; ++i) {
        if (std::llabs(xy[2 * i]) > kCoordLimit || std::llabs(xy[2 * i + 1]) > kCoordLimit)
            return {};
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    std::vector<std::vector<Crossing>> rows(size_t(ymax - ymin));
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
            rows[size_t(y - ymin)].push_back({x, dir});
        }
    }
    return spansFromCrossings(rows, ymin, fillMode);
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
    std::vector<std::vector<Crossing>> rows(size_t(rowEnd - rowTop));
    for (int i = 0; i < count; ++i) {
        double x0 = xy[2 * i], y0 = xy[2 * i + 1];
        double x1 = xy[2 * ((i + 1) % count)], y1 = xy[2 * ((i + 1) % count) + 1];
        if (std::fabs(y0 - y1) < eps)
            continue;
        const int dir = y1 > y0 ? 1 : -1;
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const std::int64_t first = std::int64_t(std::ceil(y0 - eps));
        const std::int64_t last = std::int64_t(std::ceil(y1 - eps)); // exclusive
        for (std::int64_t y = first; y < last; ++y) {
            const double x = x0 + (double(y) - y0) * (x1 - x0) / (y1 - y0);
            rows[size_t(y - rowTop)].push_back({std::int64_t(std::ceil(x - eps)), dir});
        }
    }
    return spansFromCrossings(rows, rowTop, fillMode);
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
