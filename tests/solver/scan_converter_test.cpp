#include "solver/scan_converter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Span {
    int row, first, end;
    bool operator==(const Span& o) const {
        return row == o.row && first == o.first && end == o.end;
    }
};

std::vector<Span> spansOf(ProjectedTriangle t, int side = 1001) {
    std::vector<Span> spans;
    scanTriangle(t, side, [&](int row, int first, int end) { spans.push_back({row, first, end}); });
    return spans;
}

int cellsOf(const std::vector<Span>& spans) {
    int n = 0;
    for (const Span& s : spans) n += s.end - s.first;
    return n;
}
}  // namespace

TEST(ScanConverter, UpperHalfStartsWithAnEmptySpanAtTheTopCorner) {
    // Flat bottom: only the upper half, rows 10 down to 1, widths 0 to 9.
    auto spans = spansOf({{0, 10, 0}, {0, 0, 10}});
    std::vector<Span> expected;
    for (int row = 9; row >= 1; --row) expected.push_back({row, 0, 10 - row});
    EXPECT_EQ(spans, expected);
    EXPECT_EQ(cellsOf(spans), 45);
}

TEST(ScanConverter, LowerHalfIncludesTheMiddleRow) {
    // Flat top: only the lower half, rows 0 to 10 inclusive, widths 0 to 10.
    auto spans = spansOf({{0, 0, 10}, {0, 10, 10}});
    std::vector<Span> expected;
    for (int row = 1; row <= 10; ++row) expected.push_back({row, 0, row});
    EXPECT_EQ(spans, expected);
}

TEST(ScanConverter, CornerOrderDoesNotChangeTheCells) {
    ProjectedTriangle a{{100.5f, 300.25f, 180.75f}, {50.5f, 120.25f, 400.75f}};
    auto reference = spansOf(a);
    EXPECT_GT(cellsOf(reference), 0);
    int order[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (auto& o : order) {
        ProjectedTriangle b{{a.x[o[0]], a.x[o[1]], a.x[o[2]]}, {a.y[o[0]], a.y[o[1]], a.y[o[2]]}};
        EXPECT_EQ(spansOf(b), reference);
    }
}

TEST(ScanConverter, Slivers) {
    // Less than one cell high in both halves: nothing.
    EXPECT_TRUE(spansOf({{10, 500, 20}, {100.2f, 100.7f, 101.1f}}).empty());
    // Flat: nothing, and no slope of a zero height is used.
    EXPECT_TRUE(spansOf({{10, 500, 20}, {100, 100, 100}}).empty());
    // A single point.
    EXPECT_TRUE(spansOf({{7, 7, 7}, {7, 7, 7}}).empty());
}

TEST(ScanConverter, OvershootOfTheLowerHalfStaysInsideTheRow) {
    // The lower half is 1.1 high but spans rows 0 to 2, so the left edge
    // steps once more than its height: from 500 by -409 per row to -318.
    auto spans = spansOf({{500, 50, 510}, {0.9f, 2.0f, 2.5f}});
    ASSERT_FALSE(spans.empty());
    EXPECT_EQ(spans[0], (Span{1, 90, 506}));
    EXPECT_EQ(spans[1], (Span{2, 0, 512}));  // clipped at cell 0 of its own row
    // The same at the right border of the buffer.
    for (const Span& s : spansOf({{500, 950, 490}, {0.9f, 2.0f, 2.5f}}, 1001)) {
        EXPECT_GE(s.first, 0);
        EXPECT_LE(s.end, 1001);
    }
}

TEST(ScanConverter, CornersOutsideTheBufferDrawNothing) {
    EXPECT_TRUE(spansOf({{10, 1001, 20}, {10, 20, 30}}).empty());
    EXPECT_TRUE(spansOf({{10, -1, 20}, {10, 20, 30}}).empty());
    EXPECT_TRUE(spansOf({{10, 20, 20}, {10, 20, 1000.5f}}).empty());
}
