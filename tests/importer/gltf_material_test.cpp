// glTF's metallic-roughness factors as the scene language's materials, and
// the energy the converted materials reflect under the program's own
// reflection model.
#include "importer/gltf_material.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geometry/material.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

tinygltf::Material factors(std::vector<double> base, double metallic, double roughness) {
    tinygltf::Material m;
    m.pbrMetallicRoughness.baseColorFactor = base;
    m.pbrMetallicRoughness.metallicFactor = metallic;
    m.pbrMetallicRoughness.roughnessFactor = roughness;
    return m;
}

// The program's material for a converted one, as the material statement makes it.
Material asRead(const ObjModel::Material& m) {
    Material read;
    read.reflectance = Color(m.diffuse[2], m.diffuse[1], m.diffuse[0]);
    read.diffuseScale = 1.0;
    read.specularScale = (m.specular[0] + m.specular[1] + m.specular[2]) / 3.0;
    read.exponent = m.exponent;
    read.deriveCoefficients();
    return read;
}

// The share of light arriving at `incidence` (radians from the normal) that the
// glossy lobe reflects: its reflection times cosOut over the hemisphere,
// integrated in polar coordinates about the mirror direction.
double glossyAlbedo(const Material& m, double incidence) {
    const Vector normal(0, 0, 1);
    Vector in(std::sin(incidence), 0, -std::cos(incidence));
    double cosIn = std::cos(incidence);
    Vector mirror(std::sin(incidence), 0, std::cos(incidence)), t1(0, 1, 0);
    Vector t2 = cross(mirror, t1);
    const int steps = 4000, turns = 256;
    double da = kPi / 2 / steps, dp = 2 * kPi / turns, sum = 0;
    for (int i = 0; i < steps; ++i) {
        double a = (i + 0.5) * da;
        for (int j = 0; j < turns; ++j) {
            double p = (j + 0.5) * dp;
            Vector out = mirror * std::cos(a) + (t1 * std::cos(p) + t2 * std::sin(p)) * std::sin(a);
            double cosOut = dot(out, normal);
            if (cosOut <= 0) continue;
            sum += m.specularReflection(in, normal, out, cosIn, cosOut)[0] * cosOut * std::sin(a) *
                   da * dp;
        }
    }
    return sum;
}
}  // namespace

TEST(GltfMaterial, FactorsBecomeReflectanceGlossAndEmission) {
    tinygltf::Material m = factors({0.5, 0.2, 0.1, 1}, 0.5, 0.5);
    m.emissiveFactor = {0.2, 0.4, 1};
    m.extensions["KHR_materials_emissive_strength"] =
        tinygltf::Value(tinygltf::Value::Object{{"emissiveStrength", tinygltf::Value(2.0)}});
    ObjModel::Material o = gltfMaterial(m, "mixed");
    EXPECT_EQ(o.name, "mixed");
    EXPECT_DOUBLE_EQ(o.diffuse[0], 0.25);  // base · (1 − metallic)
    EXPECT_DOUBLE_EQ(o.diffuse[2], 0.05);
    EXPECT_DOUBLE_EQ(o.specular[1], 0.04 * 0.5 + 0.5 * 0.8 / 3);  // mean(F0)
    EXPECT_DOUBLE_EQ(o.exponent, 7.5);                            // 1/(2 · 0.5⁴) − 1/2
    EXPECT_DOUBLE_EQ(o.emission[2], 2.0);
    EXPECT_TRUE(o.emits());

    // Out-of-range factors are clamped; a white dielectric leaves no room for a lobe.
    ObjModel::Material white = gltfMaterial(factors({2, 1, 1, 1}, -1, 0), "white");
    EXPECT_EQ(white.diffuse[0], 1.0);
    EXPECT_EQ(white.specular[0], 0.0);
    EXPECT_EQ(white.exponent, kMaxExponent);
    ObjModel::Material fallback = gltfDefaultMaterial();  // white, metallic 1, roughness 1
    EXPECT_EQ(fallback.diffuse[1], 0.0);
    EXPECT_EQ(fallback.specular[1], 1.0);
    EXPECT_EQ(fallback.exponent, 0.0);
    EXPECT_FALSE(usesTextures(m));
    m.normalTexture.index = 0;
    EXPECT_TRUE(usesTextures(m));
}

TEST(GltfMaterial, ConvertedMaterialsReflectAtMostAllLight) {
    // A smooth white metal at normal incidence reflects (C + 1) / (C + 2) of the light:
    // the integral of (C + 1)/(2π) cos^C · cos over the hemisphere.
    Material mirror = asRead(gltfMaterial(factors({1, 1, 1, 1}, 1, 0), "mirror"));
    double c = kMaxExponent;
    EXPECT_NEAR(glossyAlbedo(mirror, 0), (c + 1) / (c + 2), 1e-3);
    const std::vector<tinygltf::Material> materials = {
        factors({1, 1, 1, 1}, 0, 0.2), factors({1, 1, 1, 1}, 0.5, 0.3),
        factors({1, 0.77, 0.34, 1}, 1, 0.25), factors({0.9, 0.9, 0.9, 1}, 0, 1),
        factors({1, 1, 1, 1}, 1, 1)};
    for (const tinygltf::Material& m : materials) {
        ObjModel::Material converted = gltfMaterial(m, "m");
        Material read = asRead(converted);
        for (double degrees : {0.0, 30.0, 60.0, 85.0}) {
            double glossy = glossyAlbedo(read, degrees * kPi / 180);
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_LE(converted.diffuse[channel] + glossy, 1.0 + 1e-3)
                    << "metallic " << m.pbrMetallicRoughness.metallicFactor << ", roughness "
                    << m.pbrMetallicRoughness.roughnessFactor << ", " << degrees << " degrees";
        }
    }
}
