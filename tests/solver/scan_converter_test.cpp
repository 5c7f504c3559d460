// The cells of triangles: each against the cell-by-cell rule, the forms of
// the converter against each other, tiled meshes covering every centre once,
// and the mean cell count against the area.
#include "solver/scan_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tests/support/cell_reference.h"
#include "tests/support/flat_meshes.h"

namespace {
using namespace flat_meshes;

constexpr int kSide = 1001;

struct Span {
    int row, first, end;
    bool operator==(const Span& o) const {
        return row == o.row && first == o.first && end == o.end;
    }
};

std::vector<Span> spansOf(const ProjectedTriangle& t, int side = kSide) {
    std::vector<Span> spans;
    scanTriangle(t, side, [&](int row, int first, int end) { spans.push_back({row, first, end}); });
    return spans;
}

// A coordinate drawn so that some land exactly on cell centres, corners,
// half and quarter steps, and the rest anywhere.
float drawCoordinate(std::mt19937_64& rng, double lo, double hi) {
    double v = std::uniform_real_distribution<double>(lo, hi)(rng);
    switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
        case 0:
            return static_cast<float>(std::floor(v) + 0.5);  // a centre
        case 1:
            return static_cast<float>(std::floor(v));  // a corner
        case 2:
            return static_cast<float>(std::floor(v * 4.0) / 4.0);
        default:
            return static_cast<float>(v);
    }
}

// A triangle around a random point, corners within `reach` cells of it.
ProjectedTriangle drawTriangle(std::mt19937_64& rng, double reach, double lo = 0.0,
                               double hi = kSide - 1) {
    std::uniform_real_distribution<double> centre(lo + reach, hi - reach);
    double cx = centre(rng), cy = centre(rng);
    ProjectedTriangle t;
    for (int i = 0; i < 3; ++i) {
        t.x[i] = drawCoordinate(rng, cx - reach, cx + reach);
        t.y[i] = drawCoordinate(rng, cy - reach, cy + reach);
    }
    return t;
}

// Compares the scan with the rule over the triangle's box and a margin of
// two cells, which must hold no cell of it.
void expectMatchesRule(const ProjectedTriangle& t, int side = kSide) {
    std::vector<Span> spans = spansOf(t, side);
    float lo = std::min({t.y[0], t.y[1], t.y[2]}), hi = std::max({t.y[0], t.y[1], t.y[2]});
    float left = std::min({t.x[0], t.x[1], t.x[2]}), right = std::max({t.x[0], t.x[1], t.x[2]});
    int j0 = std::max(0, static_cast<int>(lo) - 2), j1 = std::min(side, static_cast<int>(hi) + 3);
    int k0 = std::max(0, static_cast<int>(left) - 2);
    int k1 = std::min(side, static_cast<int>(right) + 3);
    for (const Span& s : spans)
        ASSERT_TRUE(s.row >= j0 && s.row < j1 && s.first >= k0 && s.end <= k1 && s.first < s.end);
    size_t next = 0;
    for (int j = j0; j < j1; ++j) {
        const Span* s = next < spans.size() && spans[next].row == j ? &spans[next++] : nullptr;
        for (int k = k0; k < k1; ++k) {
            bool scanned = s && k >= s->first && k < s->end;
            ASSERT_EQ(scanned, cell_reference::inside(t, k, j)) << "cell " << k << ", " << j;
        }
    }
    EXPECT_EQ(next, spans.size()) << "rows out of order or repeated";
}

// Counts the cells each triangle of the mesh covers, in a box around the
// mesh, and checks every count: one inside the outline, none outside. Every
// triangle must keep its winding on the grid, or the mesh would not tile.
void expectTiledOnce(const FlatMesh& m, int side = kSide) {
    for (size_t i = 0; i < m.triangles.size(); ++i) {
        GridTriangle g = toGrid(m.triangle(i));
        ASSERT_GT(scan_detail::twiceArea(g), 0) << "triangle " << i;
    }
    auto [xlo, xhi] = std::minmax_element(m.x.begin(), m.x.end());
    auto [ylo, yhi] = std::minmax_element(m.y.begin(), m.y.end());
    int k0 = std::max(0, static_cast<int>(std::floor(*xlo)) - 2);
    int k1 = std::min(side, static_cast<int>(std::floor(*xhi)) + 3);
    int j0 = std::max(0, static_cast<int>(std::floor(*ylo)) - 2);
    int j1 = std::min(side, static_cast<int>(std::floor(*yhi)) + 3);
    if (k0 >= k1 || j0 >= j1) return;
    const int width = k1 - k0;
    std::vector<int> count(static_cast<size_t>(width) * (j1 - j0), 0);
    for (size_t i = 0; i < m.triangles.size(); ++i) {
        scanTriangle(m.triangle(i), side, [&](int row, int first, int end) {
            ASSERT_TRUE(row >= j0 && row < j1 && first >= k0 && end <= k1);
            for (int k = first; k < end; ++k) ++count[(row - j0) * width + (k - k0)];
        });
    }
    for (int j = j0; j < j1; ++j)
        for (int k = k0; k < k1; ++k)
            ASSERT_EQ(count[(j - j0) * width + (k - k0)],
                      cell_reference::insideOutline(m, k, j) ? 1 : 0)
                << "cell " << k << ", " << j;
}

// Twice the area of a triangle, from its float corners, in double.
double twiceArea(const ProjectedTriangle& t) {
    double x[3], y[3];
    for (int c = 0; c < 3; ++c)
        x[c] = static_cast<double>(t.x[c]), y[c] = static_cast<double>(t.y[c]);
    return std::fabs((x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]));
}
}  // namespace

// Random triangles from under a cell to 80 cells across, with corners on
// centres, corners and quarter steps; right triangles with legs along
// centre lines and cell edges, where every centre on a leg is a tie; and
// every order of the corners, which must not change a cell.
TEST(ScanConverter, MatchesTheCellByCellRule) {
    std::mt19937_64 rng(11);
    for (double reach : {0.3, 0.7, 1.5, 4.0, 12.0, 40.0})
        for (int i = 0; i < 1000; ++i)
            ASSERT_NO_FATAL_FAILURE(expectMatchesRule(drawTriangle(rng, reach)));
    for (float base : {10.0f, 10.5f})
        for (float leg : {1.0f, 2.0f, 3.5f, 6.0f})
            for (float sx : {-1.0f, 1.0f})
                for (float sy : {-1.0f, 1.0f})
                    expectMatchesRule(
                        {{base, base + sx * leg, base}, {base, base, base + sy * leg}});
    for (int i = 0; i < 2000; ++i) {
        ProjectedTriangle t = drawTriangle(rng, i % 2 ? 1.0 : 15.0);
        std::vector<Span> first = spansOf(t);
        int order[3] = {0, 1, 2};
        while (std::next_permutation(order, order + 3)) {
            ProjectedTriangle u;
            for (int c = 0; c < 3; ++c) u.x[c] = t.x[order[c]], u.y[c] = t.y[order[c]];
            ASSERT_EQ(spansOf(u), first);
        }
    }
}

// The whole triangle, a band of rows, one row at a time and one centre at a
// time give the same cells, and the cell box holds them all.
TEST(ScanConverter, EveryFormGivesTheSameCells) {
    std::mt19937_64 rng(13);
    for (int i = 0; i < 3000; ++i) {
        ProjectedTriangle t = drawTriangle(rng, std::ldexp(1.0, i % 8) * 0.25);
        GridTriangle g = toGrid(t);
        CellTriangle cells(g);
        std::vector<Span> whole = spansOf(t), banded, byRow, byBox, byCentre;
        for (int band = 0; band < kSide; band += 32)
            cells.forRows(band, band + 32, kSide, [&](int row, int first, int end) {
                banded.push_back({row, first, end});
            });
        CellBox box = cellBox(g, kSide);
        RowRange rows = triangleRows(g, kSide);
        CentreTest test(g);
        test.forRows(box, 0, kSide, [&](int row, int first, int end) {
            byBox.push_back({row, first, end});
        });
        for (int j = rows.first; j < rows.end; ++j) {
            CellSpan s = cells.span(j, kSide);
            if (!s.empty()) byRow.push_back({j, s.first, s.end});
            int first = -1, end = -1;
            for (int k = box.firstColumn; k < box.endColumn; ++k)
                if (test.covers(k, j)) first = first < 0 ? k : first, end = k + 1;
            if (first >= 0) byCentre.push_back({j, first, end});
        }
        ASSERT_EQ(banded, whole);
        ASSERT_EQ(byRow, whole);
        ASSERT_EQ(byBox, whole);
        ASSERT_EQ(byCentre, whole);
        for (const Span& s : whole) {
            ASSERT_TRUE(s.row >= box.firstRow && s.row < box.endRow && s.first >= box.firstColumn &&
                        s.end <= box.endColumn);
        }
        if (scan_detail::twiceArea(g) != 0) {
            ASSERT_TRUE(rows.first == box.firstRow && rows.end == box.endRow);
        }
    }
}

// Flat triangles and NaN corners cover nothing; cells are clipped to the
// buffer; corners far outside are pulled in alike, so a triangle over the
// whole buffer still covers all of it.
TEST(ScanConverter, FlatFarAndNotANumberTriangles) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<ProjectedTriangle> nothing = {
        {{10.5f, 20.5f, 30.5f}, {10.5f, 20.5f, 30.5f}},  // along a diagonal of centres
        {{10.0f, 20.0f, 15.0f}, {10.5f, 10.5f, 10.5f}},  // along a centre row
        {{7.5f, 7.5f, 7.5f}, {1.0f, 9.0f, 4.0f}},        // along a centre column
        {{5.5f, 5.5f, 5.5f}, {5.5f, 5.5f, 5.5f}},        // a point on a centre
        {{5.0f, 60.0f, nan}, {5.0f, 90.0f, 70.0f}},      // a NaN corner
    };
    for (const ProjectedTriangle& t : nothing) {
        EXPECT_TRUE(spansOf(t).empty());
        EXPECT_TRUE(CellTriangle(t).empty());
        CentreTest test(toGrid(t));
        for (int k = 0; k < 100; ++k)
            for (int j = 0; j < 100; ++j) ASSERT_FALSE(test.covers(k, j));
    }
    std::mt19937_64 rng(15);
    for (int i = 0; i < 2000; ++i)
        ASSERT_NO_FATAL_FAILURE(expectMatchesRule(drawTriangle(rng, 25.0, -30.0, 70.0), 40));
    std::vector<Span> all = spansOf({{-1e30f, 500.0f, 3e9f}, {-2e9f, 1e12f, -7e8f}});
    ASSERT_EQ(all.size(), static_cast<size_t>(kSide));
    for (const Span& s : all) ASSERT_TRUE(s.first == 0 && s.end == kSide);
}

// Meshes that tile a region cover every cell centre inside it exactly once
// and none outside: grids of squares from a tenth of a cell to some 450
// cells per triangle, in any turn and with moved inner corners; unturned
// grids with corners on centres and cell corners and edges along centre
// lines; fans around a corner on a centre, a cell corner or a centre line;
// and grids over the buffer's edge.
TEST(ScanConverter, TiledMeshesCoverEveryCentreOnce) {
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 250; ++i) {
        double spacing = 0.45 * std::pow(30.0 / 0.45, unit(rng));
        int n = std::clamp(static_cast<int>(120.0 / spacing), 2, 48);
        std::uniform_int_distribution<int> count(1, n);
        double angle = i % 5 == 0 ? (i % 4) * kTwoPi / 8.0 : kTwoPi * unit(rng);
        GridShape g{300.0 + 400.0 * unit(rng),
                    300.0 + 400.0 * unit(rng),
                    spacing,
                    angle,
                    count(rng),
                    count(rng),
                    i % 3 == 0 ? 0.0 : 0.2 * unit(rng)};
        ASSERT_NO_FATAL_FAILURE(expectTiledOnce(gridMesh(g, rng))) << "grid " << i;
    }
    for (double spacing : {0.5, 1.0, 1.5, 3.5, 8.0})
        for (double origin : {200.0, 200.5, 200.25})
            for (double angle : {0.0, kTwoPi / 4, kTwoPi / 2, 3 * kTwoPi / 4}) {
                GridShape g{origin, origin + 100.0, spacing, angle, 12, 9, 0.0};
                ASSERT_NO_FATAL_FAILURE(expectTiledOnce(gridMesh(g, rng)))
                    << spacing << " " << origin << " " << angle;
            }
    const double places[][2] = {{400.5, 400.5}, {400.0, 400.0}, {400.5, 400.0}, {400.0, 400.5}};
    for (int i = 0; i < 500; ++i) {
        double cx = i % 5 < 4 ? places[i % 5][0] : 400.0 + unit(rng);
        double cy = i % 5 < 4 ? places[i % 5][1] : 400.0 + unit(rng);
        double rMax = 0.4 * std::pow(75.0, unit(rng));
        int n = 5 + static_cast<int>(12 * unit(rng));
        ASSERT_NO_FATAL_FAILURE(expectTiledOnce(fanMesh(cx, cy, 0.3 * rMax, rMax, n, rng)))
            << "fan " << i;
    }
    for (int i = 0; i < 100; ++i) {
        double spacing = 0.5 + 6.0 * unit(rng);
        int n = static_cast<int>(40 / spacing) + 1;
        GridShape g{
            -30.0 + 60.0 * unit(rng), -30.0 + 60.0 * unit(rng), spacing, kTwoPi * unit(rng), n, n,
            0.2 * unit(rng)};
        ASSERT_NO_FATAL_FAILURE(expectTiledOnce(gridMesh(g, rng), 50)) << "edge grid " << i;
    }
}

// Over random placements within a cell (and random shapes and turns), a
// triangle's mean cell count is its area in cells, from a tenth of a cell to
// a thousand. The placements are stratified over the cell to keep it quick.
TEST(ScanConverter, MeanCellCountIsTheArea) {
    std::mt19937_64 rng(25);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_real_distribution<float> corner(0.0f, 1.0f);
    for (double area : {0.1, 0.3, 1.0, 3.0, 10.0, 30.0, 100.0, 300.0, 1000.0}) {
        const int strata = 32, shapes = area <= 10.0 ? 512 : 64;
        double cells = 0.0, expected = 0.0;
        for (int s = 0; s < shapes; ++s) {
            ProjectedTriangle shape;  // three corners in the unit square, no needle
            do {
                for (int c = 0; c < 3; ++c) shape.x[c] = corner(rng), shape.y[c] = corner(rng);
            } while (twiceArea(shape) < 0.04);
            double scale = std::sqrt(2.0 * area / twiceArea(shape));
            for (int u = 0; u < strata * strata; ++u) {
                double ox = 500.0 + (u % strata + unit(rng)) / strata;
                double oy = 500.0 + (u / strata + unit(rng)) / strata;
                ProjectedTriangle t;
                for (int c = 0; c < 3; ++c) {
                    t.x[c] = static_cast<float>(ox + scale * static_cast<double>(shape.x[c]));
                    t.y[c] = static_cast<float>(oy + scale * static_cast<double>(shape.y[c]));
                }
                expected += twiceArea(t) / 2.0;
                scanTriangle(t, kSide, [&](int, int first, int end) { cells += end - first; });
            }
        }
        EXPECT_NEAR(cells / expected, 1.0, 0.005) << "area " << area;
    }
}
