#pragma once

#include <tiny_gltf.h>

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/limits.h"
#include "geometry/matrix.h"
#include "gltf/accessor_reader.h"
#include "gltf/gltf_loader.h"
#include "importer/model_view.h"
#include "importer/obj_model.h"

// Reads a glTF 2.0 model (.gltf or .glb) into the converter's model: the
// triangles of the scene's meshes placed by their nodes' transforms, one
// group per node and material, the materials (gltfMaterial), and the scene's
// first perspective camera and its point lights (KHR_lights_punctual). The
// scene is the model's default scene, else its first, else all nodes that are
// nobody's child.
class GltfReader {
  public:
    struct Limits {
        GltfLoader::Limits file;
        // Over all instances of all meshes: the program holds no more patches.
        size_t triangles = limits::kMaxPatches;
        size_t vertices = limits::kMaxPatches;
    };

    GltfReader() = default;
    explicit GltfReader(const Limits& limits) : limits_(limits) {}

    // Fills `model` and `view`; false with error() ("PATH: what") for a file that
    // cannot be read, is not glTF, or whose meshes or nodes cannot be converted.
    bool read(const std::string& path, ObjModel& model, ModelView& view);

    const std::string& error() const { return error_; }
    // Things that did not stop the reading, each starting with "PATH: ".
    const std::vector<std::string>& warnings() const { return warnings_; }
    // The model file and its external buffers, as read.
    const std::vector<std::string>& filesRead() const { return filesRead_; }

  private:
    bool supportsRequiredExtensions();
    void addMaterials();
    bool chooseRoots(std::vector<int>& roots);
    bool walk(const std::vector<int>& roots);
    bool visit(int node, const Matrix& world);
    bool addCamera(const tinygltf::Node& node, const Matrix& world);
    bool addLight(int node, const Matrix& world);
    bool addPrimitive(int node, const tinygltf::Primitive& primitive, const Matrix& world);
    bool addTriangles(int node, const tinygltf::Primitive& primitive, size_t first,
                      const std::vector<uint32_t>& corners, bool mirrored);
    int groupFor(int node, int material);
    void summarise();
    bool fail(const std::string& what);
    void warn(const std::string& what);

    Limits limits_;
    std::vector<std::string> filesRead_;
    tinygltf::Model gltf_;
    ObjModel* model_ = nullptr;
    ModelView* view_ = nullptr;
    std::string path_;
    int defaultMaterial_ = -1;                   // index in model_->materials, once needed
    std::map<std::pair<int, int>, int> groups_;  // (node, material) to group
    std::map<int, int> skippedModes_;            // primitive mode to how many were skipped
    int withoutPositions_ = 0;                   // primitives without POSITION, skipped
    bool posed_ = false;                         // skins or morph targets were met
    size_t triangles_ = 0;
    std::string error_;
    std::vector<std::string> warnings_;
};
