// A point light of the glTF light extension, given in candela, lights the
// converted scene as its candela mean: the first shot of the program's own
// scene reader gives the floor below it the illuminance I · cos / r².
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/gl_context_test.h"
#include "tests/support/gltf_builder.h"
#include "tests/support/obj2sce_conversion.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

class GltfLightTest : public GLContextTest {};

TEST_F(GltfLightTest, CandelaLightTheFloorAsTheyShould) {
    // A floor 3 m square, turned about y so that no edge runs along the item
    // buffer's pixel rows, 1 m below a light of 50 cd.
    const double side = 3, height = 1, intensity = 50;
    GltfBuilder b;
    double h = side / 2;
    int floor = b.points({{-h, 0, -h}, {h, 0, -h}, {h, 0, h}, {-h, 0, h}});
    int faces = b.indices({0, 2, 1, 0, 3, 2});
    std::string members = R"("meshes": [{"primitives": [{"attributes": {"POSITION": )" +
                          std::to_string(floor) + R"(}, "indices": )" + std::to_string(faces) +
                          R"(}]}],
      "extensions": {"KHR_lights_punctual": {"lights": [{"type": "point", "intensity": 50}]}},
      "nodes": [{"mesh": 0, "rotation": [0, 0.17438, 0, 0.98468]},
                {"translation": [0, 1, 0], "extensions": {"KHR_lights_punctual": {"light": 0}}}])";
    Conversion c = convertModel("floor.gltf", b.gltf(members));
    ASSERT_TRUE(c.prepared) << c.error;
    std::string path = writeTempFile("floor.sce", c.scene);
    testing::internal::CaptureStderr();
    scene().readSceneFile(path.c_str());
    scene().initSolver();
    scene().shootFirst();
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(scene().lightCount, 1);

    // The program's irradiance of a patch is power · factor; over the floor it must
    // average the flux I · Ω through the square, Ω = 4 asin(a² / (a² + 4 h²)), per
    // square metre of it (the scale of the written lengths cancels out), within the
    // item buffer's 1 % (it measures 0.6 % less here). The power itself is exact.
    double flux = 0, area = 0;
    for (const Patch* p : scene().patches) {
        area += p->area;
        LightTable::List list = scene().lightList(*p);
        for (int e = 0; e < list.count; ++e)
            flux += scene().lights[0].power[0] * list.factors[e] * p->area;
    }
    double solidAngle = 4 * std::asin(side * side / (side * side + 4 * height * height));
    EXPECT_NEAR(flux / area, intensity * solidAngle / (side * side), 0.01 * flux / area);
    EXPECT_NEAR(scene().lights[0].power[0], kPi * intensity * 100 * 100, 1e-6);
}
