#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// One patch in the depth order of a bundle: its nearest depth as an
// unsigned key that sorts like the double, and the patch's index in the list
// the entries were made from (its serial when that list is by serial).
class ThreadPool;

struct DepthEntry {
    uint64_t key;
    int32_t index;
};

// The key of a depth: unsigned order equals the order of the doubles, and
// -0.0 and +0.0 get the same key (they compare equal).
inline uint64_t depthKey(double depth) {
    double d = depth + 0.0;  // -0.0 becomes +0.0
    uint64_t bits;
    static_assert(sizeof bits == sizeof d, "a double has 64 bits");
    std::memcpy(&bits, &d, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
}

// Sorts the entries ascending by key and keeps the given order among equal
// keys (a stable radix sort), so entries made in serial order come out
// ordered by depth, then serial. `scratch` is work space of any size.
void sortByDepth(std::vector<DepthEntry>& entries, std::vector<DepthEntry>& scratch);

// The same sort shared among the threads of `pool`, in fixed chunks of the
// entries; a stable sort has one result, whatever the number of threads.
void sortByDepth(std::vector<DepthEntry>& entries, std::vector<DepthEntry>& scratch,
                 ThreadPool& pool);
