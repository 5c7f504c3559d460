// What a patch sends along the next bundle and toward the eye, made from what
// the previous bundle brought it, its light list and its own emission.
//
// The bundle directions are uniform on the sphere and a patch receives along
// whichever of the two senses reaches its front, so each bundle is a sample
// of its hemisphere with density 1/(2π): a received radiance times cosine
// weighs 2π in the estimates of reflected radiance.
#include <cmath>

#include "geometry/constants.h"
#include "solver/patch.h"

namespace {

// Adds what the lights of the patch's list reflect toward `out`. The light's
// cosine is taken with `facing`, the reflection with `worldNormal` (the
// updates run while the scene is in its saved position, where `normal` and
// `worldNormal` agree).
void addDirectLight(const Patch& p, const Vector& facing, const PointLight* lights,
                    const Vector& out, double cosOut, Color& sum) {
    if (p.lightCount == 0) return;
    Vector c = p.center();
    for (int e = 0; e < p.lightCount; ++e) {
        const PointLight& light = lights[p.lightIndices[e]];
        Vector w = normalized(c - light.position);
        double cosL = -dot(facing, w);
        if (cosL > 0.0)
            sum += (light.power * p.lightFactors[e]) *
                   p.material->totalReflection(w, p.worldNormal, out, cosL, cosOut);
    }
}
}  // namespace

void Patch::updateOutgoing(const Vector& previousDirection, const Vector& direction,
                           const PointLight* lights, int iteration, int firstShot) {
    const Vector& n = worldNormal;
    // Send from whichever side faces the new bundle's lines.
    Vector out = direction;
    double cosOut = dot(out, n);
    if (cosOut < 0.0) {
        out = -out;
        cosOut = -cosOut;
    }
    if (!(cosOut > 0.0)) {
        bundleOutgoing = Color();
        return;
    }
    // Emission the first shot has already spread through the light lists
    // stays out of the bundle; any other emission travels with it.
    bundleOutgoing = firstShot && emissionShot ? Color() : material->emission;
    addDirectLight(*this, worldNormal, lights, out, cosOut, bundleOutgoing);

    // Receive on whichever side the previous bundle reached.
    Vector in = previousDirection;
    double cosIn = -dot(in, n);
    if (cosIn < 0.0) {
        in = -in;
        cosIn = -cosIn;
    }
    if (!(cosIn > 0.0)) return;

    double k = 1.0 / std::sqrt(iteration + 1.0);
    diffuseEstimate =
        diffuseEstimate * (1.0 - k) + (material->diffuse * bundleIncoming) * (k * kTwoPi);
    bundleOutgoing +=
        material->specularReflection(in, n, out, cosIn, cosOut) * bundleIncoming * kTwoPi +
        diffuseEstimate;
}

void Patch::updateEyeTerms(const Vector& previousDirection, const PointLight* lights) {
    const Vector& e = toEye;
    double cosEye = dot(normal, e);
    Vector in = previousDirection;
    double cosIn = -dot(normal, in);
    if (cosIn < 0.0) {
        in = -in;
        cosIn = -cosIn;
    }
    if (!(cosEye > 0.0)) {
        // The eye sees the back of the patch.
        eyeDirect = Color();
        eyeSpecularFactor = Color();
        return;
    }
    eyeDirect = material->emission;  // the eye sees emitters directly
    // 2 · 2π: the accumulation halves it.
    eyeSpecularFactor = material->specularReflection(in, worldNormal, e, cosIn, cosEye) * kFourPi;
    addDirectLight(*this, normal, lights, e, cosEye, eyeDirect);
}
