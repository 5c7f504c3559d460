#include "app/direction_sequence.h"

#include "app/random_directions.h"
#include "app/scene.h"
#include "app/seed_hash.h"
#include "app/sobol_directions.h"

std::unique_ptr<DirectionSequence> DirectionSequence::make(Kind kind, uint32_t seed) {
    if (kind == Kind::Sobol) return std::make_unique<SobolDirections>(seed);
    return std::make_unique<RandomDirections>();
}

void Scene::useDirections(std::unique_ptr<DirectionSequence> sequence, uint32_t seed) {
    directions_ = std::move(sequence);
    random.state += seed_hash::generatorOffset(seed);
}
