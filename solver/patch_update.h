#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/color.h"
#include "geometry/vector.h"
#include "solver/light_table.h"
#include "solver/patch.h"
#include "solver/patch_terms.h"
#include "solver/point_light.h"

// Between two bundles every patch turns what the previous bundle brought it
// into what it sends along the new one and into what the eye sees of it.
// The updates run while the scene is as tessellated, so a patch's normal is
// its worldNormal.

// What one iteration's update reads beside the patches.
struct PatchUpdateInput {
    Vector previousDirection;  // of the bundle whose radiance bundleIncoming holds
    Vector direction;          // of the new bundle
    const PointLight* lights = nullptr;
    const LightTable* lightTable = nullptr;
    int iteration = 1;          // the iteration under way, from 1
    int firstShot = 0;          // the scene's switch
    int plannedIterations = 1;  // N: each iteration adds 1/N of its eye radiance
};

// What patch `p` (of serial p.serial) does alike in every iteration. Sets
// p.facesEye from its toEye, and, when `terms` holds the constant terms
// (PatchTerms::holdConstants), its eyeDirect, the emission and the direct
// light of its light list toward the eye (zero when the eye sees its back),
// and its directOutgoing, what it sends along any bundle from the same
// sources (for a glossy material the emission alone). They are summed in
// the order the per-iteration update would sum them, so the results are
// the same bit for bit. Without the constant terms (no patch has a light
// list) the update takes both from the material and the flags.
void settleConstantTerms(Patch& p, const PointLight* lights, const LightTable& table, int firstShot,
                         PatchTerms& terms);
// The two constant terms of a patch, from the terms or from its material.
Color eyeDirectOf(const Patch& p, const PatchTerms& terms);
Color directOutgoingOf(const Patch& p, int firstShot, const PatchTerms& terms);

// The bundle-side update: bundleOutgoing and diffuseEstimate of serial s.
void updateOutgoing(const Patch& p, const PatchUpdateInput& in, PatchTerms& terms);
// π times the glossy reflection from the previous bundle toward the eye,
// doubled (the accumulation halves it); zero for a diffuse material and for
// a patch the eye sees from behind.
Color eyeSpecularFactor(const Patch& p, const Vector& previousDirection);
// Adds this iteration's eye radiance, a 1/N share, to eyeRadianceSum.
void accumulateEye(const Patch& p, const PatchUpdateInput& in, PatchTerms& terms);

// The three for the patches of serials [first, end), in serial order;
// bySerial[s] is the patch of serial s.
void updatePatches(const std::vector<Patch*>& bySerial, size_t first, size_t end,
                   const PatchUpdateInput& in, PatchTerms& terms);

// The emission and the diffusely reflected light of the light list: what
// the eye would see of them from the front, whichever side it sees.
Color emittedAndDirectDiffuse(const Patch& p, const PointLight* lights, const LightTable& table);
