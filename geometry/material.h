#pragma once

#include "base/string.h"
#include "geometry/color.h"
#include "geometry/vector.h"

// One entry of the scene's material table: a Lambertian part and an optional
// normalised Phong lobe, an optional emission and a selection probability.
struct Material {
    Color diffuse;                   // reflectance · A / π
    Color specular;                  // B · (C + 1) / (2π) in every channel
    String name;                     // compared exactly
    Color reflectance;               // the first "spctrl" block
    Color emission;                  // emitted radiance; zero unless emitting
    double specularScale = 0.0;      // B
    double diffuseScale = 0.0;       // A
    double exponent = 1.0;           // C
    double selectProbability = 1.0;  // D: chance of taking part in a bundle
    int emitting = 0;                // 1 when the statement had "pLmnr"

    // Computes diffuse and specular from the raw numbers.
    void deriveCoefficients();

    // Numbers that make the solution grow without bound. A material reflects
    // at most reflectance · A of the light it receives diffusely and at most B
    // glossily, so it conserves energy while reflectance · A + B stays at
    // most 1 in every channel (a rounding margin of 1e-9 allowed).
    bool reflectsMoreThanItReceives() const;
    // Some number of the statement is negative (the ignored first numbers of
    // the "spctrl" pairs aside).
    bool hasNegativeValue() const;

    // `in` travels toward the surface, `out` leaves it; the cosines are
    // computed by the caller (cosIn = -in·normal, cosOut = out·normal).
    Color specularReflection(const Vector& in, const Vector& normal, const Vector& out,
                             double cosIn, double cosOut) const;
    Color totalReflection(const Vector& in, const Vector& normal, const Vector& out, double cosIn,
                          double cosOut) const {
        return diffuse + specularReflection(in, normal, out, cosIn, cosOut);
    }
};
