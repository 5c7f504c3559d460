// What the converter makes of glTF models: statements, placement, the scene
// reader on the result, and hostile files.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/scene.h"
#include "tests/support/gltf_builder.h"
#include "tests/support/obj2sce_conversion.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

// The normal of a written triangle, by its winding.
Vector normalOf(const WrittenObject& o, size_t polygon) {
    const std::vector<int>& c = o.polygons.at(polygon);
    return cross(o.vertices[c[1]] - o.vertices[c[0]], o.vertices[c[2]] - o.vertices[c[0]]);
}

std::vector<std::string> prefixed(const std::string& path, const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& line : lines) out.push_back(path + ": " + line);
    return out;
}
}  // namespace

TEST(GltfReader, BoxWithLampCameraAndPointLight) {
    GltfBuilder b;
    std::string members = boxWithLamp(b);
    Conversion c = convertModel("box.gltf", b.gltf(members));
    ASSERT_TRUE(c.prepared) << c.error;
    EXPECT_TRUE(c.warnings.empty());
    // Metres become centimetres; the window lies on the near plane, 10 units away.
    double height = 2 * 10 * std::tan(0.4);
    EXPECT_TRUE(contains(c.scene, "cmr camera\n  0 50 500  0 0 -1  0 1 0\n  10  " +
                                      SceneWriter::number(1.5 * height) + " " +
                                      SceneWriter::number(height) + "  0 0  0\nend\n"))
        << c.scene;
    // 10 cd at 3 m: P = π · 10 · 100².
    EXPECT_TRUE(
        contains(c.scene, "pointlight " + SceneWriter::number(kPi * 1e5) + " 0 300 0 end\n"));
    EXPECT_TRUE(contains(c.scene,
                         "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0 0 0 0 0 1 0.04 0 end end "
                         "spctrl 0 1 0 2 0 4 end end end\n"));
    EXPECT_TRUE(contains(c.scene,
                         "nmdMtrl white lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 0.04 7.5 end end end\n"));
    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].name, "Lamp");
    EXPECT_EQ(objects[0].tessellate, "1");
    EXPECT_EQ(objects[0].vertices[0], Vector(-50, 150, -50));
    EXPECT_EQ(objects[0].polygons, (std::vector<std::vector<int>>{{0, 1, 2}, {0, 2, 3}}));
    EXPECT_LT(normalOf(objects[0], 0).y, 0.0);  // the lamp faces down
    EXPECT_EQ(objects[1].name, "Box");
    EXPECT_EQ(objects[1].vertices.size(), 8u);
    EXPECT_EQ(objects[1].polygons.size(), 12u);

    std::string path = writeTempFile("box.sce", c.scene);
    auto loaded = std::make_unique<Scene>();
    testing::internal::CaptureStderr();
    loaded->readSceneFile(path.c_str());
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(contains(messages, "ERROR")) << messages;
    ASSERT_EQ(loaded->lightCount, 1);
    EXPECT_NEAR(loaded->lights[0].power[1], kPi * 1e5, 1e-6);
    EXPECT_EQ(loaded->lights[0].position, Vector(0, 300, 0));
    EXPECT_EQ(loaded->camera.eye, Vector(0, 50, 500));
    EXPECT_EQ(loaded->camera.viewDirection, Vector(0, 0, -1));
    EXPECT_NEAR(loaded->camera.windowHeight, height, 1e-6);
    ASSERT_EQ(loaded->materialCount, 2);
    EXPECT_EQ(loaded->materials[0].emission[2], 4.0);  // red is channel 2
    EXPECT_NEAR(loaded->materials[1].specularScale, 0.04, 1e-12);
    EXPECT_TRUE(loaded->patches[0]->material->emitting);
    EXPECT_TRUE(loaded->patches[1]->material->emitting);
    EXPECT_FALSE(loaded->patches[2]->material->emitting);

    // The same model as a glTF binary, and under names that do not tell the format:
    // the same scene after the heading, which names the file.
    std::string body = c.scene.substr(c.scene.find('\n'));
    for (const auto& named :
         {std::make_pair("box.glb", b.glb(members)), std::make_pair("box-glb.bin", b.glb(members)),
          std::make_pair("box-json", "\n  " + b.gltf(members))}) {
        Conversion other = convertModel(named.first, named.second);
        ASSERT_TRUE(other.prepared) << named.first << ": " << other.error;
        EXPECT_EQ(other.scene.substr(other.scene.find('\n')), body) << named.first;
    }
}

TEST(GltfReader, NodeTransformsHierarchyAndMirror) {
    GltfBuilder b;
    int triangle = b.points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    // No scenes: the nodes that are nobody's child are the roots. The child turns a
    // quarter about y, its parent doubles and moves by 10 m along x; a third node
    // mirrors x.
    std::string members = R"("meshes": [{"primitives": [{"attributes": {"POSITION": )" +
                          std::to_string(triangle) + R"(}}]}],
      "nodes": [{"name": "parent", "translation": [10, 0, 0], "scale": [2, 2, 2],
                 "children": [1]},
                {"name": "turned", "mesh": 0, "rotation": [0, 0.7071067811865476, 0,
                                                           0.7071067811865476]},
                {"name": "mirrored", "mesh": 0, "matrix": [-1, 0, 0, 0, 0, 1, 0, 0,
                                                           0, 0, 1, 0, 0, 0, 0, 1]}])";
    Obj2sceOptions options;
    options.scale = 1.0;  // metres as they are
    options.hasScale = true;
    Conversion c = convertModel("nodes.gltf", b.gltf(members), options);
    ASSERT_TRUE(c.prepared) << c.error;
    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].name, "turned");
    ASSERT_EQ(objects[0].vertices.size(), 3u);
    auto near = [](const Vector& a, const Vector& e) { return (a - e).length() < 1e-5; };
    EXPECT_TRUE(near(objects[0].vertices[0], Vector(10, 0, 0)));
    EXPECT_TRUE(near(objects[0].vertices[1], Vector(10, 0, -2)));
    EXPECT_TRUE(near(objects[0].vertices[2], Vector(10, 2, 0)));
    // The triangle faced +z; turned it faces +x, and mirrored it keeps facing +z.
    EXPECT_GT(normalOf(objects[0], 0).x, 0.0);
    EXPECT_EQ(objects[1].name, "mirrored");
    EXPECT_TRUE(near(objects[1].vertices[2], Vector(-1, 0, 0)));
    EXPECT_GT(normalOf(objects[1], 0).z, 0.0);
}

TEST(GltfReader, PrimitiveModesSkipsAndWarnings) {
    GltfBuilder b;
    // Two triangles without indices, a strip of two, a fan of three, and lines.
    int loose = b.points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {3, 0, 0}, {2, 1, 0}});
    int strip = b.points({{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}});
    int fan = b.points({{0, 0, 2}, {1, 0, 2}, {1, 1, 2}, {0, 1, 2}, {-1, 1, 2}});
    auto primitive = [](int points, int mode) {
        return R"({"attributes": {"POSITION": )" + std::to_string(points) + R"(}, "mode": )" +
               std::to_string(mode) + "}";
    };
    std::string members = R"("meshes": [{"name": "shapes", "primitives": [)" + primitive(loose, 4) +
                          ", " + primitive(strip, 5) + ", " + primitive(fan, 6) + ", " +
                          primitive(loose, 1) + R"(]}],
      "textures": [{"source": 0}], "images": [{"uri": "wood.png"}],
      "materials": [{"name": "wood", "alphaMode": "BLEND",
                     "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
      "cameras": [{"type": "orthographic",
                   "orthographic": {"xmag": 1, "ymag": 1, "znear": 0.1, "zfar": 10}}],
      "extensions": {"KHR_lights_punctual": {"lights": [
        {"type": "directional", "name": "sun"},
        {"type": "spot", "name": "torch", "color": [1, 0.5, 0], "intensity": 3,
         "spot": {"outerConeAngle": 0.5}}]}},
      "nodes": [{"mesh": 0}, {"camera": 0},
                {"extensions": {"KHR_lights_punctual": {"light": 0}}},
                {"extensions": {"KHR_lights_punctual": {"light": 1}}}])";
    Conversion c = convertModel("shapes.gltf", b.gltf(members));
    ASSERT_TRUE(c.prepared) << c.error;
    std::vector<WrittenObject> objects = writtenObjects(c.scene);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].name, "shapes");
    ASSERT_EQ(objects[0].polygons.size(), 7u);
    for (size_t t = 0; t < 7; ++t) EXPECT_GT(normalOf(objects[0], t).z, 0.0) << t;
    EXPECT_EQ(c.warnings,
              prefixed(tempDirectory() + "/shapes.gltf",
                       {"textures are not read: the materials use their colour factors only",
                        "transparency is not converted: every material is opaque",
                        "camera 0 is not a perspective camera and is skipped",
                        "light 'sun' is directional and is skipped: the scene language has "
                        "point lights only",
                        "spot light 'torch' is written as a point light, which shines in every "
                        "direction",
                        "light 'torch' is coloured; the scene language's point lights are white, "
                        "so it is written with the mean of its colour",
                        "1 primitives of lines are skipped: only triangles are converted"}));
    // The spot light shines with the mean of its colour, 0.5 · 3 cd; the camera is placed
    // automatically.
    EXPECT_TRUE(contains(c.scene, "pointlight " + SceneWriter::number(kPi * 1.5e4) + " 0 0 0 end"));
    EXPECT_TRUE(contains(c.scene, "  0 0 -1  0 1 0\n"));
}

TEST(GltfReader, HostileFilesEndWithAMessage) {
    GltfBuilder b;
    int points = b.points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    int indices = b.indices({0, 1, 2});
    std::string mesh = R"("meshes": [{"primitives": [{"attributes": {"POSITION": )" +
                       std::to_string(points) + R"(}, "indices": )" + std::to_string(indices) +
                       R"(}]}], "nodes": [{"mesh": 0}])";
    std::string good = b.gltf(mesh);
    auto edit = [](std::string text, const std::string& from, const std::string& to) {
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    auto edited = [&](const std::string& from, const std::string& to) {
        return edit(good, from, to);
    };
    std::string glb = b.glb(mesh);
    size_t binSize = (b.blob().size() + 3) / 4 * 4;
    std::string longBin = glb;  // its BIN chunk claims 8 bytes more than the file has
    longBin[glb.size() - binSize - 8] = static_cast<char>(binSize + 8);
    size_t uri = good.find("data:");
    std::string badUri = edit(good.substr(uri, good.find('"', uri) - uri), "base64,", "base64,@@");
    std::string deep =
        "{\"asset\": {\"version\": \"2.0\"}, \"extras\": " + std::string(100000, '[') +
        std::string(100000, ']') + "}";
    struct Case {
        const char* name;
        std::string contents;
        std::string message;
    };
    const Case cases[] = {
        {"cut.glb", glb.substr(0, glb.size() - 10),
         "is cut short: its header gives " + std::to_string(glb.size()) +
             " bytes, the file holds " + std::to_string(glb.size() - 10)},
        {"long-bin.glb", longBin,
         "is not a valid glTF binary: its BIN chunk of " + std::to_string(binSize + 8) +
             " bytes runs past the end"},
        {"length.glb", glb.substr(0, 8) + std::string(4, '\0') + glb.substr(12),
         "is not a valid glTF binary: its header gives a length of 0 bytes"},
        {"version.glb", glb.substr(0, 4) + std::string("\1\0\0\0", 4) + glb.substr(8),
         "is a glTF binary of version 1; only 2 is read"},
        {"other.gltf", R"({"model": "not glTF"})",
         "\"asset\" object not found in .gltf or not an object type"},
        {"text.gltf", "not JSON at all",
         "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error while "
         "parsing value - invalid literal; last read: 'no'"},
        {"billion.gltf", edited("\"count\": 3", "\"count\": 1000000000"),
         "node 0: accessor 0 reads 1000000000 elements of 12 bytes, more than its buffer view of "
         "36 bytes holds"},
        {"view.gltf", edited("\"byteOffset\": 36", "\"byteOffset\": 4000000000"),
         "node 0: accessor 1 reads buffer view 1, which lies outside its buffer of 42 bytes"},
        {"index.gltf", edited("\"indices\": 1", "\"indices\": 0"),
         "node 0: accessor 0 holds VEC3 values where SCALAR are needed"},
        {"no-uri.gltf", edited("\"uri\": ", "\"name\": "),
         "'uri' is missing from non binary glTF file buffer.; File not found : "},
        {"bad-uri.gltf", edited("base64,", "base64,@@"),
         "Failed to decode 'uri' : " + badUri + " in Buffer"},
        {"missing.gltf", R"({"asset": {"version": "2.0"}, "buffers": [{"uri": "none.bin",
            "byteLength": 4}]})",
         "File not found : none.bin"},
        {"deep.gltf", deep, "its JSON nests arrays and objects more than 64 deep"},
        {"cycle.gltf",
         edited("\"nodes\": [{\"mesh\": 0}]",
                "\"nodes\": [{\"children\": [0]}], \"scenes\": [{\"nodes\": [0]}]"),
         "node 0 is met twice: the nodes do not form a tree"},
        {"image.gltf",
         edit(edited("\"byteOffset\": 36", "\"byteOffset\": 40"), "\"nodes\"",
              "\"images\": [{\"bufferView\": 1}], \"nodes\""),
         "image 0 names a buffer view outside its buffer"},
        {"draco.gltf",
         edited("\"nodes\"",
                "\"extensionsRequired\": "
                "[\"KHR_draco_mesh_compression\"], \"nodes\""),
         "the model requires the extension KHR_draco_mesh_compression, which is not supported"},
    };
    for (const Case& k : cases) {
        Conversion c = convertModel(k.name, k.contents);
        EXPECT_FALSE(c.read) << k.name;
        EXPECT_EQ(c.error, tempDirectory() + "/" + k.name + ": " + k.message);
    }
    // Neither a named pipe (opening it would wait for a writer) nor a directory is read.
    std::string pipe = tempDirectory() + "/pipe.glb", folder = tempDirectory() + "/folder.gltf";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    for (const std::string& path : {pipe, folder}) {
        ObjModel model;
        ModelView view;
        ModelReader reader;
        EXPECT_FALSE(reader.read(path, model, view));
        EXPECT_EQ(reader.error(), path + ": is not a regular file");
    }
}
