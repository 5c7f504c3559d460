#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "solver/banded_transfer.h"
#include "solver/depth_sort.h"

struct Patch;

// Work arrays of the bundle transfer, kept from one bundle to the next so
// that a bundle allocates nothing. The transfer reads each patch record once,
// in serial order, lays what it read out in depth order, works on those
// compact arrays, and writes the results back to the records once, again in
// serial order.
struct BundleWork {
    // By vertex: the placed vertices projected onto the buffer, in cells, and
    // rounded to the 1/256-cell grid of the scan conversion
    std::vector<float> projectedX;
    std::vector<float> projectedY;
    std::vector<int32_t> gridX;
    std::vector<int32_t> gridY;
    // By serial
    std::vector<Patch*> bySerial;  // the patch of each serial
    std::vector<BundlePatch> views;
    std::vector<int32_t> positionOf;  // place in this bundle's depth order
    // By position in the depth order
    std::vector<DepthEntry> order;    // indices into bySerial
    std::vector<DepthEntry> scratch;  // work space of the sort
    std::vector<BundlePatch> viewsInOrder;
    std::vector<uint8_t> takesPart;  // 0 for a patch left out of this bundle
    BandedTransfer::Result result;   // summed radiance and cells covered
    BandedTransfer transfer;
};
