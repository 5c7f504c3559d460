#include "solver/first_shot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/gl_context_test.h"
#include "tests/support/solid_angle.h"

namespace {
constexpr double kPi = 3.141592653589793;

class FirstShotTest : public GLContextTest {
  protected:
    void SetUp() override {
        GLContextTest::SetUp();
        if (IsSkipped()) return;
        emitter_.emitting = 1;
        emitter_.emission = Color(1, 2, 3);
    }

    // A light-list entry's factor for `light`, or −1 when there is none.
    double factorOf(const Patch& p, int light) {
        LightTable::List list = scene().lightList(p);
        for (int e = 0; e < list.count; ++e)
            if (list.lights[e] == light) return list.factors[e];
        return -1;
    }

    // The factor an emitting run of area `sourceArea` and normal `n` at `c`
    // gives patch r: the source's cosine toward r's centre times its area
    // times the solid angle of r seen from c, per area of r.
    static double emitterFactor(const Vector& c, const Vector& n, double sourceArea,
                                const Patch& r) {
        double cosS = dot(n, normalized(r.center() - c));
        return cosS * sourceArea * solidAngle(c, r) / r.area;
    }

    Material diffuse_;
    Material emitter_;
};
}  // namespace

TEST(FirstShot, TangentRule) {
    EXPECT_EQ(hemicubeTangent(Vector(0, 1, 0)), Vector(1, 0, 0));
    EXPECT_EQ(hemicubeTangent(Vector(0, -1, 0)), Vector(0, 0, 1));
    EXPECT_EQ(hemicubeTangent(Vector(0, 0, 1)), Vector(0, 1, 0));
    EXPECT_EQ(hemicubeTangent(Vector(0.6, 0.8, 0)), Vector(0.8, -0.6, 0));
    EXPECT_EQ(hemicubeTangent(Vector(-0.6, -0.8, 0)), Vector(0, 0, 0.8));
}

TEST(FirstShot, DegenerateTangentIsAUnitPerpendicular) {
    for (const Vector& n : {Vector(-1, 0, 0), Vector(-1, 1e-9, 0), Vector(-1, 0, 1e-9)}) {
        Vector u = hemicubeTangent(n);
        EXPECT_NEAR(u.length(), 1.0, 1e-9) << n.x << " " << n.y << " " << n.z;
        EXPECT_NEAR(dot(u, n), 0.0, 1e-9);
    }
}

TEST_F(FirstShotTest, SceneWithoutSourcesAddsNoLight) {
    addSquare(Vector(0, 0, 0), Vector(0, 1, 0), Vector(1, 0, 0), 4, &diffuse_);
    scene().shootFirst();
    EXPECT_EQ(scene().lightCount, 0);
    for (const Patch* p : scene().patches) EXPECT_EQ(scene().lightList(*p).count, 0);
}

TEST_F(FirstShotTest, PointLightFactorIsSolidAnglePerAreaOverPi) {
    // Facing the light at the origin from 5 away: each half of the square sees
    // half of 4 asin(ab / √((a² + 4d²)(b² + 4d²))) with a = b = 2, d = 5. The
    // square is turned so that no edge runs along the pixel rows.
    addSquare(Vector(0, 0, 5), Vector(0, 0, -1), Vector(std::cos(0.35), std::sin(0.35), 0), 2,
              &diffuse_);
    scene().addLight(Color(7), Vector(0, 0, 0));
    scene().shootFirst();
    const double squareAngle = 4 * std::asin(4.0 / 104.0);
    for (const Patch* p : scene().patches) {
        ASSERT_EQ(scene().lightList(*p).count, 1);
        EXPECT_EQ(scene().lightList(*p).lights[0], 0);
        EXPECT_NEAR(scene().lightList(*p).factors[0], squareAngle / 2 / p->area / kPi,
                    0.01 * scene().lightList(*p).factors[0]);
    }
    EXPECT_EQ(scene().lightCount, 1);
}

TEST_F(FirstShotTest, TiltedPatchAcrossTwoCubeFaces) {
    Vector light(0.5, -0.25, 0.125);
    addSquare(Vector(4, 0.5, 4), normalized(Vector(0, -1, -1)), normalized(Vector(1, 0.3, -0.3)), 2,
              &diffuse_);
    scene().addLight(Color(1), light);
    scene().shootFirst();
    for (const Patch* p : scene().patches) {
        ASSERT_EQ(scene().lightList(*p).count, 1);
        double expected = solidAngle(light, *p) / p->area / kPi;
        EXPECT_NEAR(scene().lightList(*p).factors[0], expected, 0.01 * expected);
    }
}

TEST_F(FirstShotTest, PatchBehindItsLightGetsNothing) {
    // The cube sees the square, but from behind.
    addSquare(Vector(0, 0, 5), Vector(0, 0, 1), Vector(1, 0, 0), 2, &diffuse_);
    scene().addLight(Color(1), Vector(0, 0, 0));
    scene().shootFirst();
    for (const Patch* p : scene().patches) {
        EXPECT_GT(p->coverage, 0.0);
        EXPECT_EQ(scene().lightList(*p).count, 0);
    }
}

TEST_F(FirstShotTest, HiddenPatchGetsNothing) {
    addSquare(Vector(0, 0, 5), Vector(0, 0, -1), Vector(1, 0, 0), 2, &diffuse_);
    addSquare(Vector(0, 0, 3), Vector(0, 0, -1), Vector(1, 0, 0), 4, &diffuse_);  // in front
    scene().addLight(Color(1), Vector(0, 0, 0));
    scene().shootFirst();
    EXPECT_EQ(
        scene().lightList(*scene().patches[0]).count + scene().lightList(*scene().patches[1]).count,
        0);
    EXPECT_EQ(
        scene().lightList(*scene().patches[2]).count + scene().lightList(*scene().patches[3]).count,
        2);
}

TEST_F(FirstShotTest, TwoLightsGiveTwoEntriesInLightOrder) {
    addSquare(Vector(0, 0, 0), Vector(0, 1, 0), Vector(std::cos(0.35), 0, std::sin(0.35)), 4,
              &diffuse_);
    const Vector left(-1, 3, 0.5), right(1, 3, -0.5);
    scene().addLight(Color(1), left);
    scene().addLight(Color(2), right);
    scene().shootFirst();
    for (const Patch* p : scene().patches) {
        ASSERT_EQ(scene().lightList(*p).count, 2);
        EXPECT_EQ(scene().lightList(*p).lights[0], 0);
        EXPECT_EQ(scene().lightList(*p).lights[1], 1);
        for (int e = 0; e < 2; ++e) {
            double expected = solidAngle(e == 0 ? left : right, *p) / p->area / kPi;
            EXPECT_NEAR(scene().lightList(*p).factors[e], expected, 0.01 * expected) << e;
        }
    }
}

TEST_F(FirstShotTest, EmittingPatchesOfStrideOneAreLightsEach) {
    addSquare(Vector(0, 2, 0), Vector(0, -1, 0), Vector(1, 0, 0), 0.5, &emitter_);
    addSquare(Vector(0, 0, 0), Vector(0, 1, 0), Vector(1, 0, 0), 4, &diffuse_);
    scene().shootFirst();
    ASSERT_EQ(scene().lightCount, 2);
    for (int i = 0; i < 2; ++i) {
        const Patch& s = *scene().patches[i];
        EXPECT_EQ(scene().lights[i].power, Color(1, 2, 3));
        EXPECT_EQ(scene().lights[i].position, s.center());
        EXPECT_TRUE(s.emissionShot);
        EXPECT_EQ(scene().lightList(s).count, 0);  // an emitter faces away from its neighbour
    }
    for (int j = 2; j < 4; ++j) {
        const Patch& r = *scene().patches[j];
        EXPECT_FALSE(r.emissionShot);
        ASSERT_EQ(scene().lightList(r).count, 2);
        for (int i = 0; i < 2; ++i) {
            const Patch& s = *scene().patches[i];
            EXPECT_EQ(scene().lightList(r).lights[i], i);
            double expected = emitterFactor(s.center(), s.worldNormal, s.area, r);
            EXPECT_NEAR(scene().lightList(r).factors[i], expected, 0.01 * expected)
                << j << ", " << i;
        }
    }
}

TEST_F(FirstShotTest, EmittingRunOfStrideTwoIsOneLightOfTwiceTheArea) {
    addSquare(Vector(-0.5, 2, 0), Vector(0, -1, 0), Vector(1, 0, 0), 0.5, &emitter_, 2);
    addSquare(Vector(0.5, 2.5, 0), Vector(0, -1, 0), Vector(1, 0, 0), 0.5, &emitter_, 2);
    addSquare(Vector(0, 0, 0), Vector(0, 1, 0), Vector(1, 0, 0), 4, &diffuse_);
    // An emitter after a non-emitting patch is not shot: it keeps sending its
    // emission along the bundles.
    addSquare(Vector(0, 3, 0), Vector(0, -1, 0), Vector(1, 0, 0), 0.5, &emitter_);
    scene().shootFirst();
    ASSERT_EQ(scene().lightCount, 2);
    EXPECT_EQ(scene().lights[0].position, scene().patches[0]->center());
    EXPECT_EQ(scene().lights[1].position, scene().patches[2]->center());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(scene().patches[i]->emissionShot) << i;
    for (int i = 4; i < 8; ++i) EXPECT_FALSE(scene().patches[i]->emissionShot) << i;
    for (int j = 4; j < 6; ++j) {
        const Patch& r = *scene().patches[j];
        ASSERT_EQ(scene().lightList(r).count, 2);
        for (int light = 0; light < 2; ++light) {
            const Patch& s = *scene().patches[2 * light];
            double expected = emitterFactor(s.center(), s.worldNormal, 2 * s.area, r);
            EXPECT_NEAR(scene().lightList(r).factors[light], expected, 0.01 * expected)
                << j << ", " << light;
        }
    }
}

TEST_F(FirstShotTest, PointLightsComeBeforeEmittingSurfaces) {
    addSquare(Vector(0, 2, 0), Vector(0, -1, 0), Vector(1, 0, 0), 0.5, &emitter_);
    addSquare(Vector(0, 0, 0), Vector(0, 1, 0), Vector(1, 0, 0), 4, &diffuse_);
    scene().addLight(Color(5), Vector(1, 1, 1));
    scene().shootFirst();
    ASSERT_EQ(scene().lightCount, 3);
    const Patch& r = *scene().patches[2];
    ASSERT_EQ(scene().lightList(r).count, 3);
    EXPECT_EQ(scene().lightList(r).lights[0], 0);
    EXPECT_EQ(scene().lightList(r).lights[1], 1);
    EXPECT_EQ(scene().lightList(r).lights[2], 2);
}

TEST_F(FirstShotTest, SurfaceFacingMinusXStillShoots) {
    // Its normal (−1, 0, 0) has no tangent by the plain rule.
    addSquare(Vector(0, 0, 0), Vector(-1, 0, 0), Vector(0, 0, 1), 0.5, &emitter_);
    addSquare(Vector(-2, 0, 0), Vector(1, 0, 0), Vector(0, 0, -1), 4, &diffuse_);
    ASSERT_EQ(scene().patches[0]->worldNormal, Vector(-1, 0, 0));
    scene().shootFirst();
    const Patch& s = *scene().patches[0];
    for (int j = 2; j < 4; ++j) {
        const Patch& r = *scene().patches[j];
        double expected = emitterFactor(s.center(), s.worldNormal, s.area, r);
        EXPECT_NEAR(factorOf(r, 0), expected, 0.01 * expected) << j;
    }
}

TEST_F(FirstShotTest, ProgressLineEveryHundredPatches) {
    addSquare(Vector(0, 2, 0), Vector(0, -1, 0), Vector(1, 0, 0), 0.5, &emitter_);
    Vertex* a = scene().addVertex(Vector(0, -9, 0), false);
    Vertex* b = scene().addVertex(Vector(1, -9, 0), false);
    Vertex* c = scene().addVertex(Vector(0, -9, 1), false);
    while (scene().patchCount() < 202) addTriangle(a, b, c, &diffuse_);
    ::testing::internal::CaptureStderr();
    scene().shootFirst();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "0, 1\r0, 101\r0, 201\r1, 1\r1, 101\r1, 201\r");
}

TEST_F(FirstShotTest, OneSourceTooManyOverflowsTheLightTable) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    addSquare(Vector(0, 2, 0), Vector(0, -1, 0), Vector(1, 0, 0), 0.5, &emitter_, 2);
    for (int i = 0; i < limits::kMaxLights; ++i) scene().addLight(Color(1), Vector(i, 5, 0));
    EXPECT_EXIT(scene().shootFirst(), ::testing::ExitedWithCode(1), "Light table overflow\n");
}

TEST(FirstShotWithoutContext, LeavesEmissionToTheBundles) {
    auto s = std::make_unique<Scene>();
    Material m;
    m.emitting = 1;
    m.emission = Color(1);
    s->objectNumber = 1;
    Patch t;
    initPatch(t, s->addVertex(Vector(0, 0, 0), false), s->addVertex(Vector(1, 0, 0), false),
              s->addVertex(Vector(0, 1, 0), false), &m, 1);
    s->addPatch(t);
    s->shootFirst();
    EXPECT_EQ(s->lightCount, 0);
    EXPECT_FALSE(s->patches[0]->emissionShot);
}
