#pragma once

// Small glTF models made in code for the converter's tests: a binary buffer of
// float points and unsigned short indices with a buffer view and an accessor
// for each array, and the JSON members the test writes around them. The
// document comes out as JSON text with the buffer in a data URI (.gltf) or as
// a glTF binary with a BIN chunk (.glb).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "geometry/vector.h"

class GltfBuilder {
  public:
    // Adds the points as a VEC3 float accessor; returns its index.
    int points(const std::vector<Vector>& points) {
        size_t offset = align();
        for (const Vector& p : points)
            for (double c : {p.x, p.y, p.z}) append(static_cast<float>(c));
        return addAccessor(offset, points.size(), 5126, "VEC3");
    }

    // Adds the indices as a SCALAR unsigned short accessor; returns its index.
    int indices(const std::vector<int>& indices) {
        size_t offset = align();
        for (int i : indices) append(static_cast<uint16_t>(i));
        return addAccessor(offset, indices.size(), 5123, "SCALAR");
    }

    // JSON text around `members` (JSON members after "asset", without braces).
    std::string gltf(const std::string& members) const {
        return json(members,
                    "\"uri\": \"data:application/octet-stream;base64," + base64() + "\", ");
    }

    // A glTF binary: the JSON chunk and the buffer in a BIN chunk.
    std::string glb(const std::string& members) const {
        std::string text = json(members, "");
        while (text.size() % 4 != 0) text.push_back(' ');
        std::string bin = blob_;
        while (bin.size() % 4 != 0) bin.push_back('\0');
        std::string out = "glTF" + word(2) + word(12 + 8 + text.size() + 8 + bin.size());
        return out + word(text.size()) + "JSON" + text + word(bin.size()) +
               std::string("BIN\0", 4) + bin;
    }

    const std::string& blob() const { return blob_; }

  private:
    template <typename T>
    void append(T value) {
        char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        blob_.append(bytes, sizeof(T));
    }

    // Pads the buffer to a multiple of 4 bytes, where the next view starts.
    size_t align() {
        while (blob_.size() % 4 != 0) blob_.push_back('\0');
        return blob_.size();
    }

    int addAccessor(size_t offset, size_t count, int componentType, const char* type) {
        views_.push_back("{\"buffer\": 0, \"byteOffset\": " + std::to_string(offset) +
                         ", \"byteLength\": " + std::to_string(blob_.size() - offset) + "}");
        accessors_.push_back("{\"bufferView\": " + std::to_string(views_.size() - 1) +
                             ", \"componentType\": " + std::to_string(componentType) +
                             ", \"count\": " + std::to_string(count) + ", \"type\": \"" + type +
                             "\"}");
        return static_cast<int>(accessors_.size()) - 1;
    }

    std::string json(const std::string& members, const std::string& uri) const {
        std::string text = "{\"asset\": {\"version\": \"2.0\"}, \"buffers\": [{" + uri +
                           "\"byteLength\": " + std::to_string(blob_.size()) + "}]";
        text += ", \"bufferViews\": [" + joined(views_) + "], \"accessors\": [" +
                joined(accessors_) + "]";
        return text + (members.empty() ? "" : ", " + members) + "}";
    }

    static std::string joined(const std::vector<std::string>& items) {
        std::string text;
        for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
        return text;
    }

    static std::string word(size_t value) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
        return bytes;
    }

    std::string base64() const {
        static const char* digits =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string out;
        for (size_t i = 0; i < blob_.size(); i += 3) {
            uint32_t n = static_cast<unsigned char>(blob_[i]) << 16;
            if (i + 1 < blob_.size()) n |= static_cast<unsigned char>(blob_[i + 1]) << 8;
            if (i + 2 < blob_.size()) n |= static_cast<unsigned char>(blob_[i + 2]);
            out += digits[(n >> 18) & 63];
            out += digits[(n >> 12) & 63];
            out += i + 1 < blob_.size() ? digits[(n >> 6) & 63] : '=';
            out += i + 2 < blob_.size() ? digits[n & 63] : '=';
        }
        return out;
    }

    std::string blob_;
    std::vector<std::string> views_;
    std::vector<std::string> accessors_;
};

// A box two metres wide around the origin, facing out, in white; above it a
// lamp square facing down that emits (1, 0.5, 0.25) · 4; a camera 5 m in front
// looking at it (vertical field of view 0.8, aspect 1.5, near plane 0.1 m); a
// point light of 10 cd at (0, 3, 0). Returns the JSON members to give gltf()
// or glb().
inline std::string boxWithLamp(GltfBuilder& b) {
    std::vector<Vector> corners;
    for (int i = 0; i < 8; ++i)
        corners.emplace_back(i & 1 ? 1 : -1, i & 2 ? 1 : -1, i & 4 ? 1 : -1);
    int box = b.points(corners);
    int boxFaces = b.indices({0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 4, 6, 0, 6, 2,
                              1, 3, 7, 1, 7, 5, 0, 1, 5, 0, 5, 4, 2, 6, 7, 2, 7, 3});
    int lamp = b.points({{-0.5, 1.5, -0.5}, {0.5, 1.5, -0.5}, {0.5, 1.5, 0.5}, {-0.5, 1.5, 0.5}});
    int lampFaces = b.indices({0, 1, 2, 0, 2, 3});
    return R"("materials": [
      {"name": "white", "pbrMetallicRoughness": {"baseColorFactor": [0.8, 0.8, 0.8, 1],
       "metallicFactor": 0, "roughnessFactor": 0.5}},
      {"name": "lamp", "pbrMetallicRoughness": {"baseColorFactor": [0, 0, 0, 1],
       "metallicFactor": 0}, "emissiveFactor": [1, 0.5, 0.25],
       "extensions": {"KHR_materials_emissive_strength": {"emissiveStrength": 4}}}],
    "meshes": [{"name": "BoxMesh", "primitives": [{"attributes": {"POSITION": )" +
           std::to_string(box) + R"(}, "indices": )" + std::to_string(boxFaces) +
           R"(, "material": 0}]},
      {"primitives": [{"attributes": {"POSITION": )" +
           std::to_string(lamp) + R"(}, "indices": )" + std::to_string(lampFaces) +
           R"(, "material": 1}]}],
    "cameras": [{"type": "perspective",
                 "perspective": {"yfov": 0.8, "aspectRatio": 1.5, "znear": 0.1, "zfar": 100}}],
    "extensionsUsed": ["KHR_lights_punctual", "KHR_materials_emissive_strength"],
    "extensions": {"KHR_lights_punctual": {"lights": [{"type": "point", "intensity": 10}]}},
    "nodes": [{"name": "Box", "mesh": 0}, {"name": "Lamp", "mesh": 1},
              {"name": "Camera", "camera": 0, "translation": [0, 0.5, 5]},
              {"name": "Light", "translation": [0, 3, 0],
               "extensions": {"KHR_lights_punctual": {"light": 0}}}],
    "scene": 0, "scenes": [{"nodes": [0, 1, 2, 3]}])";
}
