#pragma once

// Small scenes with known radiance for comparing the iterations' direction
// sequences, shared by the tests and bench/direction_study.cpp, and the
// numerically integrated reflection of a glossy floor under a uniform sky.
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/direction_sequence.h"
#include "app/scene.h"
#include "app/sobol_directions.h"
#include "base/run_log.h"
#include "tests/support/box_scene.h"

namespace direction_scenes {

// The bundle grid of these scenes: coarse, so that an iteration takes a few
// microseconds; a patch still covers tens of cells where it does not lie
// nearly along the lines.
constexpr int kResolution = 50;

// Runs a scene's iterations without printing.
inline void runQuietly(Scene& s, int iterations) {
    muteRunLog(true);
    s.iterate(iterations);
    muteRunLog(false);
}

// The sequence of a kind; `blockSize` 1 is the sobol sequence in its own order.
inline std::unique_ptr<DirectionSequence> sequence(
    DirectionSequence::Kind kind, uint32_t seed, uint32_t blockSize = SobolDirections::kBlockSize) {
    if (kind == DirectionSequence::Kind::Sobol && blockSize != SobolDirections::kBlockSize)
        return std::make_unique<SobolDirections>(seed, blockSize);
    return DirectionSequence::make(kind, seed);
}

// The closed cube [-1, 1]³ of 48 patches that emit 0.2 and reflect 0.5,
// the eye inside: its radiance is 0.4 everywhere, less what the painter's
// order of a coarse tessellation loses.
inline std::unique_ptr<Scene> emittingBox() {
    auto s = std::make_unique<Scene>();
    s->materials[0] = box_scene::diffuseMaterial(0.5, 0.2);
    s->materialCount = 1;
    box_scene::addClosedCube(*s, 1.0, 2, &s->materials[0]);
    s->camera.eye = Vector(0.1, 0.2, -0.3);
    box_scene::prepareSolver(*s, kResolution);
    s->threadCount = 1;  // more would only hand the little work about
    return s;
}

// A floor of 50 patches, 2000 × 2000, that reflects 0.5 under a sky of 0.6:
// its radiance is 0.3. On a grid twice as fine as the other scenes': with
// its patches five cells across where they face the lines, the transfer
// leaves it 0.05 % low, and 0.8 % high at 2.5 cells; ten cells leave 0.015 %.
inline std::unique_ptr<Scene> floorUnderTheSky() {
    auto s = std::make_unique<Scene>();
    s->materials[0] = box_scene::diffuseMaterial(0.5);
    s->materialCount = 1;
    s->skyRadiance = Color(0.6);
    box_scene::addQuad(*s, {-1000, 0, -1000}, {0, 0, 2000}, {2000, 0, 0}, 5, &s->materials[0]);
    s->camera.eye = Vector(0, 1000, 0);
    box_scene::prepareSolver(*s, 2 * kResolution);
    s->threadCount = 1;  // more would only hand the little work about
    return s;
}

// The area-weighted mean of the first channel of the patches' radiance.
inline double meanRadiance(const Scene& s) {
    double sum = 0.0, area = 0.0;
    for (const Patch* p : s.patches) {
        sum += p->area * s.eyeRadianceSum(*p)[0] * s.displayScale;
        area += p->area;
    }
    return sum / area;
}

// A run's area-weighted mean radiance over the iterations after the first
// `start`, and over all. Each estimate starts at 0 and takes some hundred
// iterations to build up the bounces, which costs the whole run's mean about
// 0.1 % at 4000 iterations whatever the directions: the later mean shows
// what the directions do.
struct DiffuseRun {
    double late = 0.0, whole = 0.0;
};

inline DiffuseRun runDiffuse(std::unique_ptr<Scene> s, std::unique_ptr<DirectionSequence> sequence,
                             uint32_t seed, int iterations, int start = 1000) {
    s->useDirections(std::move(sequence), seed);
    double atStart = 0.0;
    s->afterIteration = [&](int i) {
        if (i == start) atStart = meanRadiance(*s);
    };
    runQuietly(*s, iterations);
    double whole = meanRadiance(*s);
    return {(whole * iterations - atStart * start) / (iterations - start), whole};
}

// The glossy floor: diffuse reflectance 0.3 and a lobe of weight 0.5 and
// exponent 20 (about 13 degrees wide), under a sky of radiance 1.
inline Material glossyMaterial() {
    Material m = box_scene::diffuseMaterial(0.3);
    m.specularScale = 0.5;
    m.exponent = 20.0;
    m.deriveCoefficients();
    return m;
}

// The floor y = 0, 100 × 100 in two patches facing up, under a sky of 1,
// seen from far away along `toEye` (a unit vector with y > 0).
inline std::unique_ptr<Scene> glossyFloor(const Vector& toEye) {
    auto s = std::make_unique<Scene>();
    s->materials[0] = glossyMaterial();
    s->materialCount = 1;
    s->skyRadiance = Color(1.0);
    box_scene::addQuad(*s, {-50, 0, -50}, {0, 0, 100}, {100, 0, 0}, 1, &s->materials[0]);
    s->camera.eye = toEye * 1e6;
    box_scene::prepareSolver(*s, kResolution);
    s->threadCount = 1;  // more would only hand the little work about
    return s;
}

// ∫ f(in → out) cos(in) dω(in) over the sky's hemisphere for the floor's
// glossy lobe alone and an outgoing direction of cosine `cosOut`, by the
// midpoint rule on a grid of steps × steps over cos(in) and the azimuth (a
// half turn, the lobe being symmetric about the plane of the normal and `out`).
inline double glossyIntegral(const Material& m, double cosOut, int steps = 400) {
    const int kSteps = steps;
    const double kPi = 3.141592653589793;
    Vector normal(0, 1, 0), out(std::sqrt(1.0 - cosOut * cosOut), cosOut, 0);
    double sum = 0.0;
    for (int a = 0; a < kSteps; ++a) {
        double mu = (a + 0.5) / kSteps, sine = std::sqrt(1.0 - mu * mu);
        for (int b = 0; b < kSteps; ++b) {
            double phi = (b + 0.5) / kSteps * kPi;
            Vector in(-sine * std::cos(phi), -mu, -sine * std::sin(phi));  // toward the floor
            sum += m.specularReflection(in, normal, out, mu, cosOut)[0] * mu;
        }
    }
    return sum * 2.0 * kPi / (double(kSteps) * kSteps);  // dμ dφ, both halves of the azimuth
}

// The floor's reflected radiance toward a direction of cosine `cosOut`
// under the sky of 1: its diffuse reflectance plus the lobe's integral.
inline double reflectedRadiance(const Material& m, double cosOut, int steps = 400) {
    return m.reflectance[0] * m.diffuseScale + glossyIntegral(m, cosOut, steps);
}

// The floor's exitance over π, ∫ L(out) cos(out) dω(out) / π: the radiance
// of a white diffuse ceiling that it lit alone. Midpoint rule over cos(out).
inline double exitanceOverPi(const Material& m, int steps = 32, int innerSteps = 400) {
    const int kSteps = steps;
    double sum = 0.0;
    for (int a = 0; a < kSteps; ++a) {
        double mu = (a + 0.5) / kSteps;
        sum += reflectedRadiance(m, mu, innerSteps) * mu;
    }
    return 2.0 * sum / kSteps;  // 2π ∫ L μ dμ / π
}

// What a run of the glossy floor gives: its radiance toward the eye, and
// 2 · the mean over the iterations of what it sends along the bundle times
// |cos|, which estimates its exitance over π: what it sends is made from
// the previous direction's light and the current direction, so this is what
// shows whether the pairs of successive directions are as good as independent.
struct GlossyRun {
    double eye = 0.0, sent = 0.0;
};

inline GlossyRun runGlossy(std::unique_ptr<DirectionSequence> sequence, uint32_t seed,
                           int iterations, const Vector& toEye, int threads = 1) {
    auto s = glossyFloor(toEye);
    s->threadCount = threads;
    s->useDirections(std::move(sequence), seed);
    const Patch* floor = s->patchesBySerial()[0];  // both send the same
    double sent = 0.0;
    s->afterIteration = [&](int) { sent += s->bundleOutgoing(*floor)[0] * std::fabs(s->direction.y); };
    runQuietly(*s, iterations);
    return {meanRadiance(*s), 2.0 * sent / iterations};
}

}  // namespace direction_scenes
