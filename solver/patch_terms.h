#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/color.h"

// What the iterations change for every patch, one array per term, indexed
// by serial, so that each sweep reads and writes only the terms it needs.
//
// Per iteration: the patch update reads bundleIncoming (the previous
// bundle's), writes bundleOutgoing and diffuseEstimate and adds the eye
// radiance to eyeRadianceSum; the transfer then reads bundleOutgoing and
// writes bundleIncoming, pixelCount and side. eyeDirect and directOutgoing
// are set once, before the first iteration.
struct PatchTerms {
    // Radiance that reached the patch along the last bundle, as the mean
    // over its cells times the cosine to the bundle direction.
    std::vector<Color> bundleIncoming;
    std::vector<Color> bundleOutgoing;   // radiance sent along the current bundle
    std::vector<Color> diffuseEstimate;  // running estimate of diffusely reflected radiance
    std::vector<Color> eyeRadianceSum;   // radiance toward the eye, summed over iterations / N
    // Constant over the run: emission and direct light of the light list
    // toward the eye (zero when the eye sees the patch from behind), and
    // what the patch sends along any bundle from its emission and its light
    // list (for a glossy material only the emission: its lobe depends on
    // the direction and is evaluated per bundle).
    std::vector<Color> eyeDirect;
    std::vector<Color> directOutgoing;
    std::vector<int32_t> pixelCount;  // bundle cells covered in the last bundle
    std::vector<int8_t> side;         // 1 when its normal pointed along the last bundle

    // Sizes every array for `patches` patches, all terms zero.
    void reset(size_t patches);
    // Makes room for `patches` patches, keeping the terms there are.
    void grow(size_t patches);
    size_t size() const { return bundleIncoming.size(); }
    size_t bytes() const;
};
