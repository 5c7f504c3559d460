#pragma once

#include <cstdint>

// The one source of random numbers: a linear congruential generator of 15-bit
// values with a fixed sequence (41, 18467, 6334, 26500, ... from state 1), so
// that a run gives the same numbers on every machine and C library.
class Random {
  public:
    static constexpr int kMax = 32767;

    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & kMax);
    }

    uint32_t state = 1;  // never reseeded during a run
};
