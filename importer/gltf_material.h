#pragma once

#include <tiny_gltf.h>

#include <string>

#include "importer/obj_model.h"

// The scene language's material for a glTF metallic-roughness material, named
// `name`. Its factors only: textures are not read. With metallic m, roughness
// r and base colour c (all clamped to [0, 1]):
// - reflectance c · (1 − m), with diffuse scale 1;
// - a glossy lobe of weight B = mean(F0), where F0 = 0.04 · (1 − m) + c · m is
//   the reflectance at normal incidence of the metallic-roughness model (the
//   program's lobe has one weight for all channels), limited to
//   1 − max(reflectance) so that reflectance + B <= 1 in every channel: the
//   lobe reflects at most B of the light that reaches it, whatever the
//   directions, so the material reflects at most all of it;
// - the lobe's exponent 1 / (2 r^4) − 1/2, at most kMaxExponent: the Phong
//   exponent of about the same width as the model's GGX lobe of α = r²
//   (Blinn-Phong exponent 2/α² − 2, a quarter of it about the mirror
//   direction);
// - emission emissiveFactor · KHR_materials_emissive_strength.
ObjModel::Material gltfMaterial(const tinygltf::Material& material, const std::string& name);

// The material of a primitive that names none: glTF's default material,
// white, metallic 1, roughness 1.
ObjModel::Material gltfDefaultMaterial();

// Whether the material uses any texture.
bool usesTextures(const tinygltf::Material& material);

constexpr double kMaxExponent = 1000.0;
