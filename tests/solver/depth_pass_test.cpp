// Depth ranges of what a view sees and their passes, without a GL context.
#include "solver/depth_pass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

#include "solver/patch.h"
#include "solver/view_pyramid.h"

namespace {
// Triangles standing alone, with corners that outlive the test's patches.
class Triangles {
  public:
    void add(const Vector& a, const Vector& b, const Vector& c) {
        for (const Vector& p : {a, b, c}) {
            corners_.emplace_back();
            corners_.back().position = p;
        }
        patches_.emplace_back();
    }
    const std::vector<Patch*>& patches() {
        pointers_.clear();
        Material m;
        for (size_t i = 0; i < patches_.size(); ++i) {
            initPatch(patches_[i], &corners_[3 * i], &corners_[3 * i + 1], &corners_[3 * i + 2], &m,
                      1);
            pointers_.push_back(&patches_[i]);
        }
        return pointers_;
    }

  private:
    std::deque<Vertex> corners_;
    std::deque<Patch> patches_;
    std::vector<Patch*> pointers_;
};

DepthInterval interval(double nearest, double farthest) {
    DepthInterval d;
    d.nearest = nearest;
    d.farthest = farthest;
    return d;
}
}  // namespace

TEST(DepthPass, ItemBufferKeepsItsFixedPlanesForWhatFitsBetweenThem) {
    for (const DepthInterval& d : {interval(1, 1000), interval(2.5, 40), DepthInterval()}) {
        std::vector<DepthPass> passes = itemBufferDepthPasses(d);
        ASSERT_EQ(passes.size(), 1u);
        EXPECT_EQ(passes[0].nearPlane, 1.0);
        EXPECT_EQ(passes[0].farPlane, 1000.0);
    }
    // Otherwise 1 % outside what is seen, in one pass when far / near ≤ 1000.
    std::vector<DepthPass> small = itemBufferDepthPasses(interval(0.001, 0.5));
    ASSERT_EQ(small.size(), 1u);
    EXPECT_DOUBLE_EQ(small[0].nearPlane, 0.001 / 1.01);
    EXPECT_DOUBLE_EQ(small[0].farPlane, 0.505);
    std::vector<DepthPass> far = itemBufferDepthPasses(interval(900, 4000));
    ASSERT_EQ(far.size(), 1u);
    EXPECT_DOUBLE_EQ(far[0].farPlane, 4040);
}

TEST(DepthPass, WideRangesSplitFarthestFirstWithOverlaps) {
    std::vector<DepthPass> passes = splitDepthRange(0.01, 4000, 1000);
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes.front().farPlane, 4000);
    EXPECT_EQ(passes.back().nearPlane, 0.01);
    for (size_t i = 0; i < passes.size(); ++i) {
        EXPECT_LE(passes[i].farPlane / passes[i].nearPlane, 1000 * (1 + 1e-12)) << i;
        // Each nearer pass reaches 1 % behind the next farther one's near plane.
        if (i > 0) {
            EXPECT_NEAR(passes[i].farPlane / passes[i - 1].nearPlane, 1.01, 1e-12);
        }
    }
    EXPECT_EQ(splitDepthRange(1e-30, 1, 100).back().nearPlane, 1e-12);
    EXPECT_EQ(splitDepthRange(1e-30, 1, 100).size(), 7u);  // 10¹² in ratios of 99
    EXPECT_EQ(splitDepthRange(1, HUGE_VAL, 100).size(), 1u);
}

TEST(ViewPyramid, DepthsOfThePartsInsideAFace) {
    Triangles t;
    // Looking along +z: a triangle from depth 2 to 6, its far corner outside
    // the face, whose side x = 1.001 z cuts it at depth 2 + 4 · 2.002 / 3.996.
    t.add(Vector(0, 0, 2), Vector(0, 1, 2), Vector(8, 0, 6));
    // Behind the eye, and in a plane through the eye (edge-on): neither asks
    // for a near plane; the edge-on one reaches to depth 8.
    t.add(Vector(0, 0, -1), Vector(1, 0, -1), Vector(0, 1, -1));
    t.add(Vector(0.5, 0, 0), Vector(-1, 0, 8), Vector(1, 0, 8));
    ViewPyramid face =
        ViewPyramid::itemBufferFace(Vector(0, 0, 0), Vector(0, 0, 1), Vector(0, 1, 0), true);
    DepthInterval d = face.depthsOf(t.patches());
    EXPECT_NEAR(d.nearest, 2, 1e-12);
    EXPECT_NEAR(d.farthest, 8, 1e-12);
    std::vector<Patch*> first(t.patches().begin(), t.patches().begin() + 1);
    EXPECT_NEAR(face.depthsOf(first).farthest, 2 + 4 * 2.002 / 3.996, 1e-12);

    // A half face keeps y ≥ 0 only: seen from (0, 3, 0), all of them lie below.
    ViewPyramid half =
        ViewPyramid::itemBufferFace(Vector(0, 3, 0), Vector(0, 0, 1), Vector(0, 1, 0), false);
    EXPECT_TRUE(half.depthsOf(t.patches()).empty());
}
