// The sobol directions against the random ones on scenes whose answer is
// known: no bias, and less spread from seed to seed. The scenes are small and
// the runs as short as will tell; bench/direction_study bias runs them much
// longer, and with the sobol points in their own order, which these tests
// must and do refuse (docs/directions.md).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "app/direction_sequence.h"
#include "app/scene.h"
#include "tests/support/direction_scenes.h"

namespace {
using Kind = DirectionSequence::Kind;
using direction_scenes::sequence;

struct SeedStatistics {
    double mean = 0.0, spread = 0.0;  // of the runs' late means
};

// Seeds 1 to 8 at 4000 iterations: the mean and the standard deviation of
// the runs' means over iterations 1001 to 4000.
SeedStatistics eightSeeds(const std::function<std::unique_ptr<Scene>()>& make, Kind kind) {
    std::vector<double> late;
    for (uint32_t seed = 1; seed <= 8; ++seed)
        late.push_back(direction_scenes::runDiffuse(make(), sequence(kind, seed), seed, 4000).late);
    SeedStatistics s;
    for (double x : late) s.mean += x / late.size();
    for (double x : late) s.spread += (x - s.mean) * (x - s.mean) / (late.size() - 1.0);
    s.spread = std::sqrt(s.spread);
    return s;
}

void expectNoBiasAndLessSpread(const std::function<std::unique_ptr<Scene>()>& make,
                               double converged) {
    SeedStatistics sobol = eightSeeds(make, Kind::Sobol);
    SeedStatistics random = eightSeeds(make, Kind::Random);
    EXPECT_NEAR(sobol.mean, converged, 0.001 * converged);
    EXPECT_LT(sobol.spread, random.spread / 2);
}
}  // namespace

// The coarse cube loses some of its radiance 0.4 to the painter's order,
// whatever the directions, so random's converged value is measured: two runs
// of 48,000 iterations leave it within 0.02 % or so. The sobol points taken
// in their own order come out 0.15 to 0.18 % low here.
TEST(DirectionBias, ClosedEmittingBoxAgreesWithRandomsConvergedValue) {
    double converged = 0.0;
    for (uint32_t seed : {101u, 102u})
        converged += direction_scenes::runDiffuse(direction_scenes::emittingBox(),
                                                  sequence(Kind::Random, seed), seed, 48000)
                         .late /
                     2;
    EXPECT_NEAR(converged, 0.4, 0.02);
    expectNoBiasAndLessSpread(direction_scenes::emittingBox, converged);
}

// Every cell of the floor sees the sky, so each bundle brings a patch
// exactly sky · |cos|, or that on average where the patch lies nearly along
// the lines: random converges to albedo · sky = 0.3 (on this grid within
// 0.015 %, see floorUnderTheSky).
TEST(DirectionBias, FloorUnderTheSkyAgreesWithRandomsConvergedValue) {
    expectNoBiasAndLessSpread(direction_scenes::floorUnderTheSky, 0.3);
}

// What the glossy floor sends along a bundle reflects what the previous one
// brought it, so this catches successive directions that are not
// independent: the sobol points in their own order send 24 % too much on
// average over runs of 200,000 iterations, and from 0.4 to 2.4 times the
// integral at 5000, depending on the seed. Shuffled, each of these seeds
// stays within 11 %, as random's within 8 %; toward the eye, where one
// direction at a time counts, both are closer (0.6 % and 5 %).
TEST(DirectionBias, GlossyFloorConvergesToTheLobeIntegralForEverySeed) {
    const Material m = direction_scenes::glossyMaterial();
    const Vector toEye(0.6, 0.8, 0.0);
    const double eye = direction_scenes::reflectedRadiance(m, toEye.y);
    const double sent = direction_scenes::exitanceOverPi(m);
    for (Kind kind : {Kind::Random, Kind::Sobol}) {
        const char* name = kind == Kind::Random ? "random" : "sobol";
        direction_scenes::GlossyRun run =
            direction_scenes::runGlossy(sequence(kind, 1), 1, 160000, toEye);
        EXPECT_NEAR(run.eye, eye, 0.02 * eye) << name;
        EXPECT_NEAR(run.sent, sent, 0.02 * sent) << name;
        for (uint32_t seed = 1; seed <= 16; ++seed) {
            run = direction_scenes::runGlossy(sequence(kind, seed), seed, 5000, toEye);
            EXPECT_NEAR(run.eye, eye, 0.2 * eye) << name << " seed " << seed;
            EXPECT_NEAR(run.sent, sent, 0.2 * sent) << name << " seed " << seed;
        }
    }
}
