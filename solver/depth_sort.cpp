// A least-significant-digit radix sort of the 32-bit depth keys, 11 bits a
// pass.
#include "solver/depth_sort.h"

#include <algorithm>
#include <array>

#include "solver/thread_pool.h"

namespace {
constexpr int kDigitBits = 11;
constexpr int kBuckets = 1 << kDigitBits;
constexpr int kPasses = (32 + kDigitBits - 1) / kDigitBits;  // 3

constexpr size_t kSortChunk = 32768;  // entries per chunk of the parallel sort

int digit(uint32_t key, int pass) {
    return static_cast<int>((key >> (pass * kDigitBits)) & (kBuckets - 1));
}

// Turns the chunks' counts of each digit into where each chunk's entries of
// that digit start: digit after digit, chunk after chunk, which keeps the
// order of equal digits. Returns false when one digit holds all the entries
// (the pass would move nothing).
bool startsOfDigits(std::vector<uint32_t>& counts, size_t chunks, int firstDigit, size_t n) {
    uint32_t all = 0;
    for (size_t c = 0; c < chunks; ++c) all += counts[c * kBuckets + firstDigit];
    if (all == n) return false;
    uint32_t start = 0;
    for (int d = 0; d < kBuckets; ++d) {
        for (size_t c = 0; c < chunks; ++c) {
            uint32_t count = counts[c * kBuckets + d];
            counts[c * kBuckets + d] = start;
            start += count;
        }
    }
    return true;
}
}  // namespace

void sortByDepth(std::vector<DepthEntry>& entries, std::vector<DepthEntry>& scratch) {
    size_t n = entries.size();
    if (n < 2) return;
    // Count every digit of every pass in one sweep.
    std::array<std::array<uint32_t, kBuckets>, kPasses> counts{};  // 24 KiB
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

void sortByDepth(std::vector<DepthEntry>& entries, std::vector<DepthEntry>& scratch,
                 ThreadPool& pool) {
    size_t n = entries.size();
    size_t chunks = (n + kSortChunk - 1) / kSortChunk;
    if (chunks < 2 || pool.threads() < 2) return sortByDepth(entries, scratch);
    scratch.resize(n);
    std::vector<uint32_t> counts(chunks * kBuckets);  // by chunk, then digit
    DepthEntry* from = entries.data();
    DepthEntry* to = scratch.data();
    auto chunkRange = [&](int c) {
        size_t first = static_cast<size_t>(c) * kSortChunk;
        return std::make_pair(first, std::min(n, first + kSortChunk));
    };
    for (int pass = 0; pass < kPasses; ++pass) {
        pool.run(static_cast<int>(chunks), [&](int c, int) {
            uint32_t* count = &counts[static_cast<size_t>(c) * kBuckets];
            std::fill(count, count + kBuckets, 0u);
            auto [first, end] = chunkRange(c);
            for (size_t i = first; i < end; ++i) ++count[digit(from[i].key, pass)];
        });
        if (!startsOfDigits(counts, chunks, digit(from[0].key, pass), n)) continue;
        pool.run(static_cast<int>(chunks), [&](int c, int) {
            uint32_t* next = &counts[static_cast<size_t>(c) * kBuckets];
            auto [first, end] = chunkRange(c);
            for (size_t i = first; i < end; ++i) to[next[digit(from[i].key, pass)]++] = from[i];
        });
        std::swap(from, to);
    }
    if (from != entries.data()) entries.swap(scratch);
}
