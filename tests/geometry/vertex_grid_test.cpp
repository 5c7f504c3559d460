#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/scene.h"

namespace {

// The newest vertex of the current object closer than 0.1 on every axis, by
// a plain walk of the list.
Vertex* plainMatch(const Scene& s, const Vector& p) {
    for (int i = s.vertexCount() - 1; i >= 0; --i) {
        const Vector& q = s.vertices[i]->position;
        if (std::fabs(p.x - q.x) < 0.1 && std::fabs(p.y - q.y) < 0.1 && std::fabs(p.z - q.z) < 0.1)
            return s.vertices[i];
    }
    return nullptr;
}

}  // namespace

TEST(VertexGrid, MergesAsThePlainWalkAroundTwoToTheFifty) {
    // Below 2^50 doubles lie 0.125 apart, from it on 0.25: nothing closer
    // than 0.1 lies across it, and beyond it only equal coordinates match.
    const double edge = std::ldexp(1.0, 50);
    auto s = std::make_unique<Scene>();
    s->objectNumber = 1;
    std::vector<Vector> points;
    for (double base : {edge, -edge, std::ldexp(1.0, 49), 1e300})
        for (int k = -3; k <= 3; ++k) {
            double x = base;
            for (int step = 0; step < std::abs(k); ++step)
                x = std::nextafter(x, k < 0 ? 0.0 : HUGE_VAL);
            points.emplace_back(x, 1.0, 2.0);
            points.emplace_back(x, 1.05, 2.0);
            points.emplace_back(std::nextafter(x, 0.0), 1.0, 2.0);
        }
    for (const Vector& p : points) {
        Vertex* expected = plainMatch(*s, p);
        Vertex* got = s->addVertex(p, true);
        if (expected)
            EXPECT_EQ(got, expected) << p.x;
        else
            EXPECT_EQ(got, s->vertices.back()) << p.x;
    }
}

TEST(VertexGrid, FarAwayVerticesDoNotPileUpInOneCell) {
    // Distinct vertices of one object beyond 2^50 on every axis: each search
    // must compare a handful of entries, not every vertex before it.
    auto s = std::make_unique<Scene>();
    s->objectNumber = 1;
    for (int i = 0; i < 100000; ++i) s->addVertex(Vector(1e16 + 2.0 * i, -1e17, 3e20), true);
    EXPECT_EQ(s->vertexCount(), 100000);
    EXPECT_LT(s->vertices.mergeProbes(), 10 * 100000);
}
