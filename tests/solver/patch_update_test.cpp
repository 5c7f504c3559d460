#include <gtest/gtest.h>

#include <cmath>

#include "solver/patch.h"

namespace {
constexpr double kPi = 3.141592653589793;

void expectColorNear(const Color& actual, const Color& expected, double relative = 1e-14) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], relative * std::fabs(expected[c])) << "channel " << c;
}

// A patch in the plane z = 0 facing +z, its centre at the origin, seen from
// straight above.
struct PatchFixture : ::testing::Test {
    Vertex corners[3];
    Material material;
    Patch patch;
    PointLight lights[2];

    void SetUp() override {
        corners[0].position = Vector(-1, -1, 0);
        corners[1].position = Vector(2, -1, 0);
        corners[2].position = Vector(-1, 2, 0);
        material.reflectance = Color(0.25, 0.5, 0.75);
        material.diffuseScale = 1.0;
        material.deriveCoefficients();
        initPatch(patch, &corners[0], &corners[1], &corners[2], &material, 1);
        patch.toEye = Vector(0, 0, 1);
    }
};
using PatchUpdate = PatchFixture;

const Vector kUp(0, 0, 1);
}  // namespace

TEST_F(PatchUpdate, EmissionTravelsWithTheBundleUnlessTheFirstShotSentIt) {
    material.emission = Color(1, 2, 3);
    material.emitting = 1;
    patch.diffuseEstimate = Color(0.5, 0.5, 0.5);
    patch.emissionShot = true;
    patch.updateOutgoing(kUp, kUp, lights, 3, 1);
    // Nothing was received, so the estimate decays and alone goes out.
    Color estimate = Color(0.5, 0.5, 0.5) * (1.0 - 0.5);
    EXPECT_EQ(patch.diffuseEstimate, estimate);
    EXPECT_EQ(patch.bundleOutgoing, estimate);

    // An emitter the first shot did not send, or a run without a first shot.
    for (int firstShot : {1, 0}) {
        patch.emissionShot = firstShot == 0;
        patch.diffuseEstimate = Color(0.5, 0.5, 0.5);
        patch.updateOutgoing(kUp, kUp, lights, 3, firstShot);
        EXPECT_EQ(patch.bundleOutgoing, Color(1, 2, 3) + estimate);
    }
}

TEST_F(PatchUpdate, TheEyeSeesEmittersOnlyFromTheFront) {
    material.emission = Color(1, 2, 3);
    patch.updateEyeTerms(kUp, lights);
    EXPECT_EQ(patch.eyeDirect, Color(1, 2, 3));
    patch.toEye = normalized(Vector(1, 0, -0.1));
    patch.eyeSpecularFactor = Color(9, 9, 9);
    patch.updateEyeTerms(kUp, lights);
    EXPECT_EQ(patch.eyeDirect, Color());
    EXPECT_EQ(patch.eyeSpecularFactor, Color());
}

TEST_F(PatchUpdate, FirstIterationWeighsTheReceivedRadianceByTwoPiOverRootTwo) {
    patch.bundleIncoming = Color(2, 4, 8);
    patch.updateOutgoing(normalized(Vector(0.3, 0.1, -1)), kUp, lights, 1, 1);
    Color expected = material.diffuse * Color(2, 4, 8) * (2.0 * kPi / std::sqrt(2.0));
    expectColorNear(patch.diffuseEstimate, expected);
    expectColorNear(patch.bundleOutgoing, expected);
}

TEST_F(PatchUpdate, BundleAlongThePlaneSendsNothing) {
    patch.diffuseEstimate = Color(1, 1, 1);
    patch.bundleOutgoing = Color(5, 5, 5);
    patch.bundleIncoming = Color(2, 2, 2);
    patch.updateOutgoing(kUp, Vector(1, 0, 0), lights, 5, 0);
    EXPECT_EQ(patch.bundleOutgoing, Color());
    EXPECT_EQ(patch.diffuseEstimate, Color(1, 1, 1));
}

TEST_F(PatchUpdate, APatchSendsFromTheSideTheBundleMeets) {
    // The bundle runs downward onto the back of the patch: it sends upward.
    material.emission = Color(1, 2, 3);
    patch.updateOutgoing(kUp, Vector(0, 0, -1), lights, 1, 0);
    EXPECT_EQ(patch.bundleOutgoing, Color(1, 2, 3));
}

TEST_F(PatchUpdate, DirectLightFromTheLightList) {
    lights[0] = {Color(10, 20, 30), Vector(0, 0, 5)};   // above the patch
    lights[1] = {Color(99, 99, 99), Vector(0, 0, -5)};  // behind it
    patch.lightCount = 2;
    patch.lightIndices[0] = 0;
    patch.lightIndices[1] = 1;
    patch.lightFactors[0] = 0.125;
    patch.lightFactors[1] = 1.0;
    patch.updateOutgoing(kUp, kUp, lights, 1, 1);
    Color direct = Color(10, 20, 30) * 0.125 * material.diffuse;
    EXPECT_EQ(patch.bundleOutgoing, direct);
    patch.updateEyeTerms(kUp, lights);
    EXPECT_EQ(patch.eyeDirect, direct);
}

TEST_F(PatchUpdate, DiffuseSurfacesHaveNoGlossyEyeTerm) {
    patch.updateEyeTerms(normalized(Vector(0.5, 0, -1)), lights);
    EXPECT_EQ(patch.eyeSpecularFactor, Color());
}

TEST_F(PatchUpdate, GlossyReflectionInTheMirrorDirection) {
    material.specularScale = 0.5;
    material.exponent = 20.0;
    material.deriveCoefficients();
    // Light travelling down at 60° from the normal, reflected up at 60°.
    Vector in(std::sqrt(0.75), 0, -0.5);
    Vector mirror(std::sqrt(0.75), 0, 0.5);
    Color glossy = material.specular * 2.0;  // d = 1, divided by max(cos) = 0.5
    patch.toEye = mirror;
    // The previous bundle may point either way along the line.
    for (const Vector& previous : {in, -in}) {
        patch.updateEyeTerms(previous, lights);
        expectColorNear(patch.eyeSpecularFactor, glossy * (4.0 * kPi), 1e-12);

        patch.diffuseEstimate = Color();
        patch.bundleIncoming = Color(1, 2, 4);
        patch.updateOutgoing(previous, mirror, lights, 3, 1);
        Color estimate = material.diffuse * Color(1, 2, 4) * (0.5 * 2.0 * kPi);
        expectColorNear(patch.bundleOutgoing, glossy * Color(1, 2, 4) * (2.0 * kPi) + estimate,
                        1e-12);
    }
}
