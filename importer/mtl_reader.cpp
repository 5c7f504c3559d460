#include "importer/mtl_reader.h"

#include "importer/input_text.h"

namespace {
void addMaterial(const ObjModel::Material& material, std::vector<ObjModel::Material>& materials,
                 std::unordered_map<std::string, int>& index) {
    if (index.emplace(material.name, static_cast<int>(materials.size())).second)
        materials.push_back(material);
}
}  // namespace

bool MtlReader::open(const std::string& path) { return in_.open(path); }

bool MtlReader::read(std::vector<ObjModel::Material>& materials,
                     std::unordered_map<std::string, int>& index) {
    ObjModel::Material material;
    bool open = false;  // a newmtl has been read
    while (in_.next()) {
        if (in_.words()[0] == "newmtl") {
            if (open) addMaterial(material, materials, index);
            material = ObjModel::Material();
            material.name = in_.rest();
            material.defined = true;
            open = true;
        } else if (open && !readStatement(material)) {
            return false;
        }
    }
    if (!in_.error().empty()) {
        error_ = in_.error();
        return false;
    }
    if (open) addMaterial(material, materials, index);
    return true;
}

bool MtlReader::readStatement(ObjModel::Material& material) {
    const std::string& keyword = in_.words()[0];
    if (keyword == "Kd") return readColor(material.diffuse);
    if (keyword == "Ks") return readColor(material.specular);
    if (keyword == "Ke") return readColor(material.emission);
    if (keyword == "Ns") return readValue(1, material.exponent);
    return true;
}

// "K r g b", or "K v" for a grey.
bool MtlReader::readColor(double color[3]) {
    if (!readValue(1, color[0])) return false;
    if (in_.words().size() == 2) {
        color[1] = color[2] = color[0];
        return true;
    }
    return readValue(2, color[1]) && readValue(3, color[2]);
}

// A number that is not negative: no material reflects or emits negative
// light, and a negative exponent makes the glossy lobe infinite.
bool MtlReader::readValue(size_t i, double& value) {
    if (!in_.number(i, value, error_)) return false;
    if (!(value < 0.0)) return true;
    error_ = in_.where() + in_.words()[0] + " " + quotedInput(in_.words()[i]) + " is negative";
    return false;
}
