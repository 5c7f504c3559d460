// The division of a patch's cell sum: which way each patch takes, the
// promise that a wide patch always covers a cell, and the mean estimate.
#include "solver/bundle_estimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {
constexpr int kSide = 1001;

// A triangle with its longest side `length` along a turned axis and its
// third corner `width` off it, `along` of the way, placed at (x, y).
ProjectedTriangle needle(double length, double width, double along, double turn, double x,
                         double y) {
    double c = std::cos(turn), s = std::sin(turn);
    double u[3] = {0.0, length, along * length}, v[3] = {0.0, 0.0, width};
    ProjectedTriangle t;
    for (int i = 0; i < 3; ++i) {
        t.x[i] = static_cast<float>(x + c * u[i] - s * v[i]);
        t.y[i] = static_cast<float>(y + s * u[i] + c * v[i]);
    }
    return t;
}

int cellsOf(const ProjectedTriangle& t) {
    int cells = 0;
    scanTriangle(t, kSide, [&](int, int first, int end) { cells += end - first; });
    return cells;
}
}  // namespace

// Wide patches are divided by their count, narrow ones (needles too, however
// large) by their area; nothing to divide by gives 0.
TEST(BundleEstimate, DividesWidePatchesByTheirCountAndNarrowOnesByTheirArea) {
    CellShare wide = cellShare(needle(10.0, 2.6, 0.5, 0.3, 500.0, 500.0));
    EXPECT_TRUE(wide.byCount);
    EXPECT_NEAR(wide.area, 13.0, 1e-3);
    EXPECT_FALSE(cellShare(needle(400.0, 2.4, 0.5, 0.3, 300.0, 300.0)).byCount);
    EXPECT_FALSE(cellShare(needle(1.0, 0.2, 0.3, 1.0, 500.0, 500.0)).byCount);
    CellShare none = cellShare(needle(0.0, 0.0, 0.0, 0.0, 500.0, 500.0));
    EXPECT_FALSE(none.byCount);

    EXPECT_EQ(cellDivisor(8, {7.5, true}), 8.0);
    EXPECT_EQ(cellDivisor(8, {0.25, false}), 0.25);
    EXPECT_EQ(cellDivisor(0, {3.0, true}), 0.0);
    EXPECT_EQ(cellDivisor(0, none), 0.0);
    EXPECT_EQ(cellDivisor(1, {std::nan(""), false}), 0.0);
}

// The reason the count may be trusted: every placement of a triangle at
// least kMinWidth wide holds the centre of some cell.
TEST(BundleEstimate, WidePatchesAlwaysCoverACell) {
    std::mt19937_64 rng(41);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 100000; ++i) {
        double width = kMinWidth * (1.0 + 1e-6), length = width * (1.0 + 3.0 * unit(rng));
        ProjectedTriangle t =
            needle(length, width, unit(rng), 6.3 * unit(rng), 500 + unit(rng), 500 + unit(rng));
        if (!cellShare(t).byCount) continue;
        ASSERT_GE(cellsOf(t), 1) << i;
    }
}

// Under a uniform radiance of 1, the estimate's mean over placements is 1 at
// every size, on either side of the switch, for patches of all shapes.
TEST(BundleEstimate, MeanUnderUniformRadianceIsTheRadiance) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (double cells : {0.2, 2.0, 20.0, 200.0}) {
        double total = 0.0;
        const int samples = 100000;
        for (int i = 0; i < samples; ++i) {
            double width = std::sqrt(cells) * (0.3 + unit(rng));
            ProjectedTriangle t = needle(2.0 * cells / width, width, unit(rng), 6.3 * unit(rng),
                                         500 + unit(rng), 500 + unit(rng));
            int covered = cellsOf(t);
            double divisor = cellDivisor(covered, cellShare(t));
            total += divisor > 0.0 ? covered / divisor : 0.0;
        }
        EXPECT_NEAR(total / samples, 1.0, 0.01) << cells << " cells";
    }
}
