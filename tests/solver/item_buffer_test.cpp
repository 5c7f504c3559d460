#include "solver/item_buffer.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/support/gl_context_test.h"

namespace {
constexpr double kPi = 3.141592653589793;
const Vector kForward(0, 0, 1);
const Vector kUp(0, 1, 0);

// The weight of a pixel whose 8 × 8 block has its centre at (a, b) pixels
// from the face centre: the pixel's solid angle on a face of half-width 1
// at distance 1, 561 pixels wide.
double blockCentreWeight(double a, double b) {
    double x = a / 280, y = b / 280;
    return std::pow(2.0 / 561.0, 2) / std::pow(x * x + y * y + 1, 1.5);
}

const std::vector<float>& weightTable() {
    static ItemBuffer buffer;
    buffer.buildWeights();
    return buffer.weights();
}

// Sum of the weights of all pixels of a face whose row offset y is at least yMin.
double faceWeight(int yMin = -280) {
    static ItemBuffer buffer;
    buffer.buildWeights();
    double sum = 0;
    for (int y = yMin; y < 280; ++y)
        for (int x = -280; x < 280; ++x) sum += static_cast<double>(buffer.weight(x, y));
    return sum;
}

double totalCoverage(const Scene& s) {
    double sum = 0;
    for (const Patch* p : s.patches) sum += p->coverage;
    return sum;
}

using ItemBufferTest = GLContextTest;
}  // namespace

TEST(ItemBuffer, WeightTableSizeAndBlockZero) {
    const std::vector<float>& w = weightTable();
    ASSERT_EQ(w.size(), 2458u);
    // Offsets −7 to 7 share block 0, whose centre lies 4 pixels off both axes.
    EXPECT_EQ(w[0], static_cast<float>(blockCentreWeight(4, 4)));
    ItemBuffer b;
    b.buildWeights();
    EXPECT_EQ(b.weight(-7, 7), w[0]);
    EXPECT_EQ(b.weight(7, -7), w[0]);
    EXPECT_EQ(b.weight(-8, 0), w[1]);
    EXPECT_EQ(b.weight(8, 15), w[2]);
    EXPECT_EQ(b.weight(-280, -280), w[2450]);
}

TEST(ItemBuffer, WeightTableLastPairWritesSharedSums) {
    const std::vector<float>& w = weightTable();
    // 25 = 0² + 5² = 3² + 4² = 4² + 3² = 5² + 0²: the pair (5, 0) comes last.
    EXPECT_EQ(w[25], static_cast<float>(blockCentreWeight(44, 4)));
    // 1225 = 35² + 0² as well, but block 35 does not override (28, 21).
    EXPECT_EQ(w[1225], static_cast<float>(blockCentreWeight(28 * 8 + 4, 21 * 8 + 4)));
}

TEST(ItemBuffer, WeightTableFillsSumsOnlyBlock35Reaches) {
    const std::vector<float>& w = weightTable();
    // 35² + 1² and 35² + 35² have no representation with both indices below 35.
    EXPECT_EQ(w[1226], static_cast<float>(blockCentreWeight(284, 12)));
    EXPECT_EQ(w[2450], static_cast<float>(blockCentreWeight(284, 284)));
    for (int i = 0; i <= 35; ++i)
        for (int j = 0; j <= 35; ++j) EXPECT_GT(w[i * i + j * j], 0.0f) << i << ", " << j;
}

TEST(ItemBuffer, FaceWeightsSumToTheSolidAngleOfACubeFace) {
    // One sixth of the sphere, less the 561/560 narrowing of the pixels.
    EXPECT_NEAR(faceWeight(), 4 * kPi / 6, 0.01 * 4 * kPi / 6);
    EXPECT_EQ(limits::kMaxPatches, (1 << 24) - 1);
}

TEST_F(ItemBufferTest, PatchFillingTheFaceGainsEveryPixelWeight) {
    Material m;
    addSquare(Vector(0, 0, 2), Vector(0, 0, -1), Vector(1, 0, 0), 20, &m);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    EXPECT_GT(scene().patches[0]->coverage, 0.5);
    EXPECT_GT(scene().patches[1]->coverage, 0.5);
    EXPECT_NEAR(totalCoverage(scene()), faceWeight(), 1e-9);
    EXPECT_NEAR(totalCoverage(scene()), 2 * kPi / 3, 0.01 * 2 * kPi / 3);
}

TEST_F(ItemBufferTest, CoverageAddsUpOverFacesAndIgnoresOrientation) {
    Material m;
    // Facing away from the eye: the item buffer does not cull back faces.
    addSquare(Vector(0, 0, 2), Vector(0, 0, 1), Vector(1, 0, 0), 20, &m);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    scene().renderFace(Vector(0, 0, 0), kForward, Vector(1, 0, 0), true);
    EXPECT_NEAR(totalCoverage(scene()), 2 * faceWeight(), 1e-9);
}

TEST_F(ItemBufferTest, FaceThatSeesNothingChangesNothing) {
    Material m;
    addSquare(Vector(0, 0, 2), Vector(0, 0, -1), Vector(1, 0, 0), 1, &m);
    scene().patches[0]->coverage = 0.25;
    scene().renderFace(Vector(0, 0, 0), Vector(0, 0, -1), kUp, true);
    EXPECT_EQ(scene().patches[0]->coverage, 0.25);
    EXPECT_EQ(scene().patches[1]->coverage, 0.0);
}

TEST_F(ItemBufferTest, PatchesAtAnyDepthAreSeenNearestFirst) {
    Material m;
    // Squares facing the eye along +z, each drawn wider than the one in
    // front of it: 0.5 away with half-width 0.25 (tangent 0.5, 140 pixels),
    // 3999 away with tangent 0.75 (210 pixels), 4000 away filling the face.
    addSquare(Vector(0, 0, 0.5), Vector(0, 0, -1), Vector(1, 0, 0), 0.5, &m);
    addSquare(Vector(0, 0, 3999), Vector(0, 0, -1), Vector(1, 0, 0), 3999 * 1.5, &m);
    addSquare(Vector(0, 0, 4000), Vector(0, 0, -1), Vector(1, 0, 0), 1e5, &m);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    ItemBuffer b;
    b.buildWeights();
    double rings[3] = {0, 0, 0};
    for (int y = -280; y < 280; ++y)
        for (int x = -280; x < 280; ++x) {
            int r = std::max(std::abs(2 * x + 1), std::abs(2 * y + 1));  // twice the centre's
            rings[r < 280 ? 0 : r < 420 ? 1 : 2] += static_cast<double>(b.weight(x, y));
        }
    for (int k = 0; k < 3; ++k) {
        const std::vector<Patch*>& p = scene().patches;
        EXPECT_NEAR(p[2 * k]->coverage + p[2 * k + 1]->coverage, rings[k], 1e-9) << k;
    }
}

TEST_F(ItemBufferTest, NearerPatchHidesFartherOne) {
    Material m;
    addSquare(Vector(0, 0, 5), Vector(0, 0, -1), Vector(1, 0, 0), 100, &m);
    addSquare(Vector(0, 0, 3), Vector(0, 0, -1), Vector(1, 0, 0), 100, &m);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    EXPECT_EQ(scene().patches[0]->coverage + scene().patches[1]->coverage, 0.0);
    EXPECT_NEAR(scene().patches[2]->coverage + scene().patches[3]->coverage, faceWeight(), 1e-9);
}

TEST_F(ItemBufferTest, HalfFaceKeepsTheUpperHalf) {
    Material m;
    addSquare(Vector(0, 0, 2), Vector(0, 0, -1), Vector(1, 0, 0), 20, &m);
    // Entirely below the plane through the eye with normal `up`.
    addQuad(Vector(-5, -5, 1.5), Vector(5, -5, 1.5), Vector(5, -0.1, 1.5), Vector(-5, -0.1, 1.5),
            &m);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, false);
    EXPECT_EQ(scene().patches[2]->coverage + scene().patches[3]->coverage, 0.0);
    EXPECT_NEAR(totalCoverage(scene()), faceWeight(0), 1e-9);
}

TEST_F(ItemBufferTest, HalfFacePlanePassesThroughTheEye) {
    Material m;
    // From (1, 2, 3) looking along +x with up +z: only z ≥ 3 is kept.
    addSquare(Vector(4, 2, 3), Vector(-1, 0, 0), Vector(0, 1, 0), 100, &m);
    addQuad(Vector(3.5, -50, -50), Vector(3.5, 50, -50), Vector(3.5, 50, 2.9),
            Vector(3.5, -50, 2.9), &m);
    scene().renderFace(Vector(1, 2, 3), Vector(1, 0, 0), Vector(0, 0, 1), false);
    EXPECT_EQ(scene().patches[2]->coverage + scene().patches[3]->coverage, 0.0);
    EXPECT_NEAR(scene().patches[0]->coverage + scene().patches[1]->coverage, faceWeight(0), 1e-9);
    // The full face sees the lower wall in front of the upper one.
    scene().renderFace(Vector(1, 2, 3), Vector(1, 0, 0), Vector(0, 0, 1), true);
    EXPECT_GT(scene().patches[2]->coverage + scene().patches[3]->coverage, 0.5);
}

TEST_F(ItemBufferTest, IdentifiersAreEncodedInTheColourBytes) {
    // 65536 patches: the ones of identifiers 1, 256 and 65536 are in view, at
    // the pixel columns 140, 280 and 420; the rest lie behind the eye.
    Material m;
    Vertex* hidden[3] = {scene().addVertex(Vector(0, 0, -5), false),
                         scene().addVertex(Vector(1, 0, -5), false),
                         scene().addVertex(Vector(0, 1, -5), false)};
    const int visibleIndex[3] = {0, 255, 65535};
    const double screenX[3] = {0.5, 0.0, -0.5};  // world x to the left of the image
    int next = 0;
    for (int i = 0; i < 65536; ++i) {
        if (next < 3 && i == visibleIndex[next]) {
            double x = screenX[next++] * 2;
            Vertex* a = scene().addVertex(Vector(x + 0.2, -0.2, 2), false);
            Vertex* b = scene().addVertex(Vector(x - 0.2, -0.2, 2), false);
            Vertex* c = scene().addVertex(Vector(x, 0.3, 2), false);
            addTriangle(a, b, c, &m);
        } else {
            addTriangle(hidden[0], hidden[1], hidden[2], &m);
        }
    }
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    const uint8_t expected[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const int columns[3] = {140, 280, 420};
    for (int k = 0; k < 3; ++k) {
        uint8_t rgb[3] = {9, 9, 9};
        glReadPixels(columns[k], 280, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        EXPECT_EQ(rgb[0], expected[k][0]) << k;
        EXPECT_EQ(rgb[1], expected[k][1]) << k;
        EXPECT_EQ(rgb[2], expected[k][2]) << k;
        EXPECT_EQ(ItemBuffer::identifier(rgb), visibleIndex[k] + 1);
        EXPECT_GT(scene().patches[visibleIndex[k]]->coverage, 0.0) << k;
    }
    double hiddenCoverage = 0;
    for (Patch* p : scene().patches) hiddenCoverage += p->coverage;
    for (int k : visibleIndex) hiddenCoverage -= scene().patches[k]->coverage;
    EXPECT_EQ(hiddenCoverage, 0.0);
}

TEST_F(ItemBufferTest, EveryFaceIsPresented) {
    static int swaps;
    swaps = 0;
    scene().swapBuffers = [] { ++swaps; };
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, false);
    EXPECT_EQ(swaps, 2);
}

TEST_F(ItemBufferTest, SceneIsCompiledOnceAndReplayed) {
    Material m;
    addSquare(Vector(0, 0, 2), Vector(0, 0, -1), Vector(1, 0, 0), 20, &m);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    // Moving the scene afterwards does not change what the list draws.
    scene().translate(Vector(0, 0, 100));
    for (Patch* p : scene().patches) p->coverage = 0;
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    EXPECT_NEAR(totalCoverage(scene()), faceWeight(), 1e-9);
}

TEST_F(ItemBufferTest, ColourNamingNoPatchEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Material m;
    addSquare(Vector(0, 0, 2), Vector(0, 0, -1), Vector(1, 0, 0), 20, &m);
    scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
    // The compiled list still draws identifier 2, which no longer names a patch.
    scene().patches.pop_back();
    EXPECT_EXIT(scene().renderFace(Vector(0, 0, 0), kForward, kUp, true),
                ::testing::ExitedWithCode(255),
                "\n\nThe screen has less than 600x600 resolution or it is not in true color "
                "mode!\nStart again with a higher resolution screen in true color\n");
}

TEST_F(ItemBufferTest, MorePatchesThanIdentifiersAreRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Material m;
    addSquare(Vector(0, 0, 2), Vector(0, 0, -1), Vector(1, 0, 0), 20, &m);
    EXPECT_EXIT(
        {
            scene().patches.resize(limits::kMaxPatches + 1, scene().patches[0]);
            scene().renderFace(Vector(0, 0, 0), kForward, kUp, true);
        },
        ::testing::ExitedWithCode(255), "at most 16777215 patches; the scene has 16777216");
}

TEST(ItemBufferWithoutContext, RendersNothing) {
    auto s = std::make_unique<Scene>();  // hasGLContext is false: no GL call is made
    Material m;
    s->objectNumber = 1;
    Patch t;
    initPatch(t, s->addVertex(Vector(-9, -9, 2), false), s->addVertex(Vector(9, -9, 2), false),
              s->addVertex(Vector(0, 9, 2), false), &m, 1);
    s->addPatch(t);
    s->renderFace(Vector(0, 0, 0), kForward, kUp, true);
    EXPECT_EQ(s->patches[0]->coverage, 0.0);
}
