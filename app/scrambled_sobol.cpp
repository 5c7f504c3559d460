#include "app/scrambled_sobol.h"

#include "app/seed_hash.h"

namespace {
uint32_t reverseBits(uint32_t x) {
    x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
    x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
    x = ((x >> 4) & 0x0f0f0f0fu) | ((x & 0x0f0f0f0fu) << 4);
    x = ((x >> 8) & 0x00ff00ffu) | ((x & 0x00ff00ffu) << 8);
    return (x >> 16) | (x << 16);
}

// A bijection of 32-bit words in which every bit changes only as a function
// of itself and the bits below it: adding, multiplying by an odd number and
// adding a multiple by an even number carry upward only. On reversed bits
// that is a nested scramble. (The constants are Laine and Karras's scheme as
// improved by Vegdahl.)
uint32_t upwardHash(uint32_t x, uint32_t seed) {
    x ^= x * 0x3d20adeau;
    x += seed;
    x *= (seed >> 16) | 1u;
    x ^= x * 0x05526c56u;
    x ^= x * 0x53a22864u;
    return x;
}
}  // namespace

ScrambledSobol::ScrambledSobol(uint32_t seed)
    : seeds_{seed_hash::derive(seed, seed_hash::kScrambleU),
             seed_hash::derive(seed, seed_hash::kScrambleV)} {}

uint32_t ScrambledSobol::firstDimension(uint32_t index) { return reverseBits(index); }

uint32_t ScrambledSobol::secondDimension(uint32_t index) {
    // The generator matrix is Pascal's triangle modulo 2: the direction
    // number of bit k is that of bit k − 1 xor itself shifted by one.
    uint32_t x = 0, direction = 1u << 31;
    for (; index != 0; index >>= 1, direction ^= direction >> 1)
        if (index & 1u) x ^= direction;
    return x;
}

uint32_t ScrambledSobol::scramble(uint32_t fraction, uint32_t seed) {
    return reverseBits(upwardHash(reverseBits(fraction), seed));
}

void ScrambledSobol::point(uint32_t index, double& u, double& v) const {
    const double kUnit = 1.0 / 4294967296.0;  // 2^-32
    u = (scramble(firstDimension(index), seeds_[0]) + 0.5) * kUnit;
    v = (scramble(secondDimension(index), seeds_[1]) + 0.5) * kUnit;
}
