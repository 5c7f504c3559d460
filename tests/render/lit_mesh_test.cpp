// The lit mesh written as glTF and PLY: read back, it holds the scene's
// untransformed triangles, one part per object, and the final image's corner
// colours times the exposure, limited to 1.
#include "render/lit_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/crease_colors.h"
#include "app/scene.h"
#include "gltf/accessor_reader.h"
#include "gltf/gltf_loader.h"
#include "render/gltf_mesh.h"
#include "render/ply_mesh.h"
#include "tests/support/temp_files.h"

namespace {
const double kExposure = 0.5;

// Two objects: a cube corner (three faces meet, so its corner vertex splits
// in three at 30 degrees) and a lamp triangle bright enough to saturate,
// whose name is not valid UTF-8. The patch list is then reversed, as a depth
// sort may leave it, and the scene moved, as the bundles leave it.
class LitMeshTest : public ::testing::Test {
  protected:
    void SetUp() override {
        s_->displayScale = 2.0;
        object("corner");
        triangle({0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0.1, 0.2, 0.3});
        triangle({1, 0, 0}, {0, 0, 1}, {1, 0, 1}, {0.3, 0.2, 0.1});
        triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.5, 0.25, 0.125});
        triangle({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.7, 0.35, 0.0});
        object("lamp\xE9");
        triangle({0, 3, 0}, {1, 3, 0}, {0, 3, 1}, {0.25, 1.5, 9.0});
        expected_ =
            std::make_unique<CreaseColors>(s_->patches, 30.0, s_->eyeRadianceSums(s_->patches));
        s_->saveGeometry();
        std::reverse(s_->patches.begin(), s_->patches.end());
        s_->translate({5, 5, 5});
        mesh_ = buildLitMesh(*s_, 30.0, kExposure);
    }

    void object(const char* name) {
        s_->objectNumber += 1;
        s_->objectNames.push_back(name);
    }

    void triangle(const Vector& a, const Vector& b, const Vector& c, const Color& radianceSum) {
        Patch t;
        initPatch(t, s_->addVertex(a, true), s_->addVertex(b, true), s_->addVertex(c, true),
                  &material_, 1);
        s_->eyeRadianceSum(*s_->addPatch(t)) = radianceSum;
    }

    // Corner k of the patch with serial `serial`: its untransformed position,
    // and its colour as red, green, blue.
    Vector position(int serial, int k) const {
        return expected_->sceneVertex(expected_->outputVertex(serial, k)).savedPosition;
    }
    Vector color(int serial, int k) const {
        const Color& c = expected_->cornerColor(serial, k);
        auto exposed = [](double v) { return std::min(1.0, v * 2.0 * kExposure); };
        return {exposed(c[2]), exposed(c[1]), exposed(c[0])};
    }

    std::unique_ptr<Scene> s_ = std::make_unique<Scene>();
    Material material_;
    std::unique_ptr<CreaseColors> expected_;  // on the patches in tessellation order
    LitMesh mesh_;
};

double floatAt(const std::string& bytes, size_t offset) {
    float v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return static_cast<double>(v);
}

void expectFloatEqual(const Vector& a, const Vector& b) {
    EXPECT_FLOAT_EQ(a.x, b.x);
    EXPECT_FLOAT_EQ(a.y, b.y);
    EXPECT_FLOAT_EQ(a.z, b.z);
}
}  // namespace

TEST_F(LitMeshTest, GltfReadsBackWithTheRunsCornerColoursAndObjects) {
    ASSERT_EQ(mesh_.vertexCount(), static_cast<size_t>(expected_->outputVertexCount()));
    for (bool binary : {true, false}) {
        std::string path = writeTempFile(binary ? "lit.glb" : "lit.gltf", "");
        std::string error;
        ASSERT_TRUE(writeGltfMesh(path, mesh_, binary, error)) << error;
        tinygltf::Model model;
        GltfLoader loader;
        ASSERT_TRUE(loader.load(path, model)) << loader.error();
        EXPECT_EQ(model.extensionsUsed, std::vector<std::string>{"KHR_materials_unlit"});
        ASSERT_EQ(model.materials.size(), 1u);
        EXPECT_EQ(model.materials[0].extensions.count("KHR_materials_unlit"), 1u);
        EXPECT_EQ(model.extras.Get("radianceScale").GetNumberAsDouble(), kExposure);
        ASSERT_EQ(model.nodes.size(), 2u);
        EXPECT_EQ(model.nodes[0].name, "corner");
        EXPECT_EQ(model.nodes[1].name, "lamp\xEF\xBF\xBD");  // the stray byte replaced

        // Triangles in tessellation order, object by object.
        GltfAccessorReader reader(model);
        size_t vertices = 0, triangles = 0;
        for (const tinygltf::Node& node : model.nodes) {
            const tinygltf::Primitive& p = model.meshes[node.mesh].primitives[0];
            std::vector<Vector> points, colors;
            std::vector<uint32_t> indices;
            ASSERT_TRUE(reader.readPoints(p.attributes.at("POSITION"), points));
            ASSERT_TRUE(reader.readPoints(p.attributes.at("COLOR_0"), colors));
            ASSERT_TRUE(reader.readIndices(p.indices, points.size(), indices));
            vertices += points.size();
            for (size_t i = 0; i < indices.size(); ++i) {
                int serial = static_cast<int>(triangles + i / 3);
                expectFloatEqual(points[indices[i]], position(serial, i % 3));
                expectFloatEqual(colors[indices[i]], color(serial, i % 3));
            }
            triangles += indices.size() / 3;
        }
        EXPECT_EQ(triangles, 5u);
        EXPECT_EQ(vertices, mesh_.vertexCount());
    }
    EXPECT_EQ(mesh_.vertexCount(), 10u + 3u);  // the corner as CreaseColors splits it
    EXPECT_EQ(color(4, 0), Vector(1, 1, 0.25));
}

TEST_F(LitMeshTest, PlyHasItsHeaderThenVerticesAndFaces) {
    std::string path = writeTempFile("lit.ply", "");
    std::string error;
    ASSERT_TRUE(writePlyMesh(path, mesh_, error)) << error;
    std::string header =
        "ply\n"
        "format binary_little_endian 1.0\n"
        "comment written by ray-bundle-render\n"
        "comment colors are linear: radiance times 0.5, limited to [0, 1]\n"
        "element vertex 13\n"
        "property float x\nproperty float y\nproperty float z\n"
        "property float red\nproperty float green\nproperty float blue\n"
        "element face 5\n"
        "property list uchar int vertex_indices\n"
        "end_header\n";
    std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), header.size() + 13 * 24 + 5 * 13);
    EXPECT_EQ(bytes.substr(0, header.size()), header);

    // The last face is the lamp; its first corner saturates in red and green.
    size_t face = header.size() + 13 * 24 + 4 * 13;
    EXPECT_EQ(bytes[face], 3);
    int32_t corner;
    std::memcpy(&corner, bytes.data() + face + 1, sizeof corner);
    size_t vertex = header.size() + 24 * static_cast<size_t>(corner);
    expectFloatEqual(
        {floatAt(bytes, vertex), floatAt(bytes, vertex + 4), floatAt(bytes, vertex + 8)},
        position(4, 0));
    expectFloatEqual(
        {floatAt(bytes, vertex + 12), floatAt(bytes, vertex + 16), floatAt(bytes, vertex + 20)},
        color(4, 0));
}

TEST(LitMesh, APatchSeenFromBehindKeepsItsEmissionAndDirectLight) {
    // Two emitting triangles under a point light, one seen by the camera from
    // its front, the other from behind: the eye sum of the second lacks the
    // emission and direct light, which the mesh must not.
    Scene s;
    Material lit;
    lit.emission = Color(0.5, 0.25, 0.125);
    lit.reflectance = Color(0.6, 0.6, 0.6);
    lit.diffuseScale = 1.0;
    lit.deriveCoefficients();
    s.addLight(Color(100.0), Vector(0, 10, 0));
    Color front = lit.emission + Color(100.0 * 0.02) * lit.diffuse;
    for (double x : {0.0, 5.0}) {
        s.objectNumber += 1;
        Patch t;
        initPatch(t, s.addVertex({x, 0, 0}, true), s.addVertex({x, 0, 1}, true),
                  s.addVertex({x + 1, 0, 0}, true), &lit, 1);
        t.toEye = x == 0.0 ? Vector(0, 1, 0) : Vector(0, -1, 0);  // normal (0, 1, 0)
        Patch* p = s.addPatch(t);
        s.lightTable().add(p->serial, 0, 0.02);
        s.eyeRadianceSum(*p) = x == 0.0 ? front : Color();
    }
    s.lightTable().build(s.patches.size());
    s.saveGeometry();
    LitMesh mesh = buildLitMesh(s, 30.0, 1.0);
    ASSERT_EQ(mesh.vertexCount(), 6u);
    for (size_t v = 0; v < 6; ++v)
        for (int c = 0; c < 3; ++c)
            EXPECT_FLOAT_EQ(mesh.colors[3 * v + c], static_cast<float>(front[2 - c])) << v;
}
