// Corner colours kept apart across creases, and the output vertices a mesh
// writer gets from them.
#include "app/crease_colors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/scene.h"

namespace {
// Patches of one object with merged corners and given eye radiance sums.
class CreaseScene {
  public:
    CreaseScene() { scene_->objectNumber = 1; }

    void triangle(const Vector& a, const Vector& b, const Vector& c, double radiance) {
        Patch t;
        initPatch(t, scene_->addVertex(a, true), scene_->addVertex(b, true),
                  scene_->addVertex(c, true), &material_, 1);
        scene_->eyeRadianceSum(*scene_->addPatch(t)) = Color(radiance);
    }
    const std::vector<Patch*>& patches() const { return scene_->patches; }
    CreaseColors colors(double creaseDegrees) const {
        return CreaseColors(patches(), creaseDegrees, scene_->eyeRadianceSums(patches()));
    }

  private:
    std::unique_ptr<Scene> scene_ = std::make_unique<Scene>();
    Material material_;
};
}  // namespace

TEST(CreaseColors, CubeCornerSplitsIntoOneVertexPerFace) {
    // Three faces of a cube meet at the origin: two triangles on the floor
    // (0.1 and 0.3), one on each wall (0.5 and 0.7).
    CreaseScene s;
    s.triangle({0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 0.1);
    s.triangle({1, 0, 0}, {0, 0, 1}, {1, 0, 1}, 0.3);
    s.triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0.5);  // the wall z = 0
    s.triangle({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0.7);  // the wall x = 0
    CreaseColors sharp = s.colors(30);
    // Numbered by first corners: patch 0 gives 0, 1, 2; patch 1 one more
    // (its second and third corners are new on its side); the walls get
    // their own vertices where they meet the floor and each other.
    EXPECT_EQ(sharp.outputVertex(0, 0), 0);
    EXPECT_EQ(sharp.outputVertex(1, 0), 2);
    EXPECT_EQ(sharp.outputVertex(1, 1), 1);
    EXPECT_EQ(sharp.outputVertex(1, 2), 3);
    EXPECT_EQ(sharp.outputVertex(2, 0), 4);
    EXPECT_EQ(sharp.outputVertexCount(), 10);
    EXPECT_DOUBLE_EQ(sharp.cornerColor(0, 0)[0], 0.1);
    EXPECT_DOUBLE_EQ(sharp.cornerColor(0, 2)[0], 0.2);  // the floor's shared corner
    EXPECT_DOUBLE_EQ(sharp.cornerColor(2, 0)[0], 0.5);
    EXPECT_DOUBLE_EQ(sharp.cornerColor(3, 0)[0], 0.7);
    EXPECT_EQ(&sharp.sceneVertex(sharp.outputVertex(0, 0)), s.patches()[2]->vertices[0]);

    // At 180 degrees each vertex stays whole with the window's mean.
    CreaseColors whole = s.colors(180);
    EXPECT_EQ(whole.outputVertexCount(), 5);
    EXPECT_EQ(whole.outputVertex(3, 0), whole.outputVertex(0, 0));
    EXPECT_EQ(whole.cornerColor(0, 0), Color((0.1 + 0.5) + 0.7) / 3);
}

TEST(CreaseColors, GentleBendsStaySmoothAndOppositeSidesJoinOnlyAt180) {
    // A fan around the origin bending by 20 degrees per triangle: neighbours
    // are within 30 degrees, the ends 40 apart, and all are on one side.
    CreaseScene s;
    for (int k = 0; k < 3; ++k) {
        double a = (20.0 * k) * 3.141592653589793 / 180;
        Vector n(std::sin(a), std::cos(a), 0);  // normal of triangle k
        Vector along = cross(n, Vector(0, 0, 1));
        s.triangle({0, 0, 0}, along, Vector(0, 0, 1), k);
    }
    CreaseColors bent = s.colors(30);
    EXPECT_EQ(bent.outputVertex(2, 0), bent.outputVertex(0, 0));
    EXPECT_DOUBLE_EQ(bent.cornerColor(0, 0)[0], 1.0);

    // A sheet folded flat onto itself: normals 180 degrees apart.
    CreaseScene f;
    f.triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 1);
    f.triangle({0, 0, 0}, {0, 1, 0}, {1, 0, 0}, 3);
    EXPECT_EQ(f.colors(179.9).outputVertexCount(), 6);
    EXPECT_EQ(f.colors(180).outputVertexCount(), 3);
    EXPECT_EQ(f.colors(180).cornerColor(1, 0), Color(2));
}
