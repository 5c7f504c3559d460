#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "app/scene.h"
#include "solver/bundle_buffer.h"
#include "tests/support/box_scene.h"

namespace {
using box_scene::addQuad;

std::unique_ptr<Scene> newScene() {
    auto s = std::make_unique<Scene>();
    s->resolution = 1000;
    return s;
}

void prepare(Scene& s) {
    s.computeBounds();
    s.saveGeometry();
    s.createBundleBuffer();
    s.initSolver();
}

// One bundle as the iteration loop runs it, without the patch updates.
void sendBundle(Scene& s, const Vector& direction) {
    s.restoreGeometry();
    s.direction = direction;
    s.resetBundleTerms();
    s.translate(-s.center);
    s.setUpBundle();
    s.transferBundle();
}

void expectColorNear(const Color& actual, const Color& expected, double relative) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], relative * std::fabs(expected[c])) << "channel " << c;
}

// The square y = 0, x and z in [-1, 1], facing up (or down): two patches.
std::vector<Patch*> addFloor(Scene& s, const Material* m, bool facingUp = true, double y = 0.0) {
    size_t first = s.patches.size();
    if (facingUp)
        addQuad(s, {-1, y, -1}, {0, 0, 2}, {2, 0, 0}, 1, m);
    else
        addQuad(s, {-1, y, -1}, {2, 0, 0}, {0, 0, 2}, 1, m);
    return {s.patches[first], s.patches[first + 1]};
}

const Vector kDown = normalized(Vector(0.3, -0.8, 0.5));
const Vector kUp = normalized(Vector(0.3, 0.8, 0.5));
}  // namespace

TEST(BundleTransfer, RotationTakesTheDirectionToPlusZ) {
    auto s = newScene();
    Vector d = normalized(Vector(0.2, -0.6, 0.3));
    s->objectNumber = 1;
    Vertex* v = s->addVertex(d, false);
    Vertex* w = s->addVertex(Vector(0, 0, 0), false);
    Vertex* u = s->addVertex(Vector(1, 0, 0), false);
    s->direction = d;
    s->setUpBundle();
    EXPECT_NEAR(v->position.x, 0.0, 1e-15);
    EXPECT_NEAR(v->position.y, 0.0, 1e-15);
    EXPECT_NEAR(v->position.z, 1.0, 1e-15);
    EXPECT_NEAR(s->rotated(d).z, 1.0, 1e-15);  // a normal along d faces along +z
    EXPECT_NEAR(u->position.length(), 1.0, 1e-15);
    (void)w;
}

TEST(BundleTransfer, RotationAlongTheZAxis) {
    auto s = newScene();
    s->objectNumber = 1;
    Vertex* v = s->addVertex(Vector(1, 2, 3), false);
    const Vector normal(0.6, 0.8, 0);

    s->direction = Vector(0, 0, 1);
    s->setUpBundle();
    EXPECT_EQ(v->position, Vector(1, 2, 3));
    EXPECT_EQ(s->rotated(normal), normal);

    // Almost +z (s² ≤ 1e-6) counts as +z.
    s->direction = normalized(Vector(1e-4, 0, 1));
    s->setUpBundle();
    EXPECT_EQ(v->position, Vector(1, 2, 3));

    // -z: a half turn about y.
    s->direction = Vector(0, 0, -1);
    s->setUpBundle();
    EXPECT_EQ(v->position, Vector(-1, 2, -3));
    EXPECT_EQ(s->rotated(normal), Vector(-0.6, 0.8, 0));
}

TEST(BundleTransfer, SkyBelowReachesABackFacingPatch) {
    auto s = newScene();
    s->skyRadiance = Color(1, 2, 4);
    auto floor = addFloor(*s, &s->materials[0]);
    prepare(*s);
    sendBundle(*s, kDown);  // the floor faces against the bundle: it looks up into the sky
    for (Patch* p : floor) {
        EXPECT_EQ(s->side(*p), 0);
        EXPECT_GT(s->pixelCount(*p), 1000);
        expectColorNear(s->bundleIncoming(*p), s->skyRadiance * std::fabs(kDown.y), 1e-12);
    }
}

TEST(BundleTransfer, SkyAboveReachesAFrontFacingPatch) {
    auto s = newScene();
    s->skyRadiance = Color(1, 2, 4);
    auto floor = addFloor(*s, &s->materials[0]);
    prepare(*s);
    sendBundle(*s, kUp);  // the floor faces along the bundle, which rises into the sky
    for (Patch* p : floor) {
        EXPECT_EQ(s->side(*p), 1);
        EXPECT_GT(s->pixelCount(*p), 1000);
        expectColorNear(s->bundleIncoming(*p), s->skyRadiance * std::fabs(kUp.y), 1e-12);
    }
    s->skyRadiance = Color();
    sendBundle(*s, kUp);
    for (Patch* p : floor) EXPECT_EQ(s->bundleIncoming(*p), Color());
}

TEST(BundleTransfer, AFloorFacingDownNeverSeesTheSky) {
    auto s = newScene();
    s->skyRadiance = Color(1, 2, 4);
    auto floor = addFloor(*s, &s->materials[0], false);
    prepare(*s);
    for (const Vector& d : {kUp, kDown}) {
        sendBundle(*s, d);
        for (Patch* p : floor) {
            EXPECT_GT(s->pixelCount(*p), 1000);
            EXPECT_EQ(s->bundleIncoming(*p), Color());
        }
    }
}

TEST(BundleTransfer, FacingSquaresExchangeTheirOutgoingRadiance) {
    // A floor facing up under a roof facing down, the bundle straight up:
    // the two project onto the same cells.
    auto s = newScene();
    s->skyRadiance = Color(100, 100, 100);  // hidden from both by the other
    auto floor = addFloor(*s, &s->materials[0], true, 0.0);
    auto roof = addFloor(*s, &s->materials[0], false, 1.0);
    prepare(*s);
    for (Patch* p : floor) s->bundleOutgoing(*p) = Color(1, 2, 4);
    for (Patch* p : roof) s->bundleOutgoing(*p) = Color(0.5, 8, 16);
    for (const Vector& d : {Vector(0, 1, 0), Vector(0, -1, 0)}) {
        sendBundle(*s, d);
        for (Patch* p : floor) EXPECT_EQ(s->bundleIncoming(*p), Color(0.5, 8, 16));
        for (Patch* p : roof) EXPECT_EQ(s->bundleIncoming(*p), Color(1, 2, 4));
        EXPECT_EQ(s->pixelCount(*floor[0]) + s->pixelCount(*floor[1]),
                  s->pixelCount(*roof[0]) + s->pixelCount(*roof[1]));
    }
}

TEST(BundleTransfer, SquaresFacingApartExchangeNothing) {
    auto s = newScene();
    auto floor = addFloor(*s, &s->materials[0], false, 0.0);
    auto roof = addFloor(*s, &s->materials[0], true, 1.0);
    prepare(*s);
    for (Patch* p : s->patches) s->bundleOutgoing(*p) = Color(1, 2, 4);
    sendBundle(*s, Vector(0, 1, 0));
    for (Patch* p : s->patches) {
        EXPECT_GT(s->pixelCount(*p), 0);
        EXPECT_EQ(s->bundleIncoming(*p), Color());
    }
    // Only the sky above the roof would reach it.
    s->skyRadiance = Color(1, 1, 1);
    sendBundle(*s, Vector(0, 1, 0));
    for (Patch* p : floor) EXPECT_EQ(s->bundleIncoming(*p), Color());
    for (Patch* p : roof) EXPECT_EQ(s->bundleIncoming(*p), Color(1, 1, 1));
}

TEST(BundleTransfer, UnselectedPatchesAreInvisible) {
    // A roof that never takes part does not hide the sky from the floor.
    auto s = newScene();
    s->skyRadiance = Color(1, 2, 4);
    s->materials[1].selectProbability = 0.0;
    auto floor = addFloor(*s, &s->materials[0], true, 0.0);
    auto roof = addFloor(*s, &s->materials[1], false, 1.0);
    prepare(*s);
    Random expected = s->random;
    sendBundle(*s, Vector(0, 1, 0));
    for (Patch* p : roof) {
        EXPECT_EQ(s->pixelCount(*p), 0);
        EXPECT_EQ(s->bundleIncoming(*p), Color());
    }
    for (Patch* p : floor) EXPECT_EQ(s->bundleIncoming(*p), Color(1, 2, 4));
    // One draw for each of the two roof patches, none for the floor.
    expected.next();
    expected.next();
    EXPECT_EQ(s->random.state, expected.state);
}

TEST(BundleTransfer, ADrawOfZeroSelectsEvenAtProbabilityZero) {
    auto s = newScene();
    s->materials[1].selectProbability = 0.0;
    auto roof = addFloor(*s, &s->materials[1], true);
    prepare(*s);
    // The state just before the one whose value bits are all zero: invert
    // state · 214013 + 2531011 modulo 2³².
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    s->random.state = (0u - 2531011u) * inverse;
    Random check = s->random;
    ASSERT_EQ(check.next(), 0);
    sendBundle(*s, kDown);
    // Sorted first, the first roof patch drew 0 and took part; the second did not.
    EXPECT_GT(s->pixelCount(*s->patches[0]), 0);
    EXPECT_EQ(s->pixelCount(*s->patches[1]), 0);
    (void)roof;
}

// A right triangle of legs 0.5 in the plane at depth z, its corner at (x, 0).
static Patch* addSmallTriangle(Scene& s, double z, double x) {
    Patch t;
    initPatch(t, s.addVertex({x, 0, z}, false), s.addVertex({x + 0.5, 0, z}, false),
              s.addVertex({x, 0.5, z}, false), &s.materials[0], 1);
    return s.addPatch(t);
}

TEST(BundleTransfer, DepthOrderWithSerialTieBreak) {
    auto s = newScene();
    s->objectNumber = 1;
    // Three triangles in the plane z = 0 and one nearer, at z = -1.
    auto tri = [&](double z, double x) { return addSmallTriangle(*s, z, x); };
    Patch* a = tri(0, -1);
    Patch* b = tri(0, 0);
    Patch* c = tri(-1, 0.5);
    Patch* d = tri(0, 0.5);
    prepare(*s);
    std::reverse(s->patches.begin(), s->patches.end());
    sendBundle(*s, Vector(0, 0, 1));
    EXPECT_EQ(s->patches, (std::vector<Patch*>{c, a, b, d}));
    // d lies on c and comes later: the cells marked are a's, b's and d's.
    const BundleBuffer& buffer = *s->bundleBuffer;
    int marked = 0;
    for (int i = 0; i < buffer.side * buffer.side; ++i) marked += buffer.cells[i] >= 1;
    EXPECT_GT(s->pixelCount(*c), 0);
    EXPECT_EQ(s->pixelCount(*c), s->pixelCount(*d));
    EXPECT_EQ(marked, s->pixelCount(*a) + s->pixelCount(*b) + s->pixelCount(*d));
    // Renumbered (the serials follow the list at solver initialisation):
    // ties follow the new serials.
    s->patches = {d, c, b, a};
    s->initSolver();
    ASSERT_EQ(a->serial, 3);
    sendBundle(*s, Vector(0, 0, 1));
    EXPECT_EQ(s->patches, (std::vector<Patch*>{c, d, b, a}));
}

TEST(BundleTransfer, APatchBelowACellIsDividedByItsArea) {
    // Triangles with legs of half a cell, facing up into the sky, at many
    // places within a cell: each covers the cell whose centre it holds, if
    // any, and its sum is divided by its projected area in cells (so that its
    // mean over places is the sky; see BundleEstimate).
    auto s = newScene();
    s->skyRadiance = Color(1, 1, 1);
    // A floor of 200 × 200 sets the scale: 500 cells across, 0.4 a cell.
    addQuad(*s, {-100, 0, -100}, {0, 0, 200}, {200, 0, 0}, 1, &s->materials[0]);
    s->objectNumber = 9;
    const double d = 0.2, area = 0.5 * d * d / (0.4 * 0.4);  // in cells, face on
    std::vector<Patch*> tiny;
    for (int i = 0; i < 400; ++i) {
        double x = -80 + 0.42 * (i % 20), z = -80 + 0.42 * (i / 20);
        Patch t;
        initPatch(t, s->addVertex({x, 50, z}, false), s->addVertex({x, 50, z + d}, false),
                  s->addVertex({x + d, 50, z}, false), &s->materials[0], 1);
        tiny.push_back(s->addPatch(t));
    }
    prepare(*s);
    ASSERT_NEAR(s->extent, 200.0, 1e-12);
    sendBundle(*s, Vector(0, -1, 0));
    int covering = 0;
    for (Patch* p : tiny) {
        ASSERT_EQ(s->side(*p), 0);
        ASSERT_LE(s->pixelCount(*p), 1);
        covering += s->pixelCount(*p);
        EXPECT_NEAR(s->bundleIncoming(*p)[0], s->pixelCount(*p) / area, 1e-6);
    }
    EXPECT_GT(covering, 0);
    EXPECT_LT(covering, static_cast<int>(tiny.size()) / 4);
}

TEST(BundleTransfer, ASceneWithoutExtentTransfersNothing) {
    auto s = newScene();
    s->objectNumber = 1;
    Vertex* v = s->addVertex({0, 0, 0}, false);
    Patch t;
    initPatch(t, v, v, v, &s->materials[0], 1);
    Patch* p = s->addPatch(t);
    prepare(*s);
    ASSERT_EQ(s->extent, 0.0);
    sendBundle(*s, kDown);
    EXPECT_EQ(s->pixelCount(*p), 0);
    EXPECT_EQ(s->bundleIncoming(*p), Color());
}

TEST(BundleTransferDeathTest, NoTransferWithoutABundleBuffer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto s = newScene();
    addFloor(*s, &s->materials[0]);
    s->computeBounds();
    s->saveGeometry();
    s->direction = kDown;
    EXPECT_EXIT(s->transferBundle(), ::testing::ExitedWithCode(255), "bundle buffer");
}

namespace {
// Σ area · bundleIncoming over the patches, channel by channel.
Color areaWeighted(const Scene& s, const std::vector<Patch*>& patches) {
    Color sum;
    for (const Patch* p : patches) sum += s.bundleIncoming(*p) * p->area;
    return sum;
}

double totalArea(const std::vector<Patch*>& patches) {
    double area = 0.0;
    for (const Patch* p : patches) area += p->area;
    return area;
}

std::vector<Patch*> patchesFrom(Scene& s, size_t first) {
    return std::vector<Patch*>(s.patches.begin() + first, s.patches.end());
}
}  // namespace

// One bundle, no Monte Carlo noise: a floor of 20,000 patches, from a few
// cells to some 20 in the projection, many of them narrower than the width
// at which the count is trusted, receives the sky times the cosine, looking
// up into it (the bundle points down) or seen by it (the bundle points up).
TEST(BundleTransfer, AFloorOf20000PatchesReceivesTheSky) {
    auto s = newScene();
    s->skyRadiance = Color(0.6, 0.3, 0.15);
    addQuad(*s, {-100, 0, -100}, {0, 0, 200}, {200, 0, 0}, 100, &s->materials[0]);
    prepare(*s);
    std::vector<Patch*> floor = patchesFrom(*s, 0);
    ASSERT_EQ(floor.size(), 20000u);
    for (const Vector& d : {kDown, kUp, normalized(Vector(0.9, -0.2, 0.3))}) {
        sendBundle(*s, d);
        Color mean = areaWeighted(*s, floor) / totalArea(floor);
        expectColorNear(mean, s->skyRadiance * std::fabs(d.y), 0.005);
    }
}

// One bundle: a floor of 9,800 patches under a roof of 98 larger ones that
// reaches past it, facing each other, the bundle slightly tilted up and
// down. Every line from the floor meets the roof: the floor receives the
// roof's radiance times the cosine. The roof receives the floor's over the
// floor's projected area and nothing elsewhere.
TEST(BundleTransfer, FacingSquaresOfDifferentTessellationsExchangeTheirRadiance) {
    auto s = newScene();
    s->skyRadiance = Color(100, 100, 100);  // hidden from both
    addQuad(*s, {-100, 0, -100}, {0, 0, 200}, {200, 0, 0}, 70, &s->materials[0]);
    size_t roofStart = s->patches.size();
    addQuad(*s, {-120, 50, -120}, {240, 0, 0}, {0, 0, 240}, 7, &s->materials[0]);
    prepare(*s);
    std::vector<Patch*> all = patchesFrom(*s, 0);
    std::vector<Patch*> floor(all.begin(), all.begin() + roofStart);
    std::vector<Patch*> roof(all.begin() + roofStart, all.end());
    const Color floorOut(1, 2, 4), roofOut(0.5, 8, 16);
    for (Patch* p : floor) s->bundleOutgoing(*p) = floorOut;
    for (Patch* p : roof) s->bundleOutgoing(*p) = roofOut;
    for (const Vector& d : {normalized(Vector(0.1, 1, 0.05)), normalized(Vector(-0.08, -1, 0.1))}) {
        sendBundle(*s, d);
        double cosine = std::fabs(d.y);
        expectColorNear(areaWeighted(*s, floor) / totalArea(floor), roofOut * cosine, 0.005);
        expectColorNear(areaWeighted(*s, roof) / totalArea(floor), floorOut * cosine, 0.005);
    }
}
