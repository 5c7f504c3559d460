#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/color.h"
#include "solver/depth_sort.h"
#include "solver/scan_converter.h"

struct Patch;

// Work arrays of the bundle transfer, kept from one bundle to the next so
// that a bundle allocates nothing. The transfer reads each patch record once,
// in serial order, lays what it read out in depth order, works on those
// compact arrays, and writes the results back to the records once, again in
// serial order.
struct BundleWork {
    // What the scan reads of a patch.
    struct PatchView {
        ProjectedTriangle corners;
        double normalZ;  // z of the placed normal
        double selectProbability;
    };
    // A patch's radiance: bundleIncoming, as it is summed, and bundleOutgoing.
    struct Terms {
        Color incoming;
        Color outgoing;
    };
    // Cells first .. end − 1 of the buffer, on one row.
    struct CellSpan {
        int32_t first;
        int32_t end;
    };

    // By vertex: the placed vertices projected onto the buffer, in cells
    std::vector<float> projectedX;
    std::vector<float> projectedY;
    // By serial
    std::vector<Patch*> bySerial;  // the patch of each serial
    std::vector<PatchView> views;
    std::vector<Terms> entryTerms;    // the terms as the transfer found them
    std::vector<int32_t> positionOf;  // place in this bundle's depth order
    // By position in the depth order
    std::vector<DepthEntry> order;    // indices into bySerial
    std::vector<DepthEntry> scratch;  // work space of the sort
    std::vector<PatchView> viewsInOrder;
    std::vector<Terms> terms;
    std::vector<int32_t> pixelCounts;  // cells covered; -1 for a patch left out
    std::vector<int32_t> spanStart;    // first span of each position, and the end
    std::vector<CellSpan> spans;       // the cells of the patches of one round
    // Spans converted before they are worked on (8 MiB): large scenes go in
    // several rounds, so that the span list stays bounded.
    size_t spanBudget = size_t{1} << 20;
};
