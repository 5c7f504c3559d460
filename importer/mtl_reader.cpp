#include "importer/mtl_reader.h"

namespace {
bool isNamed(const std::vector<ObjModel::Material>& materials, const std::string& name) {
    for (const ObjModel::Material& m : materials)
        if (m.name == name) return true;
    return false;
}
}  // namespace

bool MtlReader::open(const std::string& path) { return in_.open(path); }

bool MtlReader::read(std::vector<ObjModel::Material>& materials) {
    ObjModel::Material material;
    bool open = false;  // a newmtl has been read
    while (in_.next()) {
        if (in_.words()[0] == "newmtl") {
            if (open && !isNamed(materials, material.name)) materials.push_back(material);
            material = ObjModel::Material();
            material.name = in_.rest();
            material.defined = true;
            open = true;
        } else if (open && !readStatement(material)) {
            return false;
        }
    }
    if (open && !isNamed(materials, material.name)) materials.push_back(material);
    return true;
}

bool MtlReader::readStatement(ObjModel::Material& material) {
    const std::string& keyword = in_.words()[0];
    if (keyword == "Kd") return readColor(material.diffuse);
    if (keyword == "Ks") return readColor(material.specular);
    if (keyword == "Ke") return readColor(material.emission);
    if (keyword == "Ns") return in_.number(1, material.exponent, error_);
    return true;
}

// "K r g b", or "K v" for a grey.
bool MtlReader::readColor(double color[3]) {
    if (!in_.number(1, color[0], error_)) return false;
    if (in_.words().size() == 2) {
        color[1] = color[2] = color[0];
        return true;
    }
    return in_.number(2, color[1], error_) && in_.number(3, color[2], error_);
}
