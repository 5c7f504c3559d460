#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// One patch in the depth order of a bundle: its nearest depth as a 32-bit
// key, and the patch's index in the list the entries were made from (its
// serial when that list is by serial). Eight bytes, so that the sort moves
// little.
class ThreadPool;

struct DepthEntry {
    uint32_t key;
    int32_t index;
};

// The key of a depth within [−reach, reach]: the depth as a fixed-point
// fraction of the range, 2^32 steps of reach / 2^31 each (for a bundle, 2.3
// ten-billionths of the scene's extent). Keys order like the depths they
// come from; depths closer than a step may share a key and then sort as
// equal. Depths beyond the range take the end keys, NaN the last.
inline uint32_t depthKey(double depth, double reach) {
    constexpr double kSteps = 4294967296.0;  // 2^32
    double f = (depth / reach + 1.0) * (kSteps / 2.0);
    if (!(f < kSteps - 1.0)) return UINT32_MAX;  // NaN too
    return f > 0.0 ? static_cast<uint32_t>(f) : 0u;
}

// Sorts the entries ascending by key and keeps the given order among equal
// keys (a stable radix sort), so entries made in serial order come out
// ordered by depth, then serial. `scratch` is work space of any size.
void sortByDepth(std::vector<DepthEntry>& entries, std::vector<DepthEntry>& scratch);

// The same sort shared among the threads of `pool`, in fixed chunks of the
// entries; a stable sort has one result, whatever the number of threads.
void sortByDepth(std::vector<DepthEntry>& entries, std::vector<DepthEntry>& scratch,
                 ThreadPool& pool);
