#include "app/sobol_directions.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numeric>

#include "app/seed_hash.h"
#include "geometry/constants.h"

SobolDirections::SobolDirections(uint32_t seed, uint32_t blockSize)
    : points_(seed), shuffleSeed_(seed_hash::derive(seed, seed_hash::kShuffle)), order_(blockSize) {
    assert(blockSize >= 1 && blockSize <= 65536 && (blockSize & (blockSize - 1)) == 0);
}

// A uniform permutation (Fisher and Yates) from the hash of the seed and the
// block: numbers of its own for every block and seed.
void SobolDirections::orderBlock(uint32_t block) {
    std::iota(order_.begin(), order_.end(), 0u);
    uint64_t key = seed_hash::mix((static_cast<uint64_t>(shuffleSeed_) << 32) | block);
    for (uint32_t i = static_cast<uint32_t>(order_.size()) - 1; i > 0; --i) {
        uint64_t r = seed_hash::mix(key + i) >> 32;  // 32 uniform bits
        std::swap(order_[i], order_[(r * (i + 1)) >> 32]);
    }
    orderedBlock_ = block;
}

uint32_t SobolDirections::pointIndex(uint32_t n) {
    uint32_t size = static_cast<uint32_t>(order_.size());
    uint32_t block = n / size;
    if (block != orderedBlock_) orderBlock(block);
    return block * size + order_[n % size];
}

Vector SobolDirections::next(Random&) {
    double u, v;
    points_.point(pointIndex(count_++), u, v);
    double cosTheta = 1.0 - 2.0 * u;
    double sinTheta = 2.0 * std::sqrt(u * (1.0 - u));
    double phi = v * kTwoPi;
    return Vector(sinTheta * std::sin(phi), sinTheta * std::cos(phi), cosTheta);
}
