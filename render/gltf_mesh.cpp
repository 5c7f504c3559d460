#include "render/gltf_mesh.h"

#include <algorithm>
#include <cstdio>

#include "base/output_file.h"
#include "gltf/tiny_gltf_call.h"
#include "render/little_endian.h"

namespace {
const char* const kUnlit = "KHR_materials_unlit";

// The length of the valid UTF-8 sequence at text[i], or 0.
size_t sequenceLength(const std::string& text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char c = byte(i);
    if (c < 0x80) return 1;
    size_t n = c >= 0xC2 && c <= 0xDF   ? 2
               : c >= 0xE0 && c <= 0xEF ? 3
               : c >= 0xF0 && c <= 0xF4 ? 4
                                        : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    unsigned char d = byte(i + 1);
    // No overlong forms, no surrogates, nothing above U+10FFFF.
    if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d > 0x9F) || (c == 0xF0 && d < 0x90) ||
        (c == 0xF4 && d > 0x8F))
        return 0;
    return n;
}

// `text` with every byte that is not part of a valid UTF-8 sequence replaced
// by U+FFFD: the JSON library refuses such text.
std::string validUtf8(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t n = sequenceLength(text, i);
        out += n > 0 ? text.substr(i, n) : "\xEF\xBF\xBD";
        i += n > 0 ? n : 1;
    }
    return out;
}

// Appends `count` triples of floats (x, y, z or red, green, blue) as a buffer view
// and a VEC3 accessor; returns the accessor.
int addVectors(tinygltf::Model& model, const float* values, size_t count, bool bounds) {
    std::vector<unsigned char>& data = model.buffers[0].data;
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = 12 * count;
    view.target = TINYGLTF_TARGET_ARRAY_BUFFER;
    for (size_t i = 0; i < 3 * count; ++i) little_endian::append(data, values[i]);
    tinygltf::Accessor accessor;
    accessor.bufferView = static_cast<int>(model.bufferViews.size());
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.type = TINYGLTF_TYPE_VEC3;
    accessor.count = count;
    if (bounds) {  // positions must state them, exactly as stored
        for (int k = 0; k < 3; ++k) accessor.minValues.push_back(static_cast<double>(values[k]));
        accessor.maxValues = accessor.minValues;
        for (size_t i = 0; i < 3 * count; ++i) {
            double v = static_cast<double>(values[i]);
            accessor.minValues[i % 3] = std::min(accessor.minValues[i % 3], v);
            accessor.maxValues[i % 3] = std::max(accessor.maxValues[i % 3], v);
        }
    }
    model.bufferViews.push_back(view);
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size()) - 1;
}

// The part's triangles with vertex numbers counted from its first vertex.
int addIndices(tinygltf::Model& model, const LitMesh& mesh, const LitMesh::Part& part) {
    std::vector<unsigned char>& data = model.buffers[0].data;
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = 12 * part.triangleCount;
    view.target = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;
    const uint32_t* corners = &mesh.triangles[3 * part.firstTriangle];
    for (size_t i = 0; i < 3 * part.triangleCount; ++i)
        little_endian::append(data, static_cast<uint32_t>(corners[i] - part.firstVertex));
    tinygltf::Accessor accessor;
    accessor.bufferView = static_cast<int>(model.bufferViews.size());
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
    accessor.type = TINYGLTF_TYPE_SCALAR;
    accessor.count = 3 * part.triangleCount;
    model.bufferViews.push_back(view);
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size()) - 1;
}

void addPart(tinygltf::Model& model, const LitMesh& mesh, const LitMesh::Part& part) {
    tinygltf::Primitive primitive;
    primitive.attributes["POSITION"] =
        addVectors(model, &mesh.positions[3 * part.firstVertex], part.vertexCount, true);
    primitive.attributes["COLOR_0"] =
        addVectors(model, &mesh.colors[3 * part.firstVertex], part.vertexCount, false);
    primitive.indices = addIndices(model, mesh, part);
    primitive.material = 0;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    tinygltf::Mesh m;
    m.name = validUtf8(part.name);
    m.primitives.push_back(primitive);
    tinygltf::Node node;
    node.name = m.name;
    node.mesh = static_cast<int>(model.meshes.size());
    model.scenes[0].nodes.push_back(static_cast<int>(model.nodes.size()));
    model.meshes.push_back(m);
    model.nodes.push_back(node);
}

// White, unlit; to a viewer without the extension, a rough dielectric.
tinygltf::Material unlitMaterial() {
    tinygltf::Material material;
    material.name = "unlit";
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 0.9;
    material.extensions[kUnlit] = tinygltf::Value(tinygltf::Value::Object());
    return material;
}

tinygltf::Model gltfModel(const LitMesh& mesh) {
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "ray-bundle-render";
    model.extensionsUsed = {kUnlit};
    model.materials = {unlitMaterial()};
    model.scenes.resize(1);
    model.scenes[0].name = "ray-bundle-render";  // a scene without nodes is still an object
    model.defaultScene = 0;
    tinygltf::Value::Object extras;
    extras["radianceScale"] = tinygltf::Value(mesh.exposure);
    model.extras = tinygltf::Value(extras);
    if (mesh.parts.empty()) return model;  // a buffer may not be empty
    model.buffers.resize(1);
    model.buffers[0].data.reserve(24 * mesh.vertexCount() + 12 * mesh.triangleCount());
    for (const LitMesh::Part& part : mesh.parts) addPart(model, mesh, part);
    return model;
}
}  // namespace

bool writeGltfMesh(const std::string& path, const LitMesh& mesh, bool binary, std::string& error) {
    std::string bytes;
    if (!serializeWithTinyGltf(gltfModel(mesh), binary, bytes, error)) {
        error = "cannot write " + path + ": " + error;
        return false;
    }
    return OutputFile(path).writeAll(bytes, error);
}
