#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/color.h"

// What the last bundle brought a patch: the bundle transfer writes the
// three together, in one place, for patches met in depth order.
struct Received {
    // Radiance that reached the patch along the bundle, as the mean over
    // its cells times the cosine to the bundle direction.
    Color incoming;
    int32_t pixelCount = 0;  // bundle cells covered
    int8_t side = 0;         // 1 when its normal pointed along the bundle
};

// What the iterations change for every patch, one array per term, indexed
// by serial, so that each sweep reads and writes only the terms it needs.
//
// Per iteration: the patch update reads `received` (the previous bundle's),
// writes bundleOutgoing and diffuseEstimate and adds the eye radiance to
// eyeRadianceSum; the transfer then reads bundleOutgoing and writes
// `received`.
struct PatchTerms {
    std::vector<Received> received;
    std::vector<Color> bundleOutgoing;   // radiance sent along the current bundle
    std::vector<Color> diffuseEstimate;  // running estimate of diffusely reflected radiance
    std::vector<Color> eyeRadianceSum;   // radiance toward the eye, summed over iterations / N
    // Constant over the run, and kept only when some patch has a light list
    // (otherwise both come from the material; see settleConstantTerms): the
    // emission and direct light of the light list toward the eye (zero when
    // the eye sees the patch from behind), and what the patch sends along
    // any bundle from its emission and its light list (for a glossy
    // material only the emission: its lobe depends on the direction and is
    // evaluated per bundle).
    std::vector<Color> eyeDirect;
    std::vector<Color> directOutgoing;

    // Sizes every array for `patches` patches, all terms zero, the constant
    // ones empty.
    void reset(size_t patches);
    // Makes room for `patches` patches, keeping the terms there are.
    void grow(size_t patches);
    // Sizes the constant terms for `patches` patches, or frees them (0).
    void holdConstants(size_t patches);
    size_t size() const { return received.size(); }
    size_t bytes() const;
};
