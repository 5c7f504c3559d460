// Direct light from an emitting square onto a floor, once through the first
// shot and once carried by the bundles, against the analytic irradiance.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/box_scene.h"
#include "tests/support/gl_context_test.h"
#include "tests/support/solid_angle.h"

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kEmission = 1.0;  // radiance of the source
constexpr double kAlbedo = 0.5;    // of the floor
constexpr double kSide = 1.0;      // of the source square
constexpr double kHeight = 1.0;    // of the source above the floor

// The form factor from a point to a parallel rectangle X × Y (in units of
// the height) that has one corner straight above the point; odd in X and Y.
double cornerFormFactor(double x, double y) {
    double sx = std::sqrt(1 + x * x), sy = std::sqrt(1 + y * y);
    return (x / sx * std::atan(y / sx) + y / sy * std::atan(x / sy)) / (2 * kPi);
}

// Irradiance at the floor point (x, z) under the source square of side kSide
// centred kHeight above the origin, per unit source radiance: π times the
// sum of the four corner rectangles' form factors.
double irradiance(double x, double z) {
    double f = 0;
    for (double dx : {kSide / 2 - x, kSide / 2 + x})
        for (double dz : {kSide / 2 - z, kSide / 2 + z})
            f += cornerFormFactor(dx / kHeight, dz / kHeight);
    return kPi * f;
}

class FirstShotPhysicsTest : public GLContextTest {
  protected:
    // The source tessellated into n × n cells facing down, the floor 2 × 2
    // into 10 × 10 cells facing up, the eye above the floor. The source's
    // patches come first unless `floorFirst`.
    void buildScene(int sourceCells, bool floorFirst = false) {
        scene_ = std::make_unique<Scene>();
        Scene& s = scene();
        s.hasGLContext = true;
        s.materials[0] = box_scene::diffuseMaterial(0.0, kEmission);
        s.materials[1] = box_scene::diffuseMaterial(kAlbedo);
        s.materialCount = 2;
        if (floorFirst) addFloor();
        double h = kSide / 2;
        box_scene::addQuad(s, {-h, kHeight, -h}, {kSide, 0, 0}, {0, 0, kSide}, sourceCells,
                           &s.materials[0]);
        if (!floorFirst) addFloor();
        s.camera.eye = Vector(0, 0.5, -5);
    }

    void addFloor() {
        box_scene::addQuad(scene(), {-1, 0, -1}, {0, 0, 2}, {2, 0, 0}, 10, &scene().materials[1]);
    }

    // The run sequence after reading, with the first shot when it stays on.
    void run(int iterations) {
        Scene& s = scene();
        s.resolution = 1000;
        s.computeBounds();
        s.saveGeometry();
        s.createBundleBuffer();
        s.initSolver();
        ::testing::internal::CaptureStderr();
        if (s.firstShot) s.shootFirst();
        s.computeEyeDirections();
        s.iterate(iterations);
        ::testing::internal::GetCapturedStderr();
        s.restoreGeometry();  // the last bundle left the scene turned
    }

    // Mean radiance of the floor patches under the source, and the same
    // mean of ρ/π times the analytic irradiance at their centres.
    void floorUnderTheSource(double& measured, double& expected) {
        measured = expected = 0;
        int n = 0;
        for (const Patch* p : scene().patches) {
            Vector c = p->center();
            if (p->material->emitting || std::fabs(c.x) > 0.4 || std::fabs(c.z) > 0.4) continue;
            measured += (scene().eyeRadianceSum(*p) * scene().displayScale)[0];
            expected += kAlbedo / kPi * kEmission * irradiance(c.x, c.z);
            ++n;
        }
        measured /= n;
        expected /= n;
    }

    double ratioToAnalytic() {
        double measured, expected;
        floorUnderTheSource(measured, expected);
        return measured / expected;
    }
};

// A point light 400 above the centre of a floor 4400 wide in 44 × 44 cells,
// every length times `scale` and the power times scale², so that the
// irradiance stays. Cells are 0.1 wide at scale 0.001: their corners are
// not merged.
class FarFloorTest : public GLContextTest {
  protected:
    static constexpr double kHeight = 400, kHalfWidth = 2200, kPower = 1000;
    static constexpr int kCells = 44;

    void shootAtScale(double scale) {
        scene_ = std::make_unique<Scene>();
        scene().hasGLContext = true;
        scene().objectNumber = 1;
        double cell = 2 * kHalfWidth / kCells;
        for (int i = 0; i < kCells; ++i)
            for (int j = 0; j < kCells; ++j) {
                double x = -kHalfWidth + i * cell, z = -kHalfWidth + j * cell;
                Vertex* a = corner(x, z, scale);
                Vertex* b = corner(x, z + cell, scale);
                Vertex* c = corner(x + cell, z + cell, scale);
                Vertex* d = corner(x + cell, z, scale);
                addTriangle(a, b, c, &floor_);
                addTriangle(a, c, d, &floor_);
            }
        light_ = Vector(0, kHeight * scale, 0);
        scene().addLight(Color(kPower * scale * scale), light_);
        scene().shootFirst();
    }

    // The grid is turned by 0.35 about the vertical, so that no row of cell
    // edges runs along the pixel rows of a cube face.
    Vertex* corner(double x, double z, double scale) {
        double c = std::cos(0.35), s = std::sin(0.35);
        return scene().addVertex(Vector((c * x - s * z) * scale, 0, (s * x + c * z) * scale),
                                 false);
    }

    // Power times factor: a diffuse patch's direct radiance over its reflectance.
    double directRadiance(const Patch& p) {
        LightTable::List list = scene().lightList(p);
        return list.count == 0 ? 0.0 : scene().lights[0].power[0] * list.factors[0];
    }

    Material floor_;
    Vector light_;
};
}  // namespace

TEST(FirstShotPhysics, AnalyticIrradianceOfTheSquare) {
    // Far away the square is a small source: A / d² per unit radiance.
    EXPECT_NEAR(kPi * 4 * cornerFormFactor(0.0005, 0.0005), 1e-6, 1e-11);
    // Near, the integral of cos · cos / r² = h² / r⁴ over the square.
    for (const Vector& p : {Vector(0, 0, 0), Vector(0.3, 0, -0.1), Vector(0.8, 0, 0.2)}) {
        const int n = 400;
        double sum = 0, cell = kSide / n;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double dx = -kSide / 2 + (i + 0.5) * cell - p.x;
                double dz = -kSide / 2 + (j + 0.5) * cell - p.z;
                double r2 = dx * dx + dz * dz + kHeight * kHeight;
                sum += kHeight * kHeight / (r2 * r2) * cell * cell;
            }
        EXPECT_NEAR(irradiance(p.x, p.z), sum, 1e-5 * sum);
    }
}

TEST_F(FirstShotPhysicsTest, EighteenEmittingPatchesAreShotFirst) {
    buildScene(3);  // 18 emitting patches
    run(400);
    ASSERT_EQ(scene().firstShot, 1);
    EXPECT_EQ(scene().lightCount, 18);
    // Each patch of the source stands in as a point at its centre.
    EXPECT_NEAR(ratioToAnalytic(), 1.0, 0.03);
}

TEST_F(FirstShotPhysicsTest, ThirtyTwoEmittingPatchesSendEmissionWithTheBundles) {
    buildScene(4);  // 32 emitting patches
    run(4000);
    ASSERT_EQ(scene().firstShot, 0);
    EXPECT_EQ(scene().lightCount, 0);
    EXPECT_NEAR(ratioToAnalytic(), 1.0, 0.05);
    double bundles, expected, shot;
    floorUnderTheSource(bundles, expected);

    // The same source shot first lights the floor alike.
    buildScene(3);
    run(400);
    ASSERT_EQ(scene().firstShot, 1);
    floorUnderTheSource(shot, expected);
    EXPECT_NEAR(bundles, shot, 0.04 * shot);
}

TEST_F(FirstShotPhysicsTest, EmittersBehindTheFloorInTheListStillLightIt) {
    // The first shot stops at the floor; the source after it is not shot, so
    // its emission must travel with the bundles although the switch is on.
    buildScene(3, true);
    run(4000);
    ASSERT_EQ(scene().firstShot, 1);
    EXPECT_EQ(scene().lightCount, 0);
    EXPECT_NEAR(ratioToAnalytic(), 1.0, 0.05);
}

TEST_F(FarFloorTest, DirectLightFallsOffAsCosineOverSquaredDistanceToTheFarEdge) {
    shootAtScale(1);
    // The patches whose centres lie within 50 of each distance: the solid
    // angle the item buffer saw, against the integral of cos θ / d².
    for (double distance : {500.0, 1000.0, 1500.0, 2000.0}) {
        double seen = 0, expected = 0;
        for (const Patch* p : scene().patches) {
            if (std::fabs((p->center() - light_).length() - distance) > 50) continue;
            ASSERT_EQ(scene().lightList(*p).count, 1) << distance;
            seen += scene().lightList(*p).factors[0] * p->area * kPi;
            expected += solidAngle(light_, *p);
        }
        EXPECT_NEAR(seen / expected, 1.0, 0.02) << distance;
    }
}

TEST_F(FarFloorTest, ScenesInOtherUnitsGetTheSameRadiance) {
    // Out to 2100 units every patch covers a hundred pixels or more, so that
    // one pixel more or less stays below 1 %.
    shootAtScale(1);
    std::vector<double> radiance;
    for (const Patch* p : scene().patches)
        radiance.push_back((p->center() - light_).length() < 2100 ? directRadiance(*p) : -1);
    for (double scale : {0.001, 1000.0}) {
        shootAtScale(scale);
        for (size_t i = 0; i < radiance.size(); ++i) {
            if (radiance[i] < 0) continue;
            ASSERT_GT(radiance[i], 0.0) << i;
            EXPECT_NEAR(directRadiance(*scene().patches[i]), radiance[i], 0.01 * radiance[i])
                << scale << ", " << i;
        }
    }
}
