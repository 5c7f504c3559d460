#include "geometry/material.h"

#include <algorithm>
#include <cmath>

#include "geometry/constants.h"

void Material::deriveCoefficients() {
    diffuse = reflectance * (diffuseScale * kInvPi);
    specular = Color(specularScale) * ((exponent + 1.0) * kInvTwoPi);
}

bool Material::reflectsMoreThanItReceives() const {
    const double kMargin = 1e-9;
    for (int c = 0; c < 3; ++c)
        if (reflectance[c] * diffuseScale + std::max(specularScale, 0.0) > 1.0 + kMargin)
            return true;
    return false;
}

bool Material::hasNegativeValue() const {
    for (int c = 0; c < 3; ++c)
        if (reflectance[c] < 0.0 || emission[c] < 0.0) return true;
    return diffuseScale < 0.0 || specularScale < 0.0 || exponent < 0.0 || selectProbability < 0.0;
}

Color Material::specularReflection(const Vector& in, const Vector& normal, const Vector& out,
                                   double cosIn, double cosOut) const {
    if (cosIn < 1e-6 || cosOut < 1e-6) return Color();
    double m = std::max(cosIn, cosOut);
    if (specularScale <= 0.0) return Color();
    Vector mirror = in + normal * (2.0 * cosIn);
    double d = dot(mirror, out);
    if (d <= 0.0) return Color();
    return specular * (std::pow(d, exponent) / m);
}
