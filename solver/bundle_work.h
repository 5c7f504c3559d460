#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "solver/banded_transfer.h"
#include "solver/depth_sort.h"

// A scene vertex placed along the bundle: moved by −center, turned so that
// the bundle direction is +z, projected onto the buffer (in cells, single
// precision) and rounded to the 1/256-cell grid of the scan conversion.
struct PlacedVertex {
    float x, y;
    int32_t gridX, gridY;
    double z;  // depth along the bundle
};

// Work arrays of the bundle transfer, kept from one bundle to the next so
// that a bundle allocates nothing. Each bundle places every vertex once,
// keys every patch by its nearest depth, sorts the keys, and then views
// every patch once, in serial (memory) order, writing the view to its place
// in the depth order, where the bands read the views one after the other;
// each patch's result goes back to its serial once.
struct BundleWork {
    // By vertex index
    std::vector<PlacedVertex> placed;
    // By serial
    std::vector<std::array<int32_t, 3>> corners;  // vertex indices, in tessellation order
    std::vector<int32_t> positionOf;              // place in the depth order
    // By position in the depth order
    std::vector<DepthEntry> order;    // serials
    std::vector<DepthEntry> scratch;  // work space of the sort
    std::vector<BundlePatch> patches;
    std::vector<uint8_t> takesPart;  // 0 for a patch left out by chance
    BandedTransfer transfer;

    // Bytes held between bundles.
    size_t bytes() const;
};
