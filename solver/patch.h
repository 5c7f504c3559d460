#pragma once

#include <cstdint>

#include "geometry/material.h"
#include "geometry/vector.h"
#include "geometry/vertex.h"

// One triangle of the tessellated scene: what the rest of the program reads
// of it once or rarely. What the iterations change (the bundle and eye
// terms) lives in the solver's arrays by serial (solver/patch_terms.h), its
// light list in the solver's light table (solver/light_table.h).
//
// 128 bytes, aligned to a cache line: the iteration's sweep reads the first
// 64 (normal, material, serial and the flags) and, for a glossy material
// only, the second (centre and toEye).
struct alignas(64) Patch {
    Vector worldNormal;  // unit normal of the corners as tessellated; never rotated
    const Material* material = nullptr;
    double area = 0.0;
    double coverage = 0.0;      // first shot: solid angle seen; then projected area toward the eye
    int32_t serial = 0;         // index in tessellation order; depth-sort tie-break
    int16_t shotStride = 0;     // emitting patches this one stands for in the first shot
    bool emissionShot = false;  // the first shot already sent this patch's emission
    bool facesEye = false;      // normal · toEye > 0: the eye sees its front; set with toEye
    Vertex* vertices[3] = {nullptr, nullptr, nullptr};  // corners in tessellation order
    Vector centerPoint;                                 // mean of the corners as tessellated
    Vector toEye;                                       // unit vector from the centre to the eye

    // The mean of the three corners where the tessellation put them, which
    // is where they are whenever the patch is read (the iterations place a
    // copy of the scene, not the scene).
    const Vector& center() const { return centerPoint; }
};

// Fills a patch template from three corners: normal and area follow the corner
// order (seen from the normal's side, a, b, c run counter-clockwise).
void initPatch(Patch& patch, Vertex* a, Vertex* b, Vertex* c, const Material* material,
               int shotStride);
