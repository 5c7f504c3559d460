// The preview drawn into an offscreen frame and read back.
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/gl_context_test.h"

namespace {
struct Pixel {
    int red, green, blue;
};

Pixel readPixel(int column, int row) {
    unsigned char rgb[3] = {0, 0, 0};
    glReadPixels(column, row, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

// Byte value of a displayed intensity in [0, 1].
int byteOf(double v) { return static_cast<int>(std::lround(v * 255)); }

class PreviewTest : public GLContextTest {
  protected:
    void SetUp() override {
        GLContextTest::SetUp();
        if (IsSkipped()) return;
        // Looking along +z from 5 in front of the origin, +y up: the window
        // 0.5 × 0.5 at distance 0.5 shows [−2.5, 2.5]² of the plane z = 0.
        scene().camera.eye = Vector(0, 0, -5);
        scene().camera.viewDirection = Vector(0, 0, 1);
        scene().camera.up = Vector(0, 1, 0);
    }

    // The unit square [−1, 1]² at z = 0 as two triangles sharing the
    // diagonal from (−1, −1) to (1, 1), facing the eye or away from it.
    void addFacingSquare(bool facingEye) {
        if (facingEye)
            addQuad(Vector(-1, -1, 0), Vector(-1, 1, 0), Vector(1, 1, 0), Vector(1, -1, 0), &m_);
        else
            addQuad(Vector(-1, -1, 0), Vector(1, -1, 0), Vector(1, 1, 0), Vector(-1, 1, 0), &m_);
    }

    void draw() {
        scene().computeEyeDirections();
        scene().camera.apply();
        scene().drawPreview();
    }

    Material m_;
};
}  // namespace

TEST_F(PreviewTest, SkyRadianceClearsTheWindowChannelTwoAsRed) {
    scene().skyRadiance = Color(0, 0, 1);
    draw();
    for (int k = 0; k < 560; k += 93) {
        Pixel p = readPixel(k, 559 - k);
        EXPECT_EQ(p.red, 255);
        EXPECT_EQ(p.green, 0);
        EXPECT_EQ(p.blue, 0);
    }
}

TEST_F(PreviewTest, ChannelZeroIsDrawnBlue) {
    addFacingSquare(true);
    for (Patch* p : scene().patches) scene().eyeRadianceSum(*p) = Color(1, 0, 0);
    draw();
    Pixel p = readPixel(280, 280);
    EXPECT_EQ(p.red, 0);
    EXPECT_EQ(p.green, 0);
    EXPECT_EQ(p.blue, 255);
    // Outside the square the black sky shows.
    Pixel sky = readPixel(10, 10);
    EXPECT_EQ(sky.red + sky.green + sky.blue, 0);
}

TEST_F(PreviewTest, RadianceIsScaledByTheDisplayScale) {
    addFacingSquare(true);
    // After iteration 1 of 4000 the estimate is 4000 times the sum so far.
    for (Patch* p : scene().patches) scene().eyeRadianceSum(*p) = Color(0.0001, 0.00005, 0.00002);
    scene().displayScale = 4000;
    draw();
    Pixel p = readPixel(280, 280);
    EXPECT_NEAR(p.red, byteOf(0.08), 1);
    EXPECT_NEAR(p.green, byteOf(0.2), 1);
    EXPECT_NEAR(p.blue, byteOf(0.4), 1);
}

TEST_F(PreviewTest, SharedCornersShowTheMeanOfTheirPatches) {
    addFacingSquare(true);
    scene().eyeRadianceSum(*scene().patches[0]) = Color(0.2);
    scene().eyeRadianceSum(*scene().patches[1]) = Color(0.4);
    draw();
    // The diagonal's corners are shared; the other two belong to one patch each.
    const Vertex* const* v = scene().patches[0]->vertices;
    EXPECT_DOUBLE_EQ(scene().previewColor(*v[0])[0], 0.3);
    EXPECT_DOUBLE_EQ(scene().previewColor(*v[2])[1], 0.3);
    EXPECT_EQ(scene().previewColor(*v[1]), Color(0.2));
    EXPECT_EQ(scene().previewColor(*scene().patches[1]->vertices[2]), Color(0.4));
    // The diagonal through the centre runs between two corners of 0.3.
    Pixel p = readPixel(280, 280);
    EXPECT_NEAR(p.red, byteOf(0.3), 1);
    EXPECT_NEAR(p.green, byteOf(0.3), 1);
    EXPECT_NEAR(p.blue, byteOf(0.3), 1);
}

TEST_F(PreviewTest, PatchFacingAwayIsNotDrawnButEntersTheMean) {
    addFacingSquare(false);
    scene().skyRadiance = Color(0, 1, 0);
    for (Patch* p : scene().patches) scene().eyeRadianceSum(*p) = Color(1, 1, 1);
    // A second object facing the eye shares no corner with the first.
    ++scene().objectNumber;
    addQuad(Vector(1.5, -2, 0), Vector(1.5, 2, 0), Vector(2, 2, 0), Vector(2, -2, 0), &m_);
    draw();
    EXPECT_EQ(scene().patches[0]->coverage, 0.0);
    EXPECT_EQ(scene().previewColor(*scene().patches[0]->vertices[0]), Color(1, 1, 1));
    Pixel p = readPixel(280, 280);
    EXPECT_EQ(p.red, 0);
    EXPECT_EQ(p.green, 255);
    EXPECT_EQ(p.blue, 0);
    // The patches facing the eye are drawn in black over the green sky. World
    // x = 1.75 lies at column 280 − 1.75 / 2.5 · 280, the image's left.
    Pixel drawn = readPixel(84, 280);
    EXPECT_EQ(drawn.red + drawn.green + drawn.blue, 0);
}

TEST_F(PreviewTest, CameraApplyLoadsTheFrustumAndSwitchesTheClipPlaneOff) {
    scene().camera.windowCenterX = 0.1;
    scene().camera.windowDistance = 0.25;
    glEnable(GL_CLIP_PLANE1);
    scene().camera.apply();
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE1));
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // glFrustum(l, r, b, t, n, f): 2n/(r − l) on the diagonal, (r + l)/(r − l) beside it.
    EXPECT_NEAR(projection[0], 2 * 0.25 / 0.5, 1e-6);
    EXPECT_NEAR(projection[8], 0.2 / 0.5, 1e-6);
    EXPECT_NEAR(projection[5], 2 * 0.25 / 0.5, 1e-6);
}

TEST_F(PreviewTest, DrawsAfterTheFirstShotChangedTheState) {
    addFacingSquare(true);
    scene().eyeRadianceSum(*scene().patches[0]) = Color(0, 0, 1);
    // An identifier rendering leaves flat shading and a half-face clip plane
    // on; this one keeps y ≥ 0 only.
    scene().renderFace(Vector(0, 0, -5), Vector(0, 0, 1), Vector(0, 1, 0), false);
    draw();
    // Below the plane, the second patch still shows the red its shared corners carry.
    EXPECT_GT(readPixel(280, 200).red, 0);
    // Smooth shading: at the centroid (−1/3, 1/3) of the first patch, the mean
    // of its corners 0.5, 1 and 0.5; flat shading would show its last corner.
    Pixel p = readPixel(317, 317);
    EXPECT_NEAR(p.red, byteOf(2.0 / 3), 3);
}

TEST_F(PreviewTest, NearPlaneMovesOutToTheNearestPatchInView) {
    // A lamp 100 wide 0.1 below a ceiling, seen from 800 below through a
    // window of 0.0125 at 0.035: with the window as the near plane, the 24-bit
    // depth buffer could not tell 0.1 apart at 800 units.
    Camera& c = scene().camera;
    c.eye = Vector(0, 0, 0);
    c.viewDirection = Vector(0, 1, 0);
    c.up = Vector(0, 0, 1);
    c.windowDistance = 0.035;
    c.windowWidth = c.windowHeight = 0.0125;  // 285.7 units wide at the ceiling
    addQuad(Vector(-200, 800, -200), Vector(200, 800, -200), Vector(200, 800, 200),
            Vector(-200, 800, 200), &m_);
    ++scene().objectNumber;
    addQuad(Vector(-50, 799.9, -50), Vector(50, 799.9, -50), Vector(50, 799.9, 50),
            Vector(-50, 799.9, 50), &m_);
    for (int i = 0; i < 4; ++i)
        scene().eyeRadianceSum(*scene().patches[i]) = Color(i < 2 ? 0.2 : 1.0);
    scene().computeEyeDirections();
    scene().applyCamera();
    scene().drawPreview();
    // The lamp spans 50 / 799.9 / (0.0125 / 2 / 0.035) · 280 = 98 pixels
    // either side of the centre; all of them but the edges show it.
    for (int row = 184; row < 376; row += 3)
        for (int column = 184; column < 376; column += 3)
            ASSERT_EQ(readPixel(column, row).red, 255) << column << ", " << row;
    EXPECT_EQ(readPixel(100, 280).red, byteOf(0.2));
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // glFrustum's depth terms: −(f + n) / (f − n) and −2fn / (f − n).
    double n = projection[14] / (projection[10] - 1), f = projection[14] / (projection[10] + 1);
    EXPECT_NEAR(n, 799.9 / 1.01, 1e-6 * n);
    EXPECT_NEAR(f, 800 * 1.01, 1e-6 * f);
}
