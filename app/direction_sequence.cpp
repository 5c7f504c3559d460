#include "app/direction_sequence.h"

#include <cmath>

#include "app/scene.h"
#include "app/seed_hash.h"
#include "app/sobol_directions.h"
#include "geometry/constants.h"

std::unique_ptr<DirectionSequence> DirectionSequence::make(Kind kind, uint32_t seed) {
    if (kind == Kind::Sobol) return std::make_unique<SobolDirections>(seed);
    return std::make_unique<RandomDirections>();
}

Vector RandomDirections::next(Random& generator) {
    const double kInvMax = 1.0 / Random::kMax;  // so that a draw reaches 1 exactly
    double phi = generator.next() * kInvMax * kTwoPi;
    double theta = std::acos(1.0 - 2.0 * (generator.next() * kInvMax));
    return Vector(std::sin(theta) * std::sin(phi), std::sin(theta) * std::cos(phi),
                  std::cos(theta));
}

void Scene::useDirections(std::unique_ptr<DirectionSequence> sequence, uint32_t seed) {
    directions_ = std::move(sequence);
    random.state += seed_hash::generatorOffset(seed);
}
