#pragma once

#include "app/direction_sequence.h"

// Two draws of the generator per direction: φ = 2π · u1, cos θ = 1 − 2 · u2,
// each draw divided by its largest value so that it reaches 1 exactly, and
// the direction (sin θ sin φ, sin θ cos φ, cos θ).
class RandomDirections final : public DirectionSequence {
  public:
    Vector next(Random& generator) override;
};
