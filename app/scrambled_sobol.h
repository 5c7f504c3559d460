#pragma once

#include <cstdint>

// The first two dimensions of the Sobol sequence (the van der Corput sequence
// in base 2 and its partner), a (0,2)-sequence: every aligned block of 2^m
// points, m ≤ 32, puts one point in each of the 2^m elementary boxes of any
// shape 2^-a × 2^-(m-a). Each coordinate is Owen-scrambled (nested uniform
// scrambling in base 2) with a seed of its own, which keeps that property and
// makes every point uniformly distributed on [0, 1)², so averages over the
// points are unbiased. The scramble is a hash: nothing is stored and no
// random number is drawn.
class ScrambledSobol {
  public:
    explicit ScrambledSobol(uint32_t seed);

    // The point of the given index, both coordinates in (0, 1): the scrambled
    // 32-bit fractions, centred in their interval of 2^-32.
    void point(uint32_t index, double& u, double& v) const;

    // The coordinates unscrambled, as 32-bit binary fractions.
    static uint32_t firstDimension(uint32_t index);
    static uint32_t secondDimension(uint32_t index);
    // Nested uniform scrambling of a 32-bit fraction: bit k (counted from the
    // most significant) is flipped by a hash of the seed and the bits above it.
    static uint32_t scramble(uint32_t fraction, uint32_t seed);

  private:
    uint32_t seeds_[2];  // one scramble per dimension
};
