#pragma once

#include <cstdint>
#include <vector>

#include "app/direction_sequence.h"
#include "app/scrambled_sobol.h"

// Directions from the points (u, v) of an Owen-scrambled Sobol sequence
// (ScrambledSobol): cos θ = 1 − 2u, φ = 2πv, the direction
// (sin θ sin φ, sin θ cos φ, cos θ), as the random kind maps its draws.
//
// The points are taken block by block, each aligned block of `blockSize`
// points in an order of its own drawn from the seed, because the solver needs
// successive directions to be independent: a patch sends along one direction
// what arrived along the previous one, and in their own order consecutive
// points are tied together (each pair of points 2k, 2k + 1 lies in opposite
// halves of both coordinates), which biases what is sent. Shuffled, two
// successive directions are as good as independent, while the directions of
// each block still cover the sphere evenly. Nothing is drawn from the scene's
// generator.
class SobolDirections final : public DirectionSequence {
  public:
    static constexpr uint32_t kBlockSize = 256;

    // `blockSize`, a power of two from 1 (the points in order, for
    // measurements) to 65536.
    explicit SobolDirections(uint32_t seed, uint32_t blockSize = kBlockSize);

    Vector next(Random& generator) override;

    // The index of the point that the direction number `n` (from 0) takes.
    uint32_t pointIndex(uint32_t n);

  private:
    void orderBlock(uint32_t block);  // fills order_ for that block

    ScrambledSobol points_;
    uint32_t shuffleSeed_;
    uint32_t orderedBlock_ = UINT32_MAX;  // the block order_ belongs to
    std::vector<uint32_t> order_;         // point offsets within the block, in use order
    uint32_t count_ = 0;                  // directions given so far
};
