#pragma once

// Scan conversion by cell centres.
//
// Cell (k, j) spans [k, k+1) × [j, j+1); it belongs to a triangle when its
// centre (k+½, j+½) lies inside. A centre exactly on the boundary is decided
// as if it were moved by an infinitesimal step to the right (+X) and a far
// smaller one up (+Y): it belongs to the triangle holding the points just to
// its right, or, on a horizontal edge, just above it. Every point so moved
// lies on no edge, so wherever triangles tile a region each centre in it
// belongs to exactly one of them, on shared edges and shared corners alike,
// and a centre outside the region to none.
//
// The test is exact: the corners are first rounded to a grid of 1/256 cell
// (halves upward; a corner's rounding depends on its coordinates alone), and
// the edge functions are evaluated in 64-bit integers. Two triangles sharing
// an edge therefore agree about it bit for bit, whatever their corner order.
// Corners are expected within [0, side − 1]; others are allowed (the cells
// are clipped to the buffer), and are pulled in to ±2^20 cells, which keeps
// every product within 64 bits. A triangle of zero area after rounding, or
// with a NaN corner, covers nothing.
//
// Three forms give the same cells: a whole triangle or a band of its rows
// (CellTriangle::forRows), one row (CellTriangle::span), and one cell centre
// at a time (CentreTest), which is the cheapest for triangles of a few cells.

#include <algorithm>
#include <cstdint>

// A triangle projected onto the bundle buffer, in cell units, single precision.
struct ProjectedTriangle {
    float x[3];
    float y[3];
};

// The same corners rounded to the 1/256-cell grid.
struct GridTriangle {
    int32_t x[3];
    int32_t y[3];
};

// Cells first .. end − 1 of one row; empty when first >= end.
struct CellSpan {
    int first;
    int end;
    bool empty() const { return first >= end; }
};

// Rows first .. end − 1.
struct RowRange {
    int first;
    int end;
};

namespace scan_detail {

constexpr int64_t kSubcells = 256;  // grid steps per cell
constexpr int64_t kHalf = kSubcells / 2;
constexpr float kReach = 1048576.0f;  // 2^20 cells

// Nearest grid step, halves upward: floor(256·v + ½), exact in double for
// every clamped float (256·v has at most 24 significant bits). NaN becomes
// −kReach here; toGrid(ProjectedTriangle) then drops the triangle.
inline int32_t toGrid(float v) {
    float clamped = v > -kReach ? (v < kReach ? v : kReach) : -kReach;
    double x = static_cast<double>(clamped) * kSubcells + 0.5;
    int32_t t = static_cast<int32_t>(x);  // truncation; one step too high below zero
    return t - (static_cast<double>(t) > x);
}

// ceil(n / d) for d > 0: truncation is already the ceiling below zero.
inline int64_t ceilDiv(int64_t n, int64_t d) { return n / d + (n % d > 0); }

// The first row (or column) whose centre line, 256·j + 128, is at or above
// y: ceil((y − 128) / 256), which an arithmetic shift gives as
// floor((y + 127) / 256).
inline int64_t rowFrom(int64_t y) { return (y + kHalf - 1) >> 8; }
static_assert(kSubcells == 256, "rowFrom shifts by 8 bits");

inline int64_t twiceArea(const GridTriangle& g) {
    return (int64_t{g.x[1]} - g.x[0]) * (int64_t{g.y[2]} - g.y[0]) -
           (int64_t{g.x[2]} - g.x[0]) * (int64_t{g.y[1]} - g.y[0]);
}

inline int clip(int64_t v, int side) {
    return static_cast<int>(std::min<int64_t>(std::max<int64_t>(v, 0), side));
}

}  // namespace scan_detail

// Rounds the corners to the grid; a NaN corner gives a triangle of no area.
inline GridTriangle toGrid(const ProjectedTriangle& t) {
    GridTriangle g;
    bool nan = false;
    for (int i = 0; i < 3; ++i) {
        nan = nan || t.x[i] != t.x[i] || t.y[i] != t.y[i];
        g.x[i] = scan_detail::toGrid(t.x[i]);
        g.y[i] = scan_detail::toGrid(t.y[i]);
    }
    return nan ? GridTriangle{} : g;
}

// The cells whose centres lie in a triangle's bounding box on the grid,
// clipped to [0, side): the only cells it can hold. A centre on the box's
// left or lower side, moved right and up, can be inside; one on its right or
// upper side cannot. Empty for a triangle that can hold no centre, which is
// most triangles well below a cell.
struct CellBox {
    int firstColumn, endColumn, firstRow, endRow;

    bool empty() const { return firstColumn >= endColumn || firstRow >= endRow; }
    int columns() const { return endColumn - firstColumn; }
    int rows() const { return endRow - firstRow; }
};

inline CellBox cellBox(const GridTriangle& g, int side) {
    using scan_detail::clip;
    using scan_detail::rowFrom;
    auto [left, right] = std::minmax({g.x[0], g.x[1], g.x[2]});
    auto [low, high] = std::minmax({g.y[0], g.y[1], g.y[2]});
    return {clip(rowFrom(left), side), clip(rowFrom(right), side), clip(rowFrom(low), side),
            clip(rowFrom(high), side)};
}

// The rows of a triangle that can hold cells, clipped to [0, side).
inline RowRange triangleRows(const GridTriangle& g, int side) {
    if (scan_detail::twiceArea(g) == 0) return {0, 0};
    CellBox box = cellBox(g, side);
    return {box.firstRow, box.endRow};
}

// A triangle's three edge functions, for testing cell centres one at a time.
class CentreTest {
  public:
    explicit CentreTest(const GridTriangle& g);

    // Whether the centre of cell (k, j) belongs to the triangle.
    bool covers(int k, int j) const {
        int64_t x = scan_detail::kSubcells * k + scan_detail::kHalf;
        int64_t y = scan_detail::kSubcells * j + scan_detail::kHalf;
        return a_[0] * x + b_[0] * y + c_[0] >= 0 && a_[1] * x + b_[1] * y + c_[1] >= 0 &&
               a_[2] * x + b_[2] * y + c_[2] >= 0;
    }

    // Calls spanAction(row, first, end) for the cells of `box` in rows
    // [firstRow, endRow) ∩ its rows that belong to the triangle, a span per
    // row (the triangle is convex), rows ascending. The same cells as
    // covers(), with the edge functions stepped from cell to cell.
    template <class SpanAction>
    void forRows(const CellBox& box, int firstRow, int endRow, SpanAction&& spanAction) const;

  private:
    int64_t a_[3], b_[3], c_[3];  // a centre (X, Y) is inside when every a·X + b·Y + c >= 0
};

template <class SpanAction>
void CentreTest::forRows(const CellBox& box, int firstRow, int endRow,
                         SpanAction&& spanAction) const {
    using scan_detail::kHalf;
    using scan_detail::kSubcells;
    const int64_t x = kSubcells * box.firstColumn + kHalf;
    const int64_t step0 = kSubcells * a_[0], step1 = kSubcells * a_[1], step2 = kSubcells * a_[2];
    for (int j = std::max(firstRow, box.firstRow), last = std::min(endRow, box.endRow); j < last;
         ++j) {
        const int64_t y = kSubcells * j + kHalf;
        int64_t e0 = a_[0] * x + b_[0] * y + c_[0], e1 = a_[1] * x + b_[1] * y + c_[1],
                e2 = a_[2] * x + b_[2] * y + c_[2];
        // A cell is in when no edge function is negative, that is when their
        // OR is not. The cells in are one run; no branch depends on where.
        int first = box.endColumn, end = box.firstColumn;
        for (int k = box.firstColumn; k < box.endColumn; ++k) {
            bool in = (e0 | e1 | e2) >= 0;
            first = in && k < first ? k : first;
            end = in ? k + 1 : end;
            e0 += step0, e1 += step1, e2 += step2;
        }
        if (first < end) spanAction(j, first, end);
    }
}

// With the corners counter-clockwise, the centre is inside edge p → q when
// e = dx·(Y − py) − dy·(X − px) > 0. Moving it by (ε, ε·η) changes e by
// ε·(η·dx − dy), so a centre on the edge (e = 0) is inside when dy < 0, or
// dy = 0 and dx > 0: then e ≥ 0 counts, else e ≥ 1. A triangle of no area
// gets edges that hold nothing.
inline CentreTest::CentreTest(const GridTriangle& g) {
    int64_t area = scan_detail::twiceArea(g);
    int order[3] = {0, area > 0 ? 1 : 2, area > 0 ? 2 : 1};
    for (int i = 0; i < 3; ++i) {
        int p = order[i], q = order[(i + 1) % 3];
        int64_t dx = int64_t{g.x[q]} - g.x[p], dy = int64_t{g.y[q]} - g.y[p];
        bool tieInside = dy < 0 || (dy == 0 && dx > 0);
        a_[i] = area == 0 ? 0 : -dy;
        b_[i] = area == 0 ? 0 : dx;
        c_[i] = area == 0 ? -1 : dy * g.x[p] - dx * g.y[p] - (tieInside ? 0 : 1);
    }
}

// A triangle set up to give the cells of any of its rows.
class CellTriangle {
  public:
    explicit CellTriangle(const GridTriangle& g);
    explicit CellTriangle(const ProjectedTriangle& t) : CellTriangle(toGrid(t)) {}

    bool empty() const { return firstRow_ >= endRow_; }

    // The rows that can hold cells of the triangle, clipped to [0, side).
    RowRange rows(int side) const {
        return {scan_detail::clip(firstRow_, side), scan_detail::clip(endRow_, side)};
    }

    // The cells of row `row` that belong to the triangle, clipped to
    // [0, side). Any row may be asked; rows the triangle misses give an
    // empty span. Two integer divisions, no per-cell work.
    CellSpan span(int row, int side) const {
        if (row < firstRow_ || row >= endRow_) return {0, 0};
        return {scan_detail::clip(left().at(row).valueAt(row), side),
                scan_detail::clip(right().at(row).valueAt(row), side)};
    }

    // Calls spanAction(row, first, end) for every non-empty span of rows
    // [firstRow, endRow) ∩ the triangle's rows, ascending. The same spans as
    // span(), stepped from row to row without dividing.
    template <class SpanAction>
    void forRows(int firstRow, int endRow, int side, SpanAction&& spanAction) const;

  private:
    // A limit on the cells of row j: ceil((base + step·j) / divisor), with
    // divisor > 0, from one edge. A left limit is the first cell in, a right
    // one the first cell out past the span.
    struct Limit {
        int64_t base = 0, step = 0, divisor = 1;
        int64_t valueAt(int64_t j) const { return scan_detail::ceilDiv(base + step * j, divisor); }
    };
    // One side of the triangle: its lower edge bounds rows below `upperFrom`,
    // its upper edge the rest; a side of one edge has it as both. At a row
    // through the corner they share, both give the same limit.
    struct Side {
        Limit lower, upper;
        int64_t upperFrom = 0;
        const Limit& at(int64_t j) const { return j < upperFrom ? lower : upper; }
    };
    // A limit followed row by row: value = ceil(n / divisor) held as q with
    // n = q·divisor − r, 0 ≤ r < divisor.
    struct Walk {
        int64_t q, r, dq, dr, divisor;
        Walk(const Limit& l, int64_t j);
        void next() {
            q += dq, r += dr;
            bool carry = r >= divisor;
            q -= carry, r -= carry ? divisor : 0;
        }
    };
    static Limit edgeLimit(int64_t ax, int64_t ay, int64_t bx, int64_t by);

    // The long edge's side and the other; which is left depends on the
    // corners, and is kept as an index rather than by copying sides.
    const Side& left() const { return sides_[longRight_]; }
    const Side& right() const { return sides_[1 - longRight_]; }

    Side sides_[2];  // the long edge's side, the other's
    int longRight_ = 0;
    int64_t firstRow_ = 0, endRow_ = 0;
};

// Scan-converts a projected triangle into the rows of a buffer of `side`
// cells per row and calls spanAction(row, first, end) for every non-empty
// span, cells first up to end − 1 of that row, rows ascending.
template <class SpanAction>
void scanTriangle(const ProjectedTriangle& t, int side, SpanAction&& spanAction) {
    CellTriangle(t).forRows(0, side, side, spanAction);
}

// The edge through (ax, ay) and (bx, by), ay ≠ by, bounding row j. With the
// triangle to the left of a → b, the centre (256·k + 128, Y) is inside when
// dy·X < dy·ax + dx·(Y − ay), or, for dy < 0 (a left edge), when equality
// holds too: k < M/(256·dy) on a right edge, k ≥ M/(256·dy) on a left one,
// M = dy·(ax − 128) + dx·(128 − ay) + 256·dx·j. Both are a ceiling of
// M/(256·dy), which is the same whichever way the edge is walked.
inline CellTriangle::Limit CellTriangle::edgeLimit(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    using scan_detail::kHalf;
    int64_t dx = bx - ax, dy = by - ay, sign = dy < 0 ? -1 : 1;
    return {sign * (dy * (ax - kHalf) + dx * (kHalf - ay)), sign * scan_detail::kSubcells * dx,
            sign * scan_detail::kSubcells * dy};
}

// The corners sorted by Y, lowest (0) to highest (2): the long edge 0–2
// bounds one side over all rows, the edges 0–1 and 1–2 the other, below and
// above corner 1. A horizontal edge bounds no row (the row range keeps or
// drops the rows along it), so it is never used.
inline CellTriangle::CellTriangle(const GridTriangle& g) {
    int64_t area = scan_detail::twiceArea(g);
    if (area == 0) return;
    int64_t x[3] = {g.x[0], g.x[1], g.x[2]}, y[3] = {g.y[0], g.y[1], g.y[2]};
    auto order = [&](int a, int b) {
        bool swap = y[b] < y[a];
        int64_t xa = x[a], ya = y[a];
        x[a] = swap ? x[b] : xa, y[a] = swap ? y[b] : ya;
        x[b] = swap ? xa : x[b], y[b] = swap ? ya : y[b];
        area = swap ? -area : area;
    };
    order(0, 1), order(1, 2), order(0, 1);
    firstRow_ = scan_detail::rowFrom(y[0]);
    endRow_ = scan_detail::rowFrom(y[2]);

    Side& longSide = sides_[0];
    Side& shortSide = sides_[1];
    // The long edge bounds every row: its side's upper limit from the first.
    longSide.upper = edgeLimit(x[0], y[0], x[2], y[2]);
    longSide.upperFrom = firstRow_;
    if (y[1] > y[0]) shortSide.lower = edgeLimit(x[0], y[0], x[1], y[1]);
    if (y[2] > y[1]) shortSide.upper = edgeLimit(x[1], y[1], x[2], y[2]);
    shortSide.upperFrom = scan_detail::rowFrom(y[1]);
    // Counter-clockwise in sorted order puts corner 1 right of the long
    // edge, which is then the left side.
    longRight_ = area < 0;
}

inline CellTriangle::Walk::Walk(const Limit& l, int64_t j) : divisor(l.divisor) {
    int64_t n = l.base + l.step * j;
    q = scan_detail::ceilDiv(n, divisor);
    r = q * divisor - n;
    dq = scan_detail::ceilDiv(l.step, divisor);
    dr = dq * divisor - l.step;
}

template <class SpanAction>
void CellTriangle::forRows(int firstRow, int endRow, int side, SpanAction&& spanAction) const {
    int64_t j = std::max<int64_t>({firstRow, firstRow_, 0});
    const int64_t last = std::min<int64_t>({endRow, endRow_, side});
    // A walk costs two divisions a side to set up: for one or two rows,
    // dividing per row is cheaper.
    if (last - j <= 2) {
        for (; j < last; ++j) {
            CellSpan s = span(static_cast<int>(j), side);
            if (!s.empty()) spanAction(static_cast<int>(j), s.first, s.end);
        }
        return;
    }
    const Side &leftSide = left(), &rightSide = right();
    Walk first(leftSide.at(j), j), end(rightSide.at(j), j);
    for (;;) {
        int a = scan_detail::clip(first.q, side), b = scan_detail::clip(end.q, side);
        if (a < b) spanAction(static_cast<int>(j), a, b);
        if (++j == last) return;
        first.next(), end.next();
        // Past the middle corner, the side's upper edge takes over.
        if (j == leftSide.upperFrom) first = Walk(leftSide.upper, j);
        if (j == rightSide.upperFrom) end = Walk(rightSide.upper, j);
    }
}
