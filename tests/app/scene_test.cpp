#include "app/scene.h"

#include <gtest/gtest.h>

#include <memory>

#include "solver/bundle_buffer.h"

namespace {
std::unique_ptr<Scene> sceneWithPoints(std::initializer_list<Vector> points) {
    auto s = std::make_unique<Scene>();
    s->resolution = 1000;
    s->objectNumber = 1;
    for (const Vector& p : points) s->addVertex(p, false);
    return s;
}
}  // namespace

TEST(Scene, ConstructionDefaults) {
    auto s = std::make_unique<Scene>();
    EXPECT_EQ(s->camera.eye, Vector(0, 0, -50));
    EXPECT_EQ(s->camera.viewDirection, Vector(0, 1, 2));
    EXPECT_EQ(s->camera.up, Vector(0, -1, 0));
    EXPECT_EQ(s->camera.windowDistance, 0.5);
    EXPECT_EQ(s->camera.windowWidth, 0.5);
    EXPECT_EQ(s->firstShot, 1);
    EXPECT_EQ(s->displayScale, 1.0);
    EXPECT_EQ(s->materials[0].exponent, 1.0);
    EXPECT_EQ(s->materials[99].selectProbability, 1.0);
    EXPECT_EQ(s->random.next(), 41);
}

TEST(Scene, BoundsAlwaysContainTheOrigin) {
    auto s = sceneWithPoints({{5, 6, 7}, {9, 8, 7}});
    s->computeBounds();
    EXPECT_EQ(s->boxMin, Vector(0, 0, 0));
    EXPECT_EQ(s->boxMax, Vector(9, 8, 7));
    EXPECT_EQ(s->center, Vector(4.5, 4, 3.5));
    EXPECT_EQ(s->extent, 9.0);
}

TEST(Scene, BoundsOfAKnownBox) {
    auto s = sceneWithPoints({{-1, 0, 0}, {3, 1, 2}});
    s->computeBounds();
    EXPECT_EQ(s->center, Vector(1, 0.5, 1));
    EXPECT_EQ(s->extent, 4.0);
    EXPECT_DOUBLE_EQ(s->pixelArea, 0.000064);
}

TEST(Scene, EmptySceneHasZeroBox) {
    auto s = sceneWithPoints({});
    s->computeBounds();
    EXPECT_EQ(s->center, Vector(0, 0, 0));
    EXPECT_EQ(s->extent, 0.0);
    EXPECT_EQ(s->pixelArea, 0.0);
}

TEST(Scene, SaveTranslateRestoreRoundTrip) {
    auto s = sceneWithPoints({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    Patch t;
    initPatch(t, s->vertices[0], s->vertices[1], s->vertices[2], &s->materials[0], 1);
    Patch* p = s->addPatch(t);
    s->saveGeometry();
    s->translate(Vector(1, 2, 3));
    EXPECT_EQ(s->vertices[1]->position, Vector(2, 2, 3));
    EXPECT_EQ(s->vertices[1]->savedPosition, Vector(1, 0, 0));
    s->restoreGeometry();
    EXPECT_EQ(s->vertices[1]->position, Vector(1, 0, 0));
    // Normals and centres are the tessellation's; nothing moves them.
    EXPECT_EQ(p->worldNormal, Vector(0, 0, 1));
    EXPECT_EQ(p->center(), Vector(1.0 / 3, 1.0 / 3, 0));
}

TEST(Scene, BundleBufferIsZeroedAndOneCellWiderThanTheResolution) {
    auto s = sceneWithPoints({});
    s->createBundleBuffer();
    ASSERT_TRUE(s->bundleBuffer && s->bundleBuffer->cells);
    EXPECT_EQ(s->bundleBuffer->side, 1001);
    for (int i = 0; i < 1001 * 1001; i += 997) EXPECT_EQ(s->bundleBuffer->cells[i], 0);
}

TEST(Scene, EyeDirectionsAndCoverage) {
    auto s = sceneWithPoints({{0, 0, 0}, {3, 0, 0}, {0, 3, 0}, {0, 3, 0}, {3, 0, 0}, {0, 0, 0}});
    s->camera.eye = Vector(1, 1, 10);
    Patch t;
    initPatch(t, s->vertices[0], s->vertices[1], s->vertices[2], &s->materials[0], 1);
    Patch* front = s->addPatch(t);
    initPatch(t, s->vertices[3], s->vertices[4], s->vertices[5], &s->materials[0], 1);
    Patch* back = s->addPatch(t);
    s->computeEyeDirections();
    EXPECT_EQ(front->toEye, Vector(0, 0, 1));
    EXPECT_DOUBLE_EQ(front->coverage, 4.5);
    EXPECT_EQ(back->coverage, 0.0);  // seen from behind: not drawn
}
