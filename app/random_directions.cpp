#include "app/random_directions.h"

#include <cmath>

#include "geometry/constants.h"

Vector RandomDirections::next(Random& generator) {
    const double kInvMax = 1.0 / Random::kMax;  // so that a draw reaches 1 exactly
    double phi = generator.next() * kInvMax * kTwoPi;
    double theta = std::acos(1.0 - 2.0 * (generator.next() * kInvMax));
    return Vector(std::sin(theta) * std::sin(phi), std::sin(theta) * std::cos(phi),
                  std::cos(theta));
}
