#pragma once

#include <cstdint>

#include "base/limits.h"
#include "geometry/color.h"
#include "geometry/material.h"
#include "geometry/vector.h"
#include "geometry/vertex.h"
#include "solver/point_light.h"

// One triangle of the tessellated scene with its solver state.
struct Patch {
    // Each light adds at most one entry, and the table holds kMaxLights.
    static constexpr int kMaxLights = limits::kMaxLights;

    Vertex* vertices[3] = {nullptr, nullptr, nullptr};  // corners in tessellation order
    Vector normal;       // current unit normal, rotated with the scene per bundle
    Vector savedNormal;  // the normal as tessellated, restored every iteration
    Vector worldNormal;  // the same unit normal, never rotated
    double area = 0.0;
    double lightFactors[kMaxLights] = {};   // geometric factor of each light-list entry
    int16_t lightIndices[kMaxLights] = {};  // light-table index of each entry
    int16_t lightCount = 0;                 // entries in the light list
    int16_t shotStride = 0;   // emitting patches this one stands for in the first shot
    Color eyeIncrement;       // this iteration's eye radiance, already divided by N
    int32_t serial = 0;       // index in tessellation order; depth-sort tie-break
    double coverage = 0.0;    // first shot: solid angle seen; then projected area toward the eye
    int32_t pixelCount = 0;   // bundle cells covered in the current bundle
    Color eyeRadianceSum;     // sum of eyeIncrement; shown times the display scale
    Color diffuseEstimate;    // running estimate of diffusely reflected radiance
    Color bundleIncoming;     // radiance along the bundle: summed, then mean · |cos|
    Color eyeDirect;          // emission and direct light toward the eye
    Color bundleOutgoing;     // radiance sent along the current bundle
    int8_t side = 0;          // 1 when the rotated normal faces +z
    Vector toEye;             // unit vector from the centre to the eye
    Color eyeSpecularFactor;  // glossy reflection of the previous bundle toward the eye
    const Material* material = nullptr;
    bool emissionShot = false;  // the first shot already sent this patch's emission

    // Mean of the current positions of the three corners.
    Vector center() const {
        return (vertices[0]->position + vertices[1]->position + vertices[2]->position) *
               (1.0 / 3.0);
    }

    void updateOutgoing(const Vector& previousDirection, const Vector& direction,
                        const PointLight* lights, int iteration, int firstShot);
    void updateEyeTerms(const Vector& previousDirection, const PointLight* lights);
    // The emission and the diffusely reflected light of the light list: what
    // the eye sees of them from whichever side it faces the patch (the eye
    // terms leave them out of a patch seen from behind).
    Color emittedAndDirectDiffuse(const PointLight* lights) const;

    // Adds this iteration's eye radiance, a 1/N share of the planned N.
    void accumulateEye(int plannedIterations) {
        double n = plannedIterations;
        eyeIncrement =
            eyeDirect / n + diffuseEstimate / n + bundleIncoming * (eyeSpecularFactor / (2.0 * n));
        eyeRadianceSum += eyeIncrement;
    }
    // Clears what the next bundle accumulates.
    void resetBundleTerms() {
        bundleIncoming = Color();
        eyeIncrement = Color();
        pixelCount = 0;
    }
};

// Fills a patch template from three corners: normal and area follow the corner
// order (seen from the normal's side, a, b, c run counter-clockwise).
void initPatch(Patch& patch, Vertex* a, Vertex* b, Vertex* c, const Material* material,
               int shotStride);
