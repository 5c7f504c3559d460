#include "solver/patch_update.h"

#include <gtest/gtest.h>

#include <cmath>

#include "solver/solver_state.h"

namespace {
constexpr double kPi = 3.141592653589793;

void expectColorNear(const Color& actual, const Color& expected, double relative = 1e-14) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], relative * std::fabs(expected[c])) << "channel " << c;
}

const Vector kUp(0, 0, 1);

// A patch in the plane z = 0 facing +z, its centre at the origin, seen from
// straight above, with its terms (serial 0) and an empty light table.
struct PatchFixture : ::testing::Test {
    Vertex corners[3];
    Material material;
    Patch patch;
    PointLight lights[2];
    LightTable table;
    PatchTerms terms;

    void SetUp() override {
        corners[0].position = Vector(-1, -1, 0);
        corners[1].position = Vector(2, -1, 0);
        corners[2].position = Vector(-1, 2, 0);
        material.reflectance = Color(0.25, 0.5, 0.75);
        material.diffuseScale = 1.0;
        material.deriveCoefficients();
        initPatch(patch, &corners[0], &corners[1], &corners[2], &material, 1);
        patch.toEye = Vector(0, 0, 1);
        terms.reset(1);
    }

    // The constant terms, then one update for a bundle along `direction`
    // after one along `previous`.
    void update(const Vector& previous, const Vector& direction, int iteration, int firstShot) {
        // Constant terms per patch when a light list exists, as the solver keeps them.
        if (table.entryCount() > 0 && terms.eyeDirect.empty()) terms.holdConstants(1);
        settleConstantTerms(patch, lights, table, firstShot, terms);
        PatchUpdateInput in;
        in.previousDirection = previous;
        in.direction = direction;
        in.lights = lights;
        in.lightTable = &table;
        in.iteration = iteration;
        in.firstShot = firstShot;
        updateOutgoing(patch, in, terms);
    }
    Color& incoming() { return terms.exchange[0].incoming; }
    Color& outgoing() { return terms.exchange[0].outgoing; }
    Color& estimate() { return terms.diffuseEstimate[0]; }
};
using PatchUpdate = PatchFixture;
}  // namespace

TEST_F(PatchUpdate, EmissionTravelsWithTheBundleUnlessTheFirstShotSentIt) {
    material.emission = Color(1, 2, 3);
    material.emitting = 1;
    estimate() = Color(0.5, 0.5, 0.5);
    patch.emissionShot = true;
    update(kUp, kUp, 3, 1);
    // Nothing was received, so the estimate decays and alone goes out.
    Color decayed = Color(0.5, 0.5, 0.5) * (1.0 - 0.5);
    EXPECT_EQ(estimate(), decayed);
    EXPECT_EQ(outgoing(), decayed);

    // An emitter the first shot did not send, or a run without a first shot.
    for (int firstShot : {1, 0}) {
        patch.emissionShot = firstShot == 0;
        estimate() = Color(0.5, 0.5, 0.5);
        update(kUp, kUp, 3, firstShot);
        EXPECT_EQ(outgoing(), Color(1, 2, 3) + decayed);
    }
}

TEST_F(PatchUpdate, TheEyeSeesEmittersOnlyFromTheFront) {
    material.emission = Color(1, 2, 3);
    settleConstantTerms(patch, lights, table, 1, terms);
    EXPECT_EQ(eyeDirectOf(patch, terms), Color(1, 2, 3));
    patch.toEye = normalized(Vector(1, 0, -0.1));
    settleConstantTerms(patch, lights, table, 1, terms);
    EXPECT_EQ(eyeDirectOf(patch, terms), Color());
    material.specularScale = 0.5;
    material.deriveCoefficients();
    EXPECT_EQ(eyeSpecularFactor(patch, kUp), Color());
}

TEST_F(PatchUpdate, FirstIterationWeighsTheReceivedRadianceByTwoPiOverRootTwo) {
    incoming() = Color(2, 4, 8);
    update(normalized(Vector(0.3, 0.1, -1)), kUp, 1, 1);
    Color expected = material.diffuse * Color(2, 4, 8) * (2.0 * kPi / std::sqrt(2.0));
    expectColorNear(estimate(), expected);
    expectColorNear(outgoing(), expected);
}

TEST_F(PatchUpdate, BundleAlongThePlaneSendsNothing) {
    estimate() = Color(1, 1, 1);
    outgoing() = Color(5, 5, 5);
    incoming() = Color(2, 2, 2);
    update(kUp, Vector(1, 0, 0), 5, 0);
    EXPECT_EQ(outgoing(), Color());
    EXPECT_EQ(estimate(), Color(1, 1, 1));
}

TEST_F(PatchUpdate, APatchSendsFromTheSideTheBundleMeets) {
    // The bundle runs downward onto the back of the patch: it sends upward.
    material.emission = Color(1, 2, 3);
    update(kUp, Vector(0, 0, -1), 1, 0);
    EXPECT_EQ(outgoing(), Color(1, 2, 3));
}

// A diffuse patch's direct light is the same for every bundle and is set
// once; a glossy one adds its lobe toward each bundle's direction.
TEST_F(PatchUpdate, DirectLightFromTheLightList) {
    lights[0] = {Color(10, 20, 30), Vector(0, 0, 5)};   // above the patch
    lights[1] = {Color(99, 99, 99), Vector(0, 0, -5)};  // behind it
    table.add(0, 0, 0.125);
    table.add(0, 1, 1.0);
    table.build(1);
    update(kUp, kUp, 1, 1);
    Color direct = Color(10, 20, 30) * 0.125 * material.diffuse;
    EXPECT_EQ(outgoing(), direct);
    EXPECT_EQ(terms.directOutgoing[0], direct);
    EXPECT_EQ(terms.eyeDirect[0], direct);

    material.specularScale = 0.5;
    material.exponent = 20.0;
    material.deriveCoefficients();
    const Vector out = normalized(Vector(0.2, 0, 1));
    update(kUp, out, 1, 1);
    EXPECT_EQ(terms.directOutgoing[0], Color());
    Vector w(0, 0, -1);  // from the light above to the centre
    Color lobe = material.totalReflection(w, kUp, out, 1.0, out.z);
    expectColorNear(outgoing(), Color(10, 20, 30) * 0.125 * lobe);
    EXPECT_GT(lobe[0], material.diffuse[0]);
}

TEST_F(PatchUpdate, DiffuseSurfacesHaveNoGlossyEyeTerm) {
    EXPECT_EQ(eyeSpecularFactor(patch, normalized(Vector(0.5, 0, -1))), Color());
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
        expectColorNear(eyeSpecularFactor(patch, previous), glossy * (4.0 * kPi), 1e-12);

        estimate() = Color();
        incoming() = Color(1, 2, 4);
        update(previous, mirror, 3, 1);
        Color estimated = material.diffuse * Color(1, 2, 4) * (0.5 * 2.0 * kPi);
        expectColorNear(outgoing(), glossy * Color(1, 2, 4) * (2.0 * kPi) + estimated, 1e-12);
    }
}

// The solver keeps a diffuse patch's direct light once per run; light lists
// that change after that (a first shot, or lists made by hand) must reach
// the next update all the same.
TEST(PatchUpdateInTheSolver, LightListsReachTheUpdateWhenEverTheyChange) {
    SolverState s;
    Vertex corners[3];
    corners[0].position = Vector(-1, -1, 0);
    corners[1].position = Vector(2, -1, 0);
    corners[2].position = Vector(-1, 2, 0);
    Material m;
    m.reflectance = Color(0.5);
    m.diffuseScale = 1.0;
    m.deriveCoefficients();
    Patch t;
    initPatch(t, &corners[0], &corners[1], &corners[2], &m, 1);
    Patch* p = s.addPatch(t);
    s.initSolver();
    s.direction = kUp;
    s.updatePatches(kUp, 10);
    EXPECT_EQ(s.bundleOutgoing(*p), Color());
    s.addLight(Color(8), Vector(0, 0, 5));
    s.lightTable().add(p->serial, 0, 0.25);
    s.lightTable().build(s.patchCount());
    s.updatePatches(kUp, 10);
    EXPECT_EQ(s.bundleOutgoing(*p), Color(8) * 0.25 * m.diffuse);
}
