#include "importer/gltf_material.h"

#include <algorithm>
#include <cmath>

namespace {
const double kDielectricReflectance = 0.04;  // F0 of glass-like materials, refractive index 1.5

double unit(double value) { return std::min(1.0, std::max(0.0, value)); }

double emissiveStrength(const tinygltf::Material& material) {
    auto extension = material.extensions.find("KHR_materials_emissive_strength");
    if (extension == material.extensions.end()) return 1.0;
    const tinygltf::Value& value = extension->second;  // Get() is defined for objects only
    if (!value.Has("emissiveStrength") || !value.Get("emissiveStrength").IsNumber()) return 1.0;
    return std::max(0.0, value.Get("emissiveStrength").GetNumberAsDouble());
}

double exponentFor(double roughness) {
    double r4 = roughness * roughness * roughness * roughness;
    if (r4 <= 0.5 / (kMaxExponent + 0.5)) return kMaxExponent;
    return std::max(0.0, 0.5 / r4 - 0.5);
}

ObjModel::Material metallicRoughness(const double base[3], double metallic, double roughness) {
    ObjModel::Material m;
    m.defined = true;
    double f0 = 0.0, brightest = 0.0;
    for (int c = 0; c < 3; ++c) {
        m.diffuse[c] = base[c] * (1.0 - metallic);
        brightest = std::max(brightest, m.diffuse[c]);
        f0 += (kDielectricReflectance * (1.0 - metallic) + base[c] * metallic) / 3.0;
    }
    double gloss = std::min(f0, 1.0 - brightest);
    for (double& s : m.specular) s = gloss;
    m.exponent = exponentFor(roughness);
    return m;
}
}  // namespace

ObjModel::Material gltfMaterial(const tinygltf::Material& material, const std::string& name) {
    const tinygltf::PbrMetallicRoughness& pbr = material.pbrMetallicRoughness;
    double base[3] = {1.0, 1.0, 1.0};
    if (pbr.baseColorFactor.size() >= 3)
        for (int c = 0; c < 3; ++c) base[c] = unit(pbr.baseColorFactor[c]);
    ObjModel::Material m =
        metallicRoughness(base, unit(pbr.metallicFactor), unit(pbr.roughnessFactor));
    m.name = name;
    double strength = emissiveStrength(material);
    if (material.emissiveFactor.size() == 3)
        for (int c = 0; c < 3; ++c) m.emission[c] = unit(material.emissiveFactor[c]) * strength;
    return m;
}

ObjModel::Material gltfDefaultMaterial() {
    const double white[3] = {1.0, 1.0, 1.0};
    ObjModel::Material m = metallicRoughness(white, 1.0, 1.0);
    m.name = "default";
    return m;
}

bool usesTextures(const tinygltf::Material& material) {
    const tinygltf::PbrMetallicRoughness& pbr = material.pbrMetallicRoughness;
    return pbr.baseColorTexture.index >= 0 || pbr.metallicRoughnessTexture.index >= 0 ||
           material.emissiveTexture.index >= 0 || material.normalTexture.index >= 0 ||
           material.occlusionTexture.index >= 0;
}
