// A least-significant-digit radix sort of the depth keys, 11 bits a pass.
#include "solver/depth_sort.h"

#include <array>

namespace {
constexpr int kDigitBits = 11;
constexpr int kBuckets = 1 << kDigitBits;
constexpr int kPasses = (64 + kDigitBits - 1) / kDigitBits;  // 6

int digit(uint64_t key, int pass) {
    return static_cast<int>((key >> (pass * kDigitBits)) & (kBuckets - 1));
}
}  // namespace

void sortByDepth(std::vector<DepthEntry>& entries, std::vector<DepthEntry>& scratch) {
    size_t n = entries.size();
    if (n < 2) return;
    // Count every digit of every pass in one sweep.
    std::array<std::array<uint32_t, kBuckets>, kPasses> counts{};  // 48 KiB
    for (const DepthEntry& e : entries)
        for (int pass = 0; pass < kPasses; ++pass) ++counts[pass][digit(e.key, pass)];

    scratch.resize(n);
    DepthEntry* from = entries.data();
    DepthEntry* to = scratch.data();
    for (int pass = 0; pass < kPasses; ++pass) {
        auto& c = counts[pass];
        if (c[digit(from[0].key, pass)] == n) continue;  // one digit for all: nothing moves
        uint32_t start = 0;
        for (uint32_t& count : c) {
            uint32_t next = start + count;
            count = start;
            start = next;
        }
        for (size_t i = 0; i < n; ++i) to[c[digit(from[i].key, pass)]++] = from[i];
        std::swap(from, to);
    }
    if (from != entries.data()) entries.swap(scratch);
}
