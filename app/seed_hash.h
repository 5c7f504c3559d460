#pragma once

#include <cstdint>

// Numbers derived from a run's seed by hashing, for the parts of a run that
// must vary with the seed without drawing from the scene's generator.
namespace seed_hash {

// What a derived number is for: each gets numbers of its own.
enum Stream : uint32_t { kScrambleU = 1, kScrambleV = 2, kShuffle = 3 };

// SplitMix64's step: consecutive inputs give unrelated outputs.
inline uint64_t mix(uint64_t z) {
    z += 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

inline uint32_t derive(uint32_t seed, Stream stream) {
    return static_cast<uint32_t>(mix((static_cast<uint64_t>(seed) << 2) | stream) >> 32);
}

// MurmurHash3's finaliser: a bijection of 32-bit words that keeps 0 at 0, so
// different seeds move a generator to different states and seed 0 leaves it.
inline uint32_t generatorOffset(uint32_t seed) {
    seed ^= seed >> 16;
    seed *= 0x85ebca6bu;
    seed ^= seed >> 13;
    seed *= 0xc2b2ae35u;
    return seed ^ (seed >> 16);
}

}  // namespace seed_hash
