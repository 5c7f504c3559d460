#pragma once

#include <cstdint>
#include <memory>

#include "base/random.h"
#include "geometry/vector.h"

// The global directions of a run's iterations, one per iteration, uniformly
// distributed over the whole sphere. `Scene::randomDirection` takes each
// from the scene's sequence.
class DirectionSequence {
  public:
    // random: two draws of the scene's generator per direction (the window
    // program's sequence); sobol: a scrambled low-discrepancy sequence taken
    // in a shuffled order, which draws nothing (SobolDirections).
    enum class Kind { Random, Sobol };

    virtual ~DirectionSequence() = default;
    // The next iteration's direction, a unit vector.
    virtual Vector next(Random& generator) = 0;

    // A sequence of the kind. The seed chooses a sobol sequence's scramble
    // and order; the random kind takes its numbers from the generator, which
    // a seed moves elsewhere (Scene::useDirections).
    static std::unique_ptr<DirectionSequence> make(Kind kind, uint32_t seed);
};
