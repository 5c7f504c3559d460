// What the converter writes for a read model.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/scene.h"
#include "tests/support/obj2sce_conversion.h"

TEST(SceneWriter, NamesAndNumbers) {
    EXPECT_EQ(SceneWriter::name("wall-2.left"), "wall-2.left");
    EXPECT_EQ(SceneWriter::name("_a^b"), "_a^b");
    EXPECT_EQ(SceneWriter::name("my wall"), "\"my wall\"");
    EXPECT_EQ(SceneWriter::name("3D"), "\"3D\"");
    EXPECT_EQ(SceneWriter::name(".5"), "\".5\"");
    EXPECT_EQ(SceneWriter::name("-a"), "\"-a\"");
    EXPECT_EQ(SceneWriter::name("a \"b\""), "\"a _b_\"");  // quotes become _
    EXPECT_EQ(SceneWriter::name("a\"b"), "a_b");
    EXPECT_EQ(SceneWriter::name("end"), "\"end\"");  // a keyword would be read as one
    EXPECT_EQ(SceneWriter::name(""), "\"\"");
    EXPECT_EQ(SceneWriter::name("a%b"), "\"a%b\"");
    EXPECT_EQ(SceneWriter::name(std::string(3000, 'x')).size(), 2047u);

    EXPECT_EQ(SceneWriter::number(0.0), "0");
    EXPECT_EQ(SceneWriter::number(-0.0), "0");
    EXPECT_EQ(SceneWriter::number(-0.0000001), "0");
    EXPECT_EQ(SceneWriter::number(3.0), "3");
    EXPECT_EQ(SceneWriter::number(-12.5), "-12.5");
    EXPECT_EQ(SceneWriter::number(0.1), "0.1");
    EXPECT_EQ(SceneWriter::number(1e-5), "0.00001");  // never an exponent
    EXPECT_EQ(SceneWriter::number(1e7), "10000000");
}

TEST(SceneWriter, CubeMaterialsChannelsAndEmittersFirst) {
    writeTempFile("cube.mtl", kCubeMtl);
    Conversion c = convert(kCubeObj);
    ASSERT_TRUE(c.prepared) << c.error;
    EXPECT_TRUE(c.warnings.empty());
    // Channel 0 is shown blue, 2 red: (r, g, b) is written b, g, r.
    EXPECT_TRUE(contains(c.scene, "nmdMtrl red lmbrtn spctrl 0 0.1 0 0.2 0 0.9 1 end end end\n"));
    EXPECT_TRUE(
        contains(c.scene, "nmdMtrl shiny lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 0.4 50 end end end\n"));
    EXPECT_TRUE(contains(c.scene,
                         "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0 0 0 0 0 1 end end "
                         "spctrl 0 1 0 2 0 4 end end end\n"));

    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0].name, "lamp");
    EXPECT_EQ(objects[0].material, "lamp");
    EXPECT_EQ(objects[0].tessellate, "1");
    EXPECT_EQ(objects[1].material, "red");
    EXPECT_EQ(objects[1].tessellate, "4");
    EXPECT_EQ(objects[2].material, "shiny");
    // Each object holds only its own vertices, numbered from 0 in order of use.
    ASSERT_EQ(objects[0].vertices.size(), 4u);
    EXPECT_EQ(objects[0].vertices[0], Vector(2, 20, 2));
    EXPECT_EQ(objects[0].polygons[0], (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(objects[1].vertices.size(), 8u);
    EXPECT_EQ(objects[1].polygons.size(), 3u);
    EXPECT_EQ(objects[1].polygons[0], (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(objects[1].vertices[1], Vector(0, 10, 0));
    EXPECT_EQ(objects[2].vertices.size(), 8u);
}

TEST(SceneWriter, PolygonsFannedSplitOrKept) {
    // A regular pentagon, a non-planar quadrilateral, a planar trapezoid and a slanted
    // parallelogram.
    std::string obj;
    for (int k = 0; k < 5; ++k) {
        double a = 2.0 * 3.14159265358979 * k / 5.0;
        obj += "v " + std::to_string(10 * std::cos(a)) + " " + std::to_string(10 * std::sin(a)) +
               " 0\n";
    }
    obj += "v 0 0 0\nv 10 0 0\nv 10 10 3\nv 0 10 0\n";  // 6-9 non-planar
    obj += "v 0 0 0\nv 10 0 0\nv 7 10 0\nv 3 10 0\n";   // 10-13 trapezoid
    obj += "v 0 0 0\nv 10 0 0\nv 14 10 0\nv 4 10 0\n";  // 14-17 parallelogram
    obj += "g pentagon\nf 1 2 3 4 5\ng bent\nf 6 7 8 9\ng trapezoid\nf 10 11 12 13\n";
    obj += "g slanted\nf 14 15 16 17\n";
    Conversion c = convert(obj);
    ASSERT_TRUE(c.prepared) << c.error;
    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(objects[0].polygons,
              (std::vector<std::vector<int>>{{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}));
    EXPECT_EQ(objects[1].polygons, (std::vector<std::vector<int>>{{0, 1, 2}, {0, 2, 3}}));
    EXPECT_EQ(objects[2].polygons, (std::vector<std::vector<int>>{{0, 1, 2}, {0, 2, 3}}));
    EXPECT_EQ(objects[3].polygons, (std::vector<std::vector<int>>{{0, 1, 2, 3}}));
}

TEST(SceneWriter, TrianglesWithoutAreaLeftOut) {
    Conversion c = convert(
        "v 0 0 0\nv 10 0 0\nv 20 0 0\nv 0 10 0\n"
        "f 1 2 3\nf 1 1 4\nf 1 2 4\n");
    ASSERT_TRUE(c.prepared) << c.error;
    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].polygons, (std::vector<std::vector<int>>{{0, 1, 2}}));
    EXPECT_EQ(objects[0].vertices.size(), 3u);
    ASSERT_EQ(c.warnings.size(), 1u);
    EXPECT_EQ(c.warnings[0], "2 triangles without area are left out");
}

TEST(SceneWriter, SwapYZAndScale) {
    Obj2sceOptions options;
    options.swapYZ = true;
    options.scale = 2.0;
    Conversion c = convert("v 1 2 3\nv 11 2 3\nv 1 12 3\nf 1 2 3\n", options);
    ASSERT_TRUE(c.prepared) << c.error;
    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].vertices[0], Vector(2, 6, -4));
    EXPECT_EQ(objects[0].vertices[2], Vector(2, 6, -24));
    // The z-up triangle faced +z; turned y-up it faces +y, so the winding still gives
    // the outward side: the turn keeps handedness.
    Vector n = cross(objects[0].vertices[1] - objects[0].vertices[0],
                     objects[0].vertices[2] - objects[0].vertices[0]);
    EXPECT_GT(n.y, 0.0);
}

TEST(SceneWriter, LargeGroupsSplitAtTheVertexLimit) {
    // A strip of 5 quads over 12 vertices, at most 6 vertices per object.
    std::string obj;
    for (int i = 0; i <= 5; ++i)
        obj += "v " + std::to_string(10 * i) + " 0 0\nv " + std::to_string(10 * i) + " 10 0\n";
    obj += "g strip\n";
    for (int i = 0; i < 5; ++i) {
        int a = 2 * i + 1;
        obj += "f " + std::to_string(a) + " " + std::to_string(a + 2) + " " +
               std::to_string(a + 3) + " " + std::to_string(a + 1) + "\n";
    }
    Conversion c = convert(obj, Obj2sceOptions(), 6);
    ASSERT_TRUE(c.prepared) << c.error;
    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0].name, "strip");
    EXPECT_EQ(objects[1].name, "strip.2");
    EXPECT_EQ(objects[2].name, "strip.3");
    size_t polygons = 0;
    for (const WrittenObject& o : objects) {
        EXPECT_LE(o.vertices.size(), 6u);
        polygons += o.polygons.size();
    }
    EXPECT_EQ(polygons, 5u);
    EXPECT_EQ(objects[1].vertices[0], Vector(20, 0, 0));
}

TEST(SceneWriter, AutomaticCameraFramesTheModelFromPlusZ) {
    Obj2sceOptions options;
    options.fov = 90.0;
    Conversion c = convert("v -3 -4 0\nv 3 -4 0\nv 3 4 0\nv -3 4 0\nf 1 2 3 4\n", options);
    ASSERT_TRUE(c.prepared) << c.error;
    // The bounding sphere has radius 5: at 90 degrees the eye stands 5·√2 away, the window
    // at a tenth of that, 2·d·tan(45°) wide.
    double d = 5.0 * std::sqrt(2.0) / 10.0;
    std::string expected = "cmr camera\n  0 0 " + SceneWriter::number(10 * d) +
                           "  0 0 -1  0 1 0\n  " + SceneWriter::number(d) + "  " +
                           SceneWriter::number(2 * d) + " " + SceneWriter::number(2 * d) +
                           "  0 0  0\nend\n";
    EXPECT_TRUE(contains(c.scene, expected)) << c.scene;
}

TEST(SceneWriter, GivenCameraAndLights) {
    Obj2sceOptions options;
    options.hasEye = true;
    options.eye = Vector(0, 0, 0);
    options.hasLookAt = true;
    options.lookAt = Vector(0, 30, 40);
    options.up = Vector(0, 0, 1);
    options.fov = 90.0;
    options.hasSky = true;
    options.sky = Vector(0.5, 0.25, 0.125);
    options.hasLight = true;
    options.lightPower = 800;
    options.lightPosition = Vector(0, 90, -1.5);
    Conversion c = convert("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", options);
    ASSERT_TRUE(c.prepared) << c.error;
    EXPECT_TRUE(contains(c.scene,
                         "cmr camera\n  0 0 0  0 0.6 0.8  0 0 1\n  5  10 10  0 0  0\n"
                         "end\npointlight 800 0 90 -1.5 end\nsky 0.125 0.25 0.5 end\n"))
        << c.scene;

    options.lookAt = options.eye;
    c = convert("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", options);
    EXPECT_FALSE(c.prepared);
    EXPECT_EQ(c.error, "the camera's eye lies on the point it looks at");
}

TEST(SceneWriter, WarnsOfMergingCornersAndManyEmittingPatches) {
    writeTempFile("glow.mtl", "newmtl glow\nKe 1 1 1\n");
    std::string obj = "mtllib glow.mtl\nusemtl glow\n";
    for (int i = 0; i < 26; ++i) obj += "v " + std::to_string(i) + " 0 0\n";
    obj += "v 0 0.05 0.05\nv 0 10 0\n";
    for (int i = 1; i <= 25; ++i)
        obj += "f " + std::to_string(i) + " " + std::to_string(i + 1) + " 28\n";
    obj += "usemtl grey\nf 1 27 28\n";
    Conversion c = convert(obj);
    ASSERT_TRUE(c.prepared) << c.error;
    ASSERT_EQ(c.warnings.size(), 3u);
    EXPECT_TRUE(contains(c.warnings[1], "1 polygons have corners closer than 0.1"));
    EXPECT_TRUE(contains(c.warnings[2], "the emitting objects make 25 patches"));
}

TEST(SceneWriter, MaterialAndLightTables) {
    std::string mtl, obj = "mtllib many.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i < 101; ++i) {
        mtl += "newmtl m" + std::to_string(i) + "\n";
        obj += "usemtl m" + std::to_string(i) + "\nf 1 2 3\n";
    }
    writeTempFile("many.mtl", mtl);
    Conversion c = convert(obj);
    EXPECT_FALSE(c.prepared);
    EXPECT_EQ(c.error, "the model uses 101 materials; a scene holds at most 100");

    // The light table holds 25 sources: the point lights (--light's and the model's)
    // and, unless they are 25 or more, the emitting patches.
    auto prepare = [](int emitting, int modelLights, std::string& message) {
        ObjModel model;
        model.positions = {Vector(0, 0, 0), Vector(10, 0, 0), Vector(0, 10, 0)};
        model.materials.resize(1);
        model.materials[0].emission[0] = 1.0;
        model.groups.resize(1);
        model.groups[0].faces.assign(emitting, ObjModel::Face{{0, 1, 2}});
        ModelView view;
        view.lights.resize(modelLights);
        Obj2sceOptions options;
        options.hasLight = true;
        SceneWriter writer(options);
        bool prepared = writer.prepare(model, view);
        message =
            prepared ? (writer.warnings().empty() ? "" : writer.warnings().back()) : writer.error();
        return prepared;
    };
    std::string message;
    EXPECT_TRUE(prepare(1, 23, message)) << message;
    EXPECT_FALSE(prepare(1, 25, message));
    EXPECT_EQ(message, "the scene would have 26 point lights; a scene holds at most 25");
    EXPECT_FALSE(prepare(2, 23, message));
    EXPECT_EQ(message,
              "the 24 point lights and the 2 patches of the emitting objects are 26 light "
              "sources; a scene holds at most 25");
    // With 25 emitting patches the first shot leaves them to the bundles; the
    // point lights are still shot.
    EXPECT_TRUE(prepare(25, 3, message));
    EXPECT_EQ(message.find("point lights"), std::string::npos) << message;
}

TEST(SceneWriter, MaterialsThatWouldReflectMoreThanTheyReceiveAreScaledDown) {
    // Blender writes Ks 0.5 for every material: with Kd 0.8 the pair would
    // reflect 1.3 times what it receives. Kd 5 alone would be worse.
    writeTempFile("blender.mtl",
                  "newmtl paint\nKd 0.8 0.8 0.6\nKs 0.5 0.5 0.5\nNs 250\n"
                  "newmtl glow\nKd 5 5 5\nnewmtl fine\nKd 0.6 0.6 0.6\nKs 0.4 0.4 0.4\n");
    Conversion c = convert(
        "mtllib blender.mtl\nv 0 0 0\nv 10 0 0\nv 0 10 0\n"
        "usemtl paint\nf 1 2 3\nusemtl glow\nf 1 2 3\nusemtl fine\nf 1 2 3\n");
    ASSERT_TRUE(c.prepared) << c.error;
    ASSERT_EQ(c.warnings.size(), 1u);
    EXPECT_EQ(c.warnings[0],
              "2 materials would reflect more light than they receive (Kd plus the mean of Ks "
              "above 1); their Kd and Ks are scaled down to sum to 1, as the notes in the scene "
              "say");
    // 0.999999 / 1.3 and 0.999999 / 5, with their sums kept at most 1 as written.
    EXPECT_TRUE(contains(c.scene,
                         "% paint: Kd and Ks scaled by 0.76923 so that it reflects no more light "
                         "than it receives\nnmdMtrl paint lmbrtn spctrl 0 0.461538 0 0.615384 0 "
                         "0.615384 1 0.384615 250 end end end\n"));
    EXPECT_TRUE(contains(c.scene,
                         "nmdMtrl glow lmbrtn spctrl 0 0.999999 0 0.999999 0 0.999999 1 end end "
                         "end\n"));
    EXPECT_TRUE(
        contains(c.scene, "nmdMtrl fine lmbrtn spctrl 0 0.6 0 0.6 0 0.6 1 0.4 10 end end end\n"));

    // The program reads the scene without a warning about its materials.
    auto loaded = std::make_unique<Scene>();
    testing::internal::CaptureStderr();
    loaded->readSceneFile(writeTempFile("blender.sce", c.scene).c_str());
    EXPECT_FALSE(contains(testing::internal::GetCapturedStderr(), "Warning: material"));
}

TEST(SceneWriter, NamesThatCollideWhenWrittenStayApart) {
    writeTempFile("twins.mtl", "newmtl a\"b\nKd 1 0 0\nnewmtl a_b\nKd 0 0 1\n");
    Conversion c = convert(
        "mtllib twins.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
        "usemtl a\"b\nf 1 2 3\nusemtl a_b\nf 1 2 3\n");
    ASSERT_TRUE(c.prepared) << c.error;
    EXPECT_TRUE(contains(c.scene, "nmdMtrl a_b lmbrtn spctrl 0 0 0 0 0 1 1"));
    EXPECT_TRUE(contains(c.scene, "nmdMtrl a_b.2 lmbrtn spctrl 0 1 0 0 0 0 1"));
    EXPECT_TRUE(contains(c.scene, "mtrlNm a_b.2 end"));
}
