// The solver against scenes with known radiance, run without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/scene.h"
#include "tests/support/box_scene.h"

namespace {
void runQuietly(Scene& s, int iterations) {
    ::testing::internal::CaptureStderr();
    s.iterate(iterations);
    ::testing::internal::GetCapturedStderr();
}

// Radiance shown for each patch, by serial.
std::vector<Color> radiances(const Scene& s) {
    std::vector<Color> r(s.patches.size());
    for (const Patch* p : s.patches) r[p->serial] = p->eyeRadianceSum * s.displayScale;
    return r;
}

std::unique_ptr<Scene> emittingCube(double emission, double albedo) {
    auto s = std::make_unique<Scene>();
    s->materials[0] = box_scene::diffuseMaterial(albedo, emission);
    s->materialCount = 1;
    box_scene::addClosedCube(*s, 1.0, 2, &s->materials[0]);  // 48 emitting patches
    s->camera.eye = Vector(0.1, 0.2, -0.3);
    box_scene::prepareSolver(*s);
    return s;
}
}  // namespace

TEST(SolverPhysics, FirstDirectionUsesTheFirstTwoDraws) {
    auto s = emittingCube(1.0, 0.5);
    runQuietly(*s, 1);
    double phi = 41 * (1.0 / 32767.0) * 6.283185307179586;
    double cosTheta = 1.0 - 2.0 * (18467 * (1.0 / 32767.0));
    double sinTheta = std::sqrt(1.0 - cosTheta * cosTheta);
    EXPECT_NEAR(s->direction.x, sinTheta * std::sin(phi), 1e-15);
    EXPECT_NEAR(s->direction.y, sinTheta * std::cos(phi), 1e-15);
    EXPECT_NEAR(s->direction.z, cosTheta, 1e-15);
    EXPECT_EQ(s->random.next(), 6334);  // no patch was left to chance
}

TEST(SolverPhysics, ClosedEmittingCubeReachesEmissionOverOneMinusAlbedo) {
    // Every face emits E and reflects a: the radiance is E / (1 − a)
    // everywhere. 48 emitting surfaces take emission into the bundles.
    const double emission = 1.0, albedo = 0.5;
    auto s = emittingCube(emission, albedo);
    ASSERT_EQ(s->firstShot, 0);
    runQuietly(*s, 400);
    double expected = emission / (1.0 - albedo);
    double mean = 0.0;
    for (const Color& r : radiances(*s)) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(r[c], expected, 0.06 * expected);
        mean += r[0];
    }
    EXPECT_NEAR(mean / s->patchCount(), expected, 0.03 * expected);
}

TEST(SolverPhysics, FloorUnderTheSkyReflectsAlbedoTimesSky) {
    // An open floor facing up under a uniform sky L reflects a · L.
    const double albedo = 0.6;
    auto s = std::make_unique<Scene>();
    s->materials[0] = box_scene::diffuseMaterial(albedo);
    s->skyRadiance = Color(1, 2, 4);
    box_scene::addQuad(*s, {-1, 0, -1}, {0, 0, 2}, {2, 0, 0}, 2, &s->materials[0]);
    s->camera.eye = Vector(0, 3, 0);
    box_scene::prepareSolver(*s);
    runQuietly(*s, 600);
    for (const Color& r : radiances(*s))
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(r[c], albedo * s->skyRadiance[c], 0.05 * albedo * s->skyRadiance[c]);
}

TEST(SolverPhysics, RunsAreBitIdentical) {
    auto first = emittingCube(1.0, 0.5);
    auto second = emittingCube(1.0, 0.5);
    // A material left to chance draws from the same source.
    first->materials[0].selectProbability = second->materials[0].selectProbability = 0.7;
    runQuietly(*first, 30);
    runQuietly(*second, 30);
    auto a = radiances(*first), b = radiances(*second);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], b[i]) << "patch " << i;
}
