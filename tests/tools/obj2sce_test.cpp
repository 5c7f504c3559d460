// obj2sce on small models written into a temp directory: what the reader
// makes of OBJ and MTL statements, what the writer turns it into, and whether
// the scene reader takes the result.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/scene.h"
#include "tests/e2e/program_runner.h"
#include "tests/test_files.h"
#include "tools/obj2sce/obj2sce_options.h"
#include "tools/obj2sce/obj_reader.h"
#include "tools/obj2sce/scene_writer.h"

namespace {

// One object statement of a written scene, read back with plain word splitting (the
// names in these tests need no quotes).
struct WrittenObject {
    std::string name;
    std::string material;
    std::string tessellate;
    std::vector<Vector> vertices;
    std::vector<std::vector<int>> polygons;
};

std::vector<WrittenObject> writtenObjects(const std::string& scene) {
    std::istringstream in(scene);
    std::vector<WrittenObject> objects;
    std::string word;
    while (in >> word) {
        if (word != "plnrMsh") continue;
        WrittenObject o;
        std::string skip;
        in >> o.name >> skip >> o.material >> skip >> skip >> o.tessellate >> skip;
        while (in >> word && word != "end") {
            Vector v;
            v.x = std::stod(word);
            in >> v.y >> v.z;
            o.vertices.push_back(v);
        }
        in >> skip;  // cmplxPly
        while (in >> word && word == "plygn") {
            std::vector<int> polygon;
            while (in >> word && word != "end") polygon.push_back(std::stoi(word));
            o.polygons.push_back(polygon);
        }
        objects.push_back(o);
    }
    return objects;
}

struct Conversion {
    bool read = false;
    bool prepared = false;
    std::string error;
    std::vector<std::string> warnings;
    std::string scene;
};

// Reads `obj` (written as model.obj beside the other files) and writes its scene.
Conversion convert(const std::string& obj, const Obj2sceOptions& options = Obj2sceOptions(),
                   int vertexLimit = SceneWriter::kVertexLimit) {
    Conversion c;
    std::string path = writeTempFile("model.obj", obj);
    ObjModel model;
    ObjReader reader;
    c.read = reader.read(path, model);
    c.error = reader.error();
    c.warnings = reader.warnings();
    if (!c.read) return c;
    SceneWriter writer(options, vertexLimit);
    c.prepared = writer.prepare(model);
    if (!c.prepared) c.error = writer.error();
    for (const std::string& w : writer.warnings()) c.warnings.push_back(w);
    std::ostringstream out;
    writer.write(out, "model.obj");
    c.scene = out.str();
    return c;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A unit cube of six quads facing outward, two materials, and a small emitting square
// above it that comes last in the file.
const char* kCubeMtl =
    "# two surfaces and a lamp\n"
    "newmtl red\n"
    "Kd 0.9 0.2 0.1\n"
    "Ka 1 1 1\n"
    "illum 2\n"
    "map_Kd red.png\n"
    "newmtl shiny\n"
    "Kd 0.5\n"
    "Ks 0.3 0.3 0.6\n"
    "Ns 50\n"
    "newmtl lamp\n"
    "Kd 0 0 0\n"
    "Ke 4 2 1\n";

const char* kCubeObj =
    "mtllib cube.mtl\n"
    "o cube\n"
    "v 0 0 0\nv 10 0 0\nv 10 10 0\nv 0 10 0\n"
    "v 0 0 10\nv 10 0 10\nv 10 10 10\nv 0 10 10\n"
    "usemtl red\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\n"
    "usemtl shiny\n"
    "f 4 8 7 3\nf 1 5 8 4\nf 2 3 7 6\n"
    "o lamp\n"
    "v 2 20 2\nv 8 20 2\nv 8 20 8\nv 2 20 8\n"
    "usemtl lamp\n"
    "f 9 10 11 12\n";

}  // namespace

TEST(ObjReader, CubeGroupsAndMaterials) {
    writeTempFile("cube.mtl", kCubeMtl);
    ObjModel model;
    ObjReader reader;
    ASSERT_TRUE(reader.read(writeTempFile("model.obj", kCubeObj), model)) << reader.error();
    EXPECT_TRUE(reader.warnings().empty());
    ASSERT_EQ(model.positions.size(), 12u);
    EXPECT_EQ(model.positions[6], Vector(10, 10, 10));
    ASSERT_EQ(model.groups.size(), 3u);
    EXPECT_EQ(model.groups[0].name, "cube");
    EXPECT_EQ(model.groups[0].materialName, "red");
    EXPECT_EQ(model.groups[1].materialName, "shiny");
    EXPECT_EQ(model.groups[2].name, "lamp");
    EXPECT_EQ(model.groups[0].faces.size(), 3u);
    EXPECT_EQ(model.groups[0].faces[0].corners, (std::vector<int>{0, 3, 2, 1}));

    const ObjModel::Material& red = model.materials[model.groups[0].material];
    EXPECT_EQ(red.name, "red");
    EXPECT_EQ(red.diffuse[0], 0.9);
    EXPECT_EQ(red.diffuse[2], 0.1);
    EXPECT_FALSE(red.emits());
    const ObjModel::Material& shiny = model.materials[model.groups[1].material];
    EXPECT_EQ(shiny.diffuse[1], 0.5);  // one value is a grey
    EXPECT_EQ(shiny.specular[2], 0.6);
    EXPECT_EQ(shiny.exponent, 50.0);
    EXPECT_TRUE(model.materials[model.groups[2].material].emits());
}

TEST(ObjReader, SameGroupAndMaterialAgainJoinsTheirFaces) {
    ObjModel model;
    ObjReader reader;
    std::string path = writeTempFile("model.obj",
                                     "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                     "g a\nf 1 2 3\ng b\nf 1 2 3\ng a\nf 3 2 1\n");
    ASSERT_TRUE(reader.read(path, model)) << reader.error();
    ASSERT_EQ(model.groups.size(), 2u);
    EXPECT_EQ(model.groups[0].faces.size(), 2u);
    EXPECT_EQ(model.groups[1].name, "b");
    // Without a usemtl the faces take a grey default, without a warning.
    EXPECT_TRUE(reader.warnings().empty());
    EXPECT_EQ(model.materials[model.groups[0].material].diffuse[1], 0.7);
}

TEST(ObjReader, IndexFormsAndNegativeIndices) {
    ObjModel model;
    ObjReader reader;
    std::string path = writeTempFile("model.obj",
                                     "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                     "vt 0 0\nvn 0 0 1\ns off\nl 1 2\np 3\n"
                                     "f 1/1/1 2/1/1 3/1/1\n"
                                     "f 1//1 3//1 4//1\n"
                                     "f 2/1 3/1 4/1\n"
                                     "f -4 -3 -1\n"
                                     "v 5 5 5\n"
                                     "f -1/1/1 -5//1 -4\n");
    ASSERT_TRUE(reader.read(path, model)) << reader.error();
    EXPECT_TRUE(reader.warnings().empty());
    const std::vector<ObjModel::Face>& faces = model.groups.at(0).faces;
    ASSERT_EQ(faces.size(), 5u);
    EXPECT_EQ(faces[0].corners, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(faces[1].corners, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(faces[2].corners, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(faces[3].corners, (std::vector<int>{0, 1, 3}));
    // Relative indices count back from the vertices read before the face.
    EXPECT_EQ(faces[4].corners, (std::vector<int>{4, 0, 1}));
}

TEST(ObjReader, ErrorsNameFileAndLine) {
    struct Case {
        const char* obj;
        const char* message;
    };
    const Case cases[] = {
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\n\nf 1 2 4\n", ":5: vertex index 4 is outside the 3 vertices"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 -4\n", ":4: vertex index -4 is outside the 3 vertices"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", ":4: vertex index 0: indices count from 1"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3 x\n", ":4: 'x' is not a vertex index"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 1.5\n", ":4: '1.5' is not a vertex index"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf /1 2 3\n", ":4: '/1' is not a vertex index"},
        {"# comment\nv 0 zero 0\n", ":2: 'zero' is not a number"},
        {"v 0 0 nan\n", ":1: 'nan' is not a number"},
        {"v 0 0\n", ":1: a number is missing after '0'"},
        {"v 0 0 0\nv 1 0 0\nf 1 2\n", ":3: a face needs at least 3 vertices, this one has 2"},
        {"v 0 0 0 \\\n  1\nv 1 1\n", ":3: a number is missing after '1'"},
    };
    for (const Case& c : cases) {
        ObjModel model;
        ObjReader reader;
        std::string path = writeTempFile("bad.obj", c.obj);
        EXPECT_FALSE(reader.read(path, model)) << c.obj;
        EXPECT_EQ(reader.error().rfind(path + c.message, 0), 0u) << reader.error();
    }
}

TEST(ObjReader, MaterialLibraryErrorsAndWarnings) {
    writeTempFile("bad.mtl", "newmtl a\nKd 1 1 1\n\nnewmtl b\nKd 0.5 spectral 0.5\n");
    ObjModel model;
    ObjReader reader;
    EXPECT_FALSE(reader.read(writeTempFile("model.obj", "mtllib bad.mtl\n"), model));
    EXPECT_EQ(reader.error(), tempDirectory() + "/bad.mtl:5: 'spectral' is not a number");

    // A missing library and an undefined material only warn; the faces stay grey.
    ObjModel grey;
    ObjReader warned;
    std::string path = writeTempFile("model.obj",
                                     "mtllib missing.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                     "usemtl nothing\nf 1 2 3\nusemtl nothing\nf 1 2 3\n"
                                     "curv 0 1 1 2\n");
    ASSERT_TRUE(warned.read(path, grey)) << warned.error();
    ASSERT_EQ(warned.warnings().size(), 3u);
    EXPECT_EQ(warned.warnings()[0], path + ":1: material library " + tempDirectory() +
                                        "/missing.mtl cannot be opened; its materials stay grey");
    EXPECT_EQ(warned.warnings()[1], path + ":9: 'curv' is not supported and is skipped");
    EXPECT_EQ(warned.warnings()[2],
              path + ":5: material 'nothing' is not defined; it is written grey");
    EXPECT_EQ(grey.materials.at(grey.groups.at(0).material).diffuse[0], 0.7);
}

TEST(ObjReader, MissingFile) {
    ObjModel model;
    ObjReader reader;
    EXPECT_FALSE(reader.read(tempDirectory() + "/none.obj", model));
    EXPECT_EQ(reader.error(), tempDirectory() + "/none.obj: cannot be opened");
}

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
    EXPECT_TRUE(contains(c.scene,
                         "nmdMtrl shiny lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 0.4 50 end end end\n"));
    EXPECT_TRUE(contains(c.scene, "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0 0 0 0 0 1 end end "
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
    Conversion c = convert("v 0 0 0\nv 10 0 0\nv 20 0 0\nv 0 10 0\n"
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
    EXPECT_TRUE(contains(c.scene, "cmr camera\n  0 0 0  0 0.6 0.8  0 0 1\n  5  10 10  0 0  0\n"
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

TEST(SceneWriter, TooManyMaterials) {
    std::string mtl, obj = "mtllib many.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i < 101; ++i) {
        mtl += "newmtl m" + std::to_string(i) + "\n";
        obj += "usemtl m" + std::to_string(i) + "\nf 1 2 3\n";
    }
    writeTempFile("many.mtl", mtl);
    Conversion c = convert(obj);
    EXPECT_FALSE(c.prepared);
    EXPECT_EQ(c.error, "the model uses 101 materials; a scene holds at most 100");
}

TEST(SceneWriter, NamesThatCollideWhenWrittenStayApart) {
    writeTempFile("twins.mtl", "newmtl a\"b\nKd 1 0 0\nnewmtl a_b\nKd 0 0 1\n");
    Conversion c = convert("mtllib twins.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                           "usemtl a\"b\nf 1 2 3\nusemtl a_b\nf 1 2 3\n");
    ASSERT_TRUE(c.prepared) << c.error;
    EXPECT_TRUE(contains(c.scene, "nmdMtrl a_b lmbrtn spctrl 0 0 0 0 0 1 1"));
    EXPECT_TRUE(contains(c.scene, "nmdMtrl a_b.2 lmbrtn spctrl 0 1 0 0 0 0 1"));
    EXPECT_TRUE(contains(c.scene, "mtrlNm a_b.2 end"));
}

TEST(Obj2sceOptions, DefaultsValuesAndMistakes) {
    auto parse = [](std::vector<std::string> args, Obj2sceOptions& o, std::string& error) {
        args.insert(args.begin(), "obj2sce");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        return parseObj2sceOptions(static_cast<int>(argv.size()), argv.data(), o, error);
    };
    Obj2sceOptions o;
    std::string error;
    ASSERT_TRUE(parse({"m.obj"}, o, error)) << error;
    EXPECT_EQ(o.objFile, "m.obj");
    EXPECT_EQ(o.up, Vector(0, 1, 0));
    EXPECT_EQ(o.fov, 45.0);
    EXPECT_EQ(o.tessellate, 4.0);
    EXPECT_FALSE(o.hasEye || o.hasLookAt || o.hasSky || o.hasLight || o.swapYZ);

    Obj2sceOptions p;
    ASSERT_TRUE(parse({"--eye", "0", "-5", "10", "m.obj", "-o", "m.sce", "--look-at", "1", "2",
                       "3", "--up", "0", "0", "1", "--fov=60", "--tessellate", "8", "--scale",
                       "0.5", "--swap-yz", "--sky", "1", "1", "1", "--light", "100", "0", "9",
                       "0"},
                      p, error))
        << error;
    EXPECT_EQ(p.eye, Vector(0, -5, 10));
    EXPECT_EQ(p.outputFile, "m.sce");
    EXPECT_EQ(p.lookAt, Vector(1, 2, 3));
    EXPECT_EQ(p.fov, 60.0);
    EXPECT_EQ(p.tessellate, 8.0);
    EXPECT_EQ(p.scale, 0.5);
    EXPECT_TRUE(p.swapYZ && p.hasSky && p.hasLight);
    EXPECT_EQ(p.lightPower, 100.0);
    EXPECT_EQ(p.lightPosition, Vector(0, 9, 0));

    const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes = {
        {{}, "no model given"},
        {{"a.obj", "b.obj"}, "more than one model: a.obj and b.obj"},
        {{"a.obj", "--eye", "1", "2"}, "option --eye needs 3 values"},
        {{"a.obj", "--eye=1,2,3"}, "option --eye takes 3 values: write them after it"},
        {{"a.obj", "--fov", "180"}, "--fov must lie between 0 and 180 degrees"},
        {{"a.obj", "--tessellate", "0"}, "--tessellate must be above 0 and at most 100"},
        {{"a.obj", "--scale", "-1"},
         "--scale must be positive (a negative one would turn the faces inside out)"},
        {{"a.obj", "--up", "0", "0", "0"}, "--up must not be the zero vector"},
        {{"a.obj", "--light", "1", "2", "x", "3"}, "invalid value 'x' for --light"},
        {{"a.obj", "--swap-yz=1"}, "option --swap-yz takes no value"},
        {{"a.obj", "--frobnicate"}, "unknown option --frobnicate"},
    };
    for (const auto& m : mistakes) {
        Obj2sceOptions q;
        EXPECT_FALSE(parse(m.first, q, error));
        EXPECT_EQ(error, m.second);
    }
    Obj2sceOptions h;
    EXPECT_TRUE(parse({"--help"}, h, error));
    EXPECT_TRUE(h.help);
}

// The converted cube read by the program's own scene reader.
TEST(Obj2sceScene, ConvertedCubeLoads) {
    writeTempFile("cube.mtl", kCubeMtl);
    Obj2sceOptions options;
    options.hasSky = true;
    options.sky = Vector(0.1, 0.2, 0.3);
    Conversion c = convert(kCubeObj, options);
    ASSERT_TRUE(c.prepared) << c.error;
    std::string path = writeTempFile("cube.sce", c.scene);
    auto loaded = std::make_unique<Scene>();
    testing::internal::CaptureStderr();
    loaded->readSceneFile(path.c_str());
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(contains(messages, "ERROR")) << messages;
    EXPECT_FALSE(contains(messages, "Warning")) << messages;

    ASSERT_EQ(loaded->materialCount, 3);
    EXPECT_STREQ(loaded->materials[0].name.c_str(), "lamp");
    EXPECT_EQ(loaded->materials[0].emission[2], 4.0);  // red is channel 2
    EXPECT_EQ(loaded->materials[1].reflectance[0], 0.1);
    EXPECT_EQ(loaded->materials[1].reflectance[2], 0.9);
    EXPECT_EQ(loaded->materials[2].specularScale, 0.4);
    EXPECT_EQ(loaded->skyRadiance[0], 0.3);
    // The lamp's quadrilateral at level 1 gives the two leading patches, and they emit.
    ASSERT_GT(loaded->patchCount(), 2);
    EXPECT_TRUE(loaded->patches[0]->material->emitting);
    EXPECT_TRUE(loaded->patches[1]->material->emitting);
    EXPECT_FALSE(loaded->patches[2]->material->emitting);
    EXPECT_EQ(loaded->camera.viewDirection, Vector(0, 0, -1));
}

TEST(Obj2sceProgram, StatusesAndMessages) {
    const std::string program = OBJ2SCE_PROGRAM;
    std::string dir = makeTempDir();
    writeFile(dir + "/tri.obj", "v 0 0 0\nv 0.05 0 0\nv 0 0.05 0\nf 1 2 3\n");
    writeFile(dir + "/bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");

    ProgramResult ok = runProgram(program, {"tri.obj", "-o", "tri.sce"}, dir);
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "");
    EXPECT_EQ(ok.err, "obj2sce: warning: 1 polygons have corners closer than 0.1 on every axis, "
                      "which the program merges into one vertex: enlarge the model with --scale\n");

    ProgramResult toStdout = runProgram(program, {"tri.obj", "--scale", "10"}, dir);
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.err, "");
    EXPECT_TRUE(contains(toStdout.out, "plygn 0 1 2 end"));

    ProgramResult bad = runProgram(program, {"bad.obj"}, dir);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "obj2sce: bad.obj:4: vertex index 9 is outside the 3 vertices read so far\n");

    ProgramResult missing = runProgram(program, {"none.obj"}, dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "obj2sce: none.obj: cannot be opened\n");

    ProgramResult unwritable = runProgram(program, {"tri.obj", "-o", "no/such/dir.sce"}, dir);
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(contains(unwritable.err, "obj2sce: no/such/dir.sce: cannot be written\n"));

    ProgramResult usage = runProgram(program, {"--fov"}, dir);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err, "obj2sce: option --fov needs 1 value\nTry 'obj2sce --help'.\n");

    ProgramResult help = runProgram(program, {"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, obj2sceUsage());
}
