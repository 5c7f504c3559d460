#include "importer/obj_reader.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "importer/input_text.h"
#include "importer/mtl_reader.h"

namespace {
// Statements that carry nothing the scene needs; skipped without a word.
bool isIgnored(const std::string& keyword) {
    for (const char* k : {"vt", "vn", "vp", "s", "l", "p"})
        if (keyword == k) return true;
    return false;
}
}  // namespace

bool ObjReader::read(const std::string& path, ObjModel& model) {
    model_ = &model;
    path_ = path;
    materialIndex_.clear();
    for (size_t i = 0; i < model.materials.size(); ++i)
        materialIndex_.emplace(model.materials[i].name, static_cast<int>(i));
    if (!in_.open(path)) return fail(in_.error());
    inputFiles_.emplace_back(path, in_.identity());
    while (in_.next())
        if (!readStatement()) return false;
    if (!in_.error().empty()) return fail(in_.error());
    resolveMaterials();
    return true;
}

bool ObjReader::fail(const std::string& message) {
    error_ = message;
    return false;
}

bool ObjReader::readStatement() {
    const std::string& keyword = in_.words()[0];
    if (keyword == "v") return readVertex();
    if (keyword == "f") return readFace();
    if (keyword == "o") {
        objectName_ = in_.rest();
        groupName_.clear();
        group_ = -1;
    } else if (keyword == "g") {
        groupName_ = in_.rest();
        group_ = -1;
    } else if (keyword == "usemtl") {
        materialName_ = in_.words().size() > 1 ? in_.rest() : "default";
        firstUse_.emplace(materialName_, in_.where());
        group_ = -1;
    } else if (keyword == "mtllib") {
        return readLibraries();
    } else if (!isIgnored(keyword)) {
        warnSkipped(keyword);
    }
    return true;
}

void ObjReader::warnSkipped(const std::string& keyword) {
    if (skipped_.size() > kMaxSkippedWarnings || !skipped_.insert(keyword).second) return;
    if (skipped_.size() > kMaxSkippedWarnings)
        warnings_.push_back(in_.where() + "further unsupported statements are skipped silently");
    else
        warnings_.push_back(in_.where() + quotedInput(keyword) +
                            " is not supported and is skipped");
}

bool ObjReader::readVertex() {
    Vector v;
    if (!in_.number(1, v.x, error_) || !in_.number(2, v.y, error_) || !in_.number(3, v.z, error_))
        return false;
    model_->positions.push_back(v);
    return true;
}

bool ObjReader::readFace() {
    const std::vector<std::string>& words = in_.words();
    if (words.size() < 4)
        return fail(in_.where() + "a face needs at least 3 vertices, this one has " +
                    std::to_string(words.size() - 1));
    ObjModel::Face face;
    face.corners.resize(words.size() - 1);
    for (size_t i = 1; i < words.size(); ++i)
        if (!readIndex(words[i], face.corners[i - 1])) return false;
    currentGroup().faces.push_back(std::move(face));
    return true;
}

// "v", "v/vt", "v//vn" or "v/vt/vn"; only v counts. Negative indices count back from the
// last vertex read so far.
bool ObjReader::readIndex(const std::string& word, int& index) {
    std::string position = word.substr(0, word.find('/'));
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(position.c_str(), &end, 10);
    if (position.empty() || *end != '\0')
        return fail(in_.where() + quotedInput(word) + " is not a vertex index");
    long count = static_cast<long>(model_->positions.size());
    if (value == 0) return fail(in_.where() + "vertex index 0: indices count from 1");
    long resolved = value > 0 ? value - 1 : count + value;
    if (errno == ERANGE || resolved < 0 || resolved >= count)
        return fail(in_.where() + "vertex index " + shownInput(position) + " is outside the " +
                    std::to_string(count) + " vertices read so far");
    index = static_cast<int>(resolved);
    return true;
}

// "mtllib a.mtl b.mtl", resolved next to the OBJ file; a single name may hold blanks.
bool ObjReader::readLibraries() {
    std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code ignored;
    if (in_.words().size() > 2 && std::filesystem::is_regular_file(folder / in_.rest(), ignored))
        return readLibrary(in_.rest());
    for (size_t i = 1; i < in_.words().size(); ++i)
        if (!readLibrary(in_.words()[i])) return false;
    return true;
}

// A library that cannot be opened only costs its colours; a malformed one stops the reading.
bool ObjReader::readLibrary(const std::string& name) {
    std::string path = (std::filesystem::path(path_).parent_path() / name).string();
    MtlReader library;
    if (!library.open(path)) {
        warnings_.push_back(in_.where() + "material library " + shownInput(path) +
                            " cannot be opened; its materials stay grey");
        return true;
    }
    inputFiles_.emplace_back(path, library.identity());
    return library.read(model_->materials, materialIndex_) || fail(library.error());
}

// The group of the current object/group name and material, made at its first face.
ObjModel::Group& ObjReader::currentGroup() {
    if (group_ < 0) {
        std::string name = objectName_;
        if (!name.empty() && !groupName_.empty()) name += ".";
        name += groupName_;
        if (name.empty()) name = "default";
        auto found = groupIndex_.emplace(std::make_pair(name, materialName_),
                                         static_cast<int>(model_->groups.size()));
        if (found.second) {
            model_->groups.emplace_back();
            model_->groups.back().name = name;
            model_->groups.back().materialName = materialName_;
        }
        group_ = found.first->second;
    }
    return model_->groups[group_];
}

// Points every group at its material; a name no library defined becomes a grey stand-in.
void ObjReader::resolveMaterials() {
    std::vector<ObjModel::Material>& materials = model_->materials;
    for (ObjModel::Group& group : model_->groups) {
        auto found = materialIndex_.emplace(group.materialName, static_cast<int>(materials.size()));
        if (found.second) {
            materials.emplace_back();
            materials.back().name = group.materialName;
            if (group.materialName != "default")
                warnings_.push_back(firstUse_[group.materialName] + "material " +
                                    quotedInput(group.materialName) +
                                    " is not defined; it is written grey");
        }
        group.material = found.first->second;
    }
}
