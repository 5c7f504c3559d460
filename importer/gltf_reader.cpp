#include "importer/gltf_reader.h"

#include <algorithm>
#include <cmath>

#include "gltf/node_matrix.h"
#include "importer/gltf_material.h"

namespace {
const double kPi = 3.14159265358979323846;

bool isFinite(const Vector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// An extension that may be required without changing the geometry this
// reader takes: materials, textures (not read) and the lights.
bool isHarmless(const std::string& extension) {
    return extension == "KHR_lights_punctual" || extension.rfind("KHR_materials_", 0) == 0 ||
           extension.rfind("KHR_texture_", 0) == 0 || extension.rfind("EXT_texture_", 0) == 0;
}

const char* modeName(int mode) {
    switch (mode) {
        case TINYGLTF_MODE_POINTS:
            return "points";
        case TINYGLTF_MODE_LINE:
            return "lines";
        case TINYGLTF_MODE_LINE_LOOP:
            return "line loops";
        case TINYGLTF_MODE_LINE_STRIP:
            return "line strips";
        default:
            return "an unknown mode";
    }
}

double determinant3(const Matrix& m) {
    return m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
           m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
           m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
}

// The corners of a primitive's triangles, three by three, as indices into its
// vertex list. Every other triangle of a strip is turned so that all keep the
// strip's winding.
std::vector<uint32_t> triangleCorners(int mode, const std::vector<uint32_t>& order) {
    size_t n = order.size();
    if (mode == TINYGLTF_MODE_TRIANGLES)
        return std::vector<uint32_t>(order.begin(), order.begin() + static_cast<long>(n - n % 3));
    std::vector<uint32_t> corners;
    for (size_t i = 0; i + 2 < n; ++i) {
        if (mode == TINYGLTF_MODE_TRIANGLE_FAN)
            corners.insert(corners.end(), {order[0], order[i + 1], order[i + 2]});
        else if (i % 2 == 0)
            corners.insert(corners.end(), {order[i], order[i + 1], order[i + 2]});
        else
            corners.insert(corners.end(), {order[i], order[i + 2], order[i + 1]});
    }
    return corners;
}
}  // namespace

bool GltfReader::fail(const std::string& what) {
    error_ = path_ + ": " + what;
    return false;
}

void GltfReader::warn(const std::string& what) { warnings_.push_back(path_ + ": " + what); }

bool GltfReader::read(const std::string& path, ObjModel& model, ModelView& view) {
    *this = GltfReader(limits_);  // a fresh start for every file
    path_ = path;
    model_ = &model;
    view_ = &view;
    GltfLoader loader(limits_.file);
    bool loaded = loader.load(path, gltf_);
    warnings_ = loader.warnings();
    filesRead_ = loader.filesRead();
    if (!loaded) {
        error_ = loader.error();
        return false;
    }
    view.inMetres = true;
    if (!supportsRequiredExtensions()) return false;
    addMaterials();
    std::vector<int> roots;
    if (!chooseRoots(roots) || !walk(roots)) return false;
    summarise();
    return true;
}

bool GltfReader::supportsRequiredExtensions() {
    for (const std::string& extension : gltf_.extensionsRequired)
        if (!isHarmless(extension))
            return fail("the model requires the extension " + extension +
                        ", which is not supported");
    return true;
}

void GltfReader::addMaterials() {
    bool textured = false, clear = false;
    for (size_t i = 0; i < gltf_.materials.size(); ++i) {
        const tinygltf::Material& m = gltf_.materials[i];
        std::string name = m.name.empty() ? "material" + std::to_string(i) : m.name;
        model_->materials.push_back(gltfMaterial(m, name));
        textured = textured || usesTextures(m);
        clear = clear || m.alphaMode == "BLEND" || m.extensions.count("KHR_materials_transmission");
    }
    if (textured) warn("textures are not read: the materials use their colour factors only");
    if (clear) warn("transparency is not converted: every material is opaque");
}

// The default scene, else the first, else every node that is nobody's child.
bool GltfReader::chooseRoots(std::vector<int>& roots) {
    int scene = gltf_.defaultScene;
    if (scene >= static_cast<int>(gltf_.scenes.size()))
        return fail("the default scene " + std::to_string(scene) + " does not exist");
    if (scene < 0 && !gltf_.scenes.empty()) scene = 0;
    if (scene >= 0) {
        roots = gltf_.scenes[scene].nodes;
        return true;
    }
    std::vector<char> isChild(gltf_.nodes.size(), 0);
    for (const tinygltf::Node& node : gltf_.nodes)
        for (int child : node.children)
            if (child >= 0 && static_cast<size_t>(child) < isChild.size()) isChild[child] = 1;
    for (size_t i = 0; i < isChild.size(); ++i)
        if (!isChild[i]) roots.push_back(static_cast<int>(i));
    return true;
}

// Depth first, parents before children, in file order, without recursion: a
// node tree of any depth is walked, and a node met twice (a cycle, or a node
// with two parents) is refused.
bool GltfReader::walk(const std::vector<int>& roots) {
    std::vector<std::pair<int, Matrix>> stack;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root)
        stack.emplace_back(*root, Matrix::identity());
    std::vector<char> seen(gltf_.nodes.size(), 0);
    while (!stack.empty()) {
        auto [index, parent] = stack.back();
        stack.pop_back();
        if (index < 0 || static_cast<size_t>(index) >= gltf_.nodes.size())
            return fail("node " + std::to_string(index) + " does not exist: the model has " +
                        std::to_string(gltf_.nodes.size()) + " nodes");
        if (seen[index])
            return fail("node " + std::to_string(index) +
                        " is met twice: the "
                        "nodes do not form a tree");
        seen[index] = 1;
        const tinygltf::Node& node = gltf_.nodes[index];
        Matrix world;
        std::string why;
        if (!nodeMatrix(node, world, why))
            return fail("node " + std::to_string(index) + ": " + why);
        world.compose(parent);
        if (!visit(index, world)) return false;
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
            stack.emplace_back(*child, world);
    }
    return true;
}

bool GltfReader::visit(int index, const Matrix& world) {
    const tinygltf::Node& node = gltf_.nodes[index];
    posed_ = posed_ || node.skin >= 0;
    if (!addCamera(node, world) || !addLight(index, world)) return false;
    if (node.mesh < 0) return true;
    if (static_cast<size_t>(node.mesh) >= gltf_.meshes.size())
        return fail("node " + std::to_string(index) + " names mesh " + std::to_string(node.mesh) +
                    ", which does not exist");
    for (const tinygltf::Primitive& primitive : gltf_.meshes[node.mesh].primitives)
        if (!addPrimitive(index, primitive, world)) return false;
    return true;
}

// The first perspective camera of the scene looks along its node's -z with +y up.
bool GltfReader::addCamera(const tinygltf::Node& node, const Matrix& world) {
    if (node.camera < 0) return true;
    if (static_cast<size_t>(node.camera) >= gltf_.cameras.size())
        return fail("a node names camera " + std::to_string(node.camera) +
                    ", which does not exist");
    if (view_->hasCamera) return true;
    const tinygltf::Camera& camera = gltf_.cameras[node.camera];
    std::string name = camera.name.empty() ? std::to_string(node.camera) : "'" + camera.name + "'";
    if (camera.type != "perspective") {
        warn("camera " + name + " is not a perspective camera and is skipped");
        return true;
    }
    const tinygltf::PerspectiveCamera& p = camera.perspective;
    ModelView::Camera c;
    c.name = camera.name;
    c.eye = world.transformPoint(Vector());
    Vector forward = world.transformPoint(Vector(0, 0, -1)) - c.eye;
    Vector up = world.transformPoint(Vector(0, 1, 0)) - c.eye;
    bool usable = p.yfov > 0.0 && p.yfov < kPi && p.znear > 0.0 && p.aspectRatio >= 0.0 &&
                  isFinite(c.eye) && forward.length() > 1e-12 && up.length() > 1e-12 &&
                  std::isfinite(forward.length()) && std::isfinite(up.length());
    if (!usable) {
        warn("camera " + name + " has no usable view (field of view, near plane or " +
             "placement) and is skipped");
        return true;
    }
    c.direction = forward / forward.length();
    c.up = up / up.length();
    c.verticalFov = p.yfov;
    c.aspect = p.aspectRatio;
    c.nearDistance = p.znear;
    view_->camera = c;
    view_->hasCamera = true;
    return true;
}

// A point light of KHR_lights_punctual at its node's origin; a spot light
// becomes one that shines in every direction.
bool GltfReader::addLight(int index, const Matrix& world) {
    const tinygltf::ExtensionMap& extensions = gltf_.nodes[index].extensions;
    auto extension = extensions.find("KHR_lights_punctual");
    if (extension == extensions.end()) return true;
    // Get() is defined for objects only.
    const tinygltf::Value& value = extension->second;
    int light =
        value.Has("light") && value.Get("light").IsInt() ? value.Get("light").GetNumberAsInt() : -1;
    if (light < 0 || static_cast<size_t>(light) >= gltf_.lights.size())
        return fail("node " + std::to_string(index) + " names a light that does not exist");
    const tinygltf::Light& l = gltf_.lights[light];
    std::string name = l.name.empty() ? std::to_string(light) : "'" + l.name + "'";
    if (l.type != "point" && l.type != "spot") {
        warn("light " + name + " is " +
             (l.type == "directional" ? "directional" : "of no known type") +
             " and is skipped: the scene language has point lights only");
        return true;
    }
    if (l.type == "spot")
        warn("spot light " + name +
             " is written as a point light, which shines in every direction");
    double colour[3] = {1.0, 1.0, 1.0};
    if (l.color.size() == 3)
        for (int c = 0; c < 3; ++c) colour[c] = std::min(1.0, std::max(0.0, l.color[c]));
    if (colour[0] != colour[1] || colour[1] != colour[2])
        warn("light " + name +
             " is coloured; the scene language's point lights are white, so it "
             "is written with the mean of its colour");
    ModelView::Light converted;
    converted.name = l.name;
    converted.position = world.transformPoint(Vector());
    converted.intensity = std::max(0.0, l.intensity) * (colour[0] + colour[1] + colour[2]) / 3.0;
    if (!isFinite(converted.position) || !std::isfinite(converted.intensity))
        return fail("light " + name + " lies or shines beyond finite numbers");
    view_->lights.push_back(converted);
    return true;
}

bool GltfReader::addPrimitive(int node, const tinygltf::Primitive& primitive, const Matrix& world) {
    posed_ = posed_ || !primitive.targets.empty();
    int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
    if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
        mode != TINYGLTF_MODE_TRIANGLE_FAN) {
        ++skippedModes_[mode];
        return true;
    }
    auto position = primitive.attributes.find("POSITION");
    if (position == primitive.attributes.end()) {
        ++withoutPositions_;
        return true;
    }
    GltfAccessorReader accessors(gltf_);
    std::vector<Vector> points;
    std::vector<uint32_t> order;
    std::string where = "node " + std::to_string(node) + ": ";
    if (!accessors.readPoints(position->second, points)) return fail(where + accessors.error());
    if (primitive.indices >= 0 && !accessors.readIndices(primitive.indices, points.size(), order))
        return fail(where + accessors.error());
    if (primitive.indices < 0)
        for (size_t i = 0; i < points.size(); ++i) order.push_back(static_cast<uint32_t>(i));
    if (points.size() > limits_.vertices - model_->positions.size())
        return fail("the model has more than " + std::to_string(limits_.vertices) +
                    " vertices, more than the program holds");
    size_t first = model_->positions.size();
    for (const Vector& p : points) {
        Vector placed = world.transformPoint(p);
        if (!isFinite(placed))
            return fail(where + "a vertex lies beyond finite numbers after the node transforms");
        model_->positions.push_back(placed);
    }
    // A transform that mirrors turns the faces' winding, and with it their front sides.
    return addTriangles(node, primitive, first, triangleCorners(mode, order),
                        determinant3(world) < 0.0);
}

bool GltfReader::addTriangles(int node, const tinygltf::Primitive& primitive, size_t first,
                              const std::vector<uint32_t>& corners, bool mirrored) {
    int material = std::max(-1, primitive.material);  // -1: glTF's default material
    if (material >= static_cast<int>(gltf_.materials.size()))
        return fail("node " + std::to_string(node) + ": a primitive names material " +
                    std::to_string(material) + ", which does not exist");
    size_t count = corners.size() / 3;
    if (count > limits_.triangles - triangles_)
        return fail("the model has more than " + std::to_string(limits_.triangles) +
                    " triangles, more than the program holds");
    triangles_ += count;
    ObjModel::Group& group = model_->groups[groupFor(node, material)];
    for (size_t t = 0; t < count; ++t) {
        ObjModel::Face face;
        int a = static_cast<int>(first + corners[3 * t]);
        int b = static_cast<int>(first + corners[3 * t + 1]);
        int c = static_cast<int>(first + corners[3 * t + 2]);
        face.corners = mirrored ? std::vector<int>{a, c, b} : std::vector<int>{a, b, c};
        group.faces.push_back(face);
    }
    return true;
}

// One group per node and material, named after the node, else its mesh.
int GltfReader::groupFor(int node, int material) {
    auto found = groups_.find({node, material});
    if (found != groups_.end()) return found->second;
    int slot = material;
    if (slot < 0) {
        if (defaultMaterial_ < 0) {
            defaultMaterial_ = static_cast<int>(model_->materials.size());
            model_->materials.push_back(gltfDefaultMaterial());
        }
        slot = defaultMaterial_;
    }
    const tinygltf::Node& n = gltf_.nodes[node];
    ObjModel::Group group;
    group.name = !n.name.empty()                      ? n.name
                 : !gltf_.meshes[n.mesh].name.empty() ? gltf_.meshes[n.mesh].name
                                                      : "node" + std::to_string(node);
    group.material = slot;
    group.materialName = model_->materials[slot].name;
    model_->groups.push_back(group);
    int index = static_cast<int>(model_->groups.size()) - 1;
    groups_[{node, material}] = index;
    return index;
}

void GltfReader::summarise() {
    for (const auto& skipped : skippedModes_)
        warn(std::to_string(skipped.second) + " primitives of " + modeName(skipped.first) +
             " are skipped: only triangles are converted");
    if (withoutPositions_ > 0)
        warn(std::to_string(withoutPositions_) + " primitives without positions are skipped");
    if (posed_) warn("skins and morph targets are not applied: meshes keep their rest pose");
}
