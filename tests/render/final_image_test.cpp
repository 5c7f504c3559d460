// The final image drawn offscreen: depth precision, anti-aliasing, creases.
#include "render/final_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gl_context_test.h"

namespace {
constexpr double kPi = 3.141592653589793;

class FinalImageTest : public ::testing::Test {
  protected:
    static constexpr int kSize = 120;

    void SetUp() override {
        if (!context_.create(kSize, kSize, true))
            SKIP_WITHOUT_GL_CONTEXT("no floating-point offscreen OpenGL context");
    }

    // Adds the parallelogram o + s·u + t·v in n × n cells to the current
    // object, facing along u × v, every patch of eye radiance `radiance`.
    void addQuad(const Vector& o, const Vector& u, const Vector& v, int n, double radiance) {
        auto corner = [&](int i, int j) {
            return s_->addVertex(o + u * (1.0 * i / n) + v * (1.0 * j / n), true);
        };
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                Vertex *a = corner(i, j), *b = corner(i + 1, j), *c = corner(i + 1, j + 1),
                       *d = corner(i, j + 1);
                for (Vertex* third : {c, d}) {
                    Patch t;
                    initPatch(t, a, third == c ? b : c, third, &material_, 1);
                    s_->eyeRadianceSum(*s_->addPatch(t)) = Color(radiance);
                }
            }
    }

    void look(const Vector& eye, const Vector& at, const Vector& up, double distance,
              double width) {
        Camera& c = s_->camera;
        c.eye = eye;
        c.viewDirection = normalized(at - eye);
        c.up = up;
        c.windowDistance = distance;
        c.windowWidth = c.windowHeight = width;
    }

    Image render(double creaseDegrees = 30, bool antialias = true) {
        s_->saveGeometry();  // the final image restores it
        s_->computeEyeDirections();
        Image image;
        std::string error;
        EXPECT_TRUE(renderFinalImage(*s_, kSize, kSize, {creaseDegrees, antialias}, image, error))
            << error;
        return image;
    }

    OffscreenContext context_;
    std::unique_ptr<Scene> s_ = std::make_unique<Scene>();
    Material material_;
};
}  // namespace

TEST_F(FinalImageTest, LampJustBelowACeilingShowsInEveryLampPixel) {
    // A lamp 100 wide 0.1 below a ceiling, seen at 45 degrees from 800
    // through a window at distance 1 and from 1000 through one at 0.035 (a
    // 35 mm lens in metres); every pixel that shows the lamp alone must
    // show it under the ceiling too.
    for (double distance : {800.0, 1000.0}) {
        double window = distance == 800 ? 1 : 0.035;
        Image alone, under;
        for (bool ceiling : {false, true}) {
            s_ = std::make_unique<Scene>();
            s_->objectNumber = 1;
            addQuad({-50, 799.9, -50}, {100, 0, 0}, {0, 0, 100}, 1, 1.0);
            s_->objectNumber = 2;
            if (ceiling) addQuad({-400, 800, -400}, {800, 0, 0}, {0, 0, 800}, 1, 0.2);
            double d = distance / std::sqrt(2.0);
            look({0, 800 - d, -d}, {0, 800, 0}, {0, 1, 0}, window, window * 0.3);
            (ceiling ? under : alone) = render(30, false);
        }
        int lamp = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                if (alone.pixel(x, y)[0] < 0.99f) continue;
                ++lamp;
                ASSERT_GT(under.pixel(x, y)[0], 0.99f) << distance << ": " << x << ", " << y;
            }
        EXPECT_GT(lamp, 1000) << distance;
    }
}

TEST_F(FinalImageTest, EdgesAreAntiAliasedUnlessSwitchedOff) {
    // A bright square turned by 0.35 on black: its edges run across pixels.
    s_->objectNumber = 1;
    Vector u(std::cos(0.35), std::sin(0.35), 0), v(-u.y, u.x, 0);
    addQuad(u * -1 + v * -1, v * 2, u * 2, 1, 1.0);
    look({0, 0, -5}, {0, 0, 0}, {0, 1, 0}, 1, 0.8);
    // The square is 60 pixels wide: 240 pixels of edge.
    for (bool antialias : {true, false}) {
        Image image = render(30, antialias);
        int between = 0, lit = 0;
        for (size_t i = 0; i < image.rgb.size(); i += 3) {
            if (image.rgb[i] == 1.0f) ++lit;
            if (image.rgb[i] > 0.0f && image.rgb[i] < 1.0f) ++between;
        }
        EXPECT_NEAR(lit + between, 3600, 300) << antialias;
        if (antialias)
            EXPECT_GT(between, 120) << "pixels partly covered along the edges";
        else
            EXPECT_EQ(between, 0);
    }
}

TEST_F(FinalImageTest, CreasesStaySharpWhileAFlatPlaneStaysSmooth) {
    // One object: three faces of a cube of side 2 around the origin, seen
    // from a corner, with radiance 0.2, 0.5 and 0.9.
    s_->objectNumber = 1;
    addQuad({-1, 1, -1}, {0, 0, 2}, {2, 0, 0}, 3, 0.2);   // top, y = 1
    addQuad({1, -1, -1}, {0, 2, 0}, {0, 0, 2}, 3, 0.5);   // x = 1
    addQuad({-1, -1, -1}, {0, 2, 0}, {2, 0, 0}, 3, 0.9);  // z = −1
    look({4, 3, -5}, {0, 0, 0}, {0, 1, 0}, 1, 0.5);
    // Each pixel shows the sky or one face's value, unless it lies within a
    // pixel of an edge: then it has two different values within two pixels.
    auto smeared = [](const Image& image) {
        const float values[4] = {0.0f, 0.2f, 0.5f, 0.9f};
        auto kind = [&](int x, int y) {
            for (int k = 0; k < 4; ++k)
                if (std::fabs(image.pixel(x, y)[0] - values[k]) < 1e-4f) return k;
            return -1;
        };
        int count = 0;
        for (int y = 2; y < kSize - 2; ++y)
            for (int x = 2; x < kSize - 2; ++x) {
                if (kind(x, y) >= 0) continue;
                int seen = 0;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        if (kind(x + dx, y + dy) >= 0) seen |= 1 << kind(x + dx, y + dy);
                if ((seen & (seen - 1)) == 0) ++count;  // fewer than two values near
            }
        return count;
    };
    EXPECT_EQ(smeared(render(30)), 0);
    EXPECT_GT(smeared(render(180)), 100);  // the window's averaging blends the faces

    // A flat plane of cells of different radiance is shaded as smoothly as
    // the window shades it.
    s_ = std::make_unique<Scene>();
    s_->objectNumber = 1;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            addQuad({i - 2.0, j - 2.0, 0}, {0, 1, 0}, {1, 0, 0}, 1, 0.1 * (i + 2 * j));
    look({0.5, 0.3, -5}, {0, 0, 0}, {0, 1, 0}, 1, 0.5);
    EXPECT_EQ(render(30).rgb, render(180).rgb);
}
