#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/color.h"

// What a patch exchanges along the bundles, in one cache line: the bundle
// transfer, which meets the patches in depth order, writes each patch's
// line whole, once; the patch update reads incoming and writes outgoing.
struct alignas(64) Exchange {
    // Radiance that reached the patch along the last bundle, as the mean
    // over its cells times the cosine to the bundle direction.
    Color incoming;
    Color outgoing;          // radiance sent along the current bundle
    int32_t pixelCount = 0;  // cells covered in the last bundle
    int8_t side = 0;         // 1 when its normal pointed along the last bundle
};

// What the iterations change for every patch, one array per term, indexed
// by serial, so that each sweep reads and writes only the terms it needs.
//
// Per iteration: the patch update reads the incoming radiance (the previous
// bundle's), writes the outgoing radiance and diffuseEstimate and adds the
// eye radiance to eyeRadianceSum; the transfer then reads the outgoing
// radiance and writes the rest of `exchange`.
struct PatchTerms {
    std::vector<Exchange> exchange;
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
    size_t size() const { return exchange.size(); }
    size_t bytes() const;
};
