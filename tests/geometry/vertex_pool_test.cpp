#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "app/scene.h"

namespace {

// The merge rule stated plainly: the newest vertex of the current object that
// lies closer than 0.1 on every axis, or null.
Vertex* newestMatch(const Scene& s, const Vector& p) {
    for (int i = s.vertexCount() - 1; i >= 0; --i) {
        Vertex* v = s.vertices[i];
        if (v->object == s.objectNumber && std::fabs(p.x - v->position.x) < 0.1 &&
            std::fabs(p.y - v->position.y) < 0.1 && std::fabs(p.z - v->position.z) < 0.1)
            return v;
    }
    return nullptr;
}

// Adds every point with merging and checks each result against the plain walk.
void expectSameAsPlainWalk(Scene& s, const std::vector<Vector>& points) {
    for (const Vector& p : points) {
        Vertex* expected = newestMatch(s, p);
        int before = s.vertexCount();
        Vertex* got = s.addVertex(p, true);
        if (expected) {
            ASSERT_EQ(got, expected) << "point " << p.x << " " << p.y << " " << p.z;
            ASSERT_EQ(s.vertexCount(), before);
        } else {
            ASSERT_EQ(s.vertexCount(), before + 1) << "point " << p.x << " " << p.y << " " << p.z;
            ASSERT_EQ(got, s.vertices.back());
            ASSERT_EQ(std::memcmp(&got->position, &p, sizeof p), 0);  // NaN too
        }
    }
}

std::unique_ptr<Scene> sceneForObject(int object) {
    auto s = std::make_unique<Scene>();
    s->objectNumber = object;
    return s;
}

}  // namespace

TEST(VertexPool, NewVertexIsStampedAndSaved) {
    auto s = sceneForObject(3);
    Vertex* v = s->addVertex(Vector(1, 2, 3), true);
    EXPECT_EQ(v->position, Vector(1, 2, 3));
    EXPECT_EQ(v->savedPosition, Vector(1, 2, 3));
    EXPECT_EQ(v->object, 3);
    EXPECT_EQ(s->vertexCount(), 1);
    EXPECT_EQ(s->vertices[0], v);
}

TEST(VertexPool, MergesCloserThanTheTolerancePerAxis) {
    auto s = sceneForObject(1);
    Vertex* a = s->addVertex(Vector(1, 1, 1), true);
    EXPECT_EQ(s->addVertex(Vector(1.09, 0.91, 1.05), true), a);
    // 0.1 apart (as the doubles 1.1 and 1 are) is not closer than 0.1.
    Vertex* b = s->addVertex(Vector(1.1, 1, 1), true);
    EXPECT_NE(b, a);
    // Near on two axes but not on the third: no match.
    EXPECT_NE(s->addVertex(Vector(1.05, 1.05, 1.3), true), a);
    EXPECT_EQ(s->vertexCount(), 3);
}

TEST(VertexPool, WithoutMergeAlwaysCreates) {
    auto s = sceneForObject(1);
    Vertex* a = s->addVertex(Vector(1, 1, 1), false);
    Vertex* b = s->addVertex(Vector(1, 1, 1), false);
    EXPECT_NE(a, b);
    // A vertex added without merging is still found by later merges: the newest.
    EXPECT_EQ(s->addVertex(Vector(1, 1, 1), true), b);
}

TEST(VertexPool, ReturnsTheNewestOfSeveralMatches) {
    auto s = sceneForObject(1);
    s->addVertex(Vector(0, 0, 0), true);
    Vertex* newer = s->addVertex(Vector(0.15, 0, 0), true);
    ASSERT_EQ(s->vertexCount(), 2);
    EXPECT_EQ(s->addVertex(Vector(0.07, 0.02, -0.03), true), newer);
}

TEST(VertexPool, ObjectsNeverShareVertices) {
    auto s = sceneForObject(1);
    Vertex* first = s->addVertex(Vector(5, 5, 5), true);
    s->objectNumber = 2;
    Vertex* second = s->addVertex(Vector(5, 5, 5), true);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->object, 1);
    EXPECT_EQ(second->object, 2);
    EXPECT_EQ(s->addVertex(Vector(5.05, 5, 5), true), second);
}

TEST(VertexPool, SameAsPlainWalkOnRandomPoints) {
    auto s = sceneForObject(1);
    std::mt19937_64 generator(12345);
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
    std::vector<Vector> points;
    for (int i = 0; i < 4000; ++i)
        points.emplace_back(coordinate(generator), coordinate(generator), coordinate(generator));
    expectSameAsPlainWalk(*s, points);
    EXPECT_GT(s->vertexCount(), 500);  // both merges and new vertices occurred
    EXPECT_LT(s->vertexCount(), 4000);
}

TEST(VertexPool, SameAsPlainWalkOnGridAlignedPoints) {
    // Multiples of 0.1 and 0.05 sit on cell boundaries, and neighbours exactly
    // 0.1 apart are decided by the rounding of their difference.
    auto s = sceneForObject(1);
    std::mt19937_64 generator(99);
    std::uniform_int_distribution<int> step(-30, 30);
    std::vector<Vector> points;
    for (int i = 0; i < 3000; ++i) {
        double x = step(generator) * 0.1, y = step(generator) / 10.0, z = step(generator) * 0.05;
        points.emplace_back(x, y, z);
        points.emplace_back(x + 0.1, y, z);  // 0.1 apart as computed
        points.emplace_back(x, y - 0.1, z + 0.1);
    }
    expectSameAsPlainWalk(*s, points);
}

TEST(VertexPool, SameAsPlainWalkFarFromTheOrigin) {
    // Where a double's spacing is coarse, differences of nearly 0.1 round either way.
    auto s = sceneForObject(1);
    std::mt19937_64 generator(7);
    std::uniform_int_distribution<int> step(-40, 40);
    std::uniform_int_distribution<int> jitter(-3, 3);
    std::vector<Vector> points;
    for (double base : {1e3, -2.5e5, 1e7, 3e9}) {
        for (int i = 0; i < 800; ++i) {
            double x = base + step(generator) * 0.1;
            double y = base * 0.5 + step(generator) * 0.1;
            for (int k = 0; k < jitter(generator) + 3; ++k) x = std::nextafter(x, base * 2);
            points.emplace_back(x, y, 0.0);
            points.emplace_back(x + 0.1, y, 0.0);
        }
    }
    expectSameAsPlainWalk(*s, points);
}

TEST(VertexPool, SameAsPlainWalkForExtremeCoordinates) {
    // Infinite and undefined coordinates never match; huge ones match only
    // when the rounded difference says so.
    const double inf = HUGE_VAL;
    auto s = sceneForObject(1);
    std::vector<Vector> points = {
        {inf, 0, 0},        {inf, 0, 0},      {-inf, 1, 1},          {std::nan(""), 0, 0},
        {0, 0, 0},          {2e14, 5, 5},     {2e14 + 0.0625, 5, 5}, {2e14 - 0.125, 5, 5},
        {1e300, 0, 0},      {1e300, 0, 0.05}, {-1e300, 0, 0},        {3e15, 0, 0},
        {3e15 + 0.5, 0, 0}, {1e-300, 0, 0},   {0.0999999, 0, 0}};
    expectSameAsPlainWalk(*s, points);
}

TEST(VertexPool, BlocksKeepEarlierVerticesInPlace) {
    auto s = sceneForObject(1);
    std::vector<Vertex*> handed;
    for (int i = 0; i < VertexPool::kBlock + 5; ++i)
        handed.push_back(s->addVertex(Vector(i * 0.2, 0, 0), true));
    ASSERT_EQ(s->vertexCount(), VertexPool::kBlock + 5);
    for (int i = 0; i < s->vertexCount(); ++i) {
        ASSERT_EQ(s->vertices[i], handed[i]);
        ASSERT_EQ(handed[i]->position.x, i * 0.2);
    }
    // Merging still finds vertices of the first block.
    EXPECT_EQ(s->addVertex(Vector(0.03, 0, 0), true), handed[0]);
}
