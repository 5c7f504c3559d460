// The scenes of tests/app/direction_bias_test.cpp at long runs, with the
// sobol points also in larger shuffled blocks and in their own order
// (direction_study bias).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/scene.h"
#include "bench/direction_study.h"
#include "tests/support/direction_scenes.h"

namespace {
using Kind = DirectionSequence::Kind;

struct Variant {
    const char* name;
    Kind kind;
    uint32_t blockSize;
};
const Variant kVariants[] = {{"random", Kind::Random, 1},
                             {"sobol", Kind::Sobol, SobolDirections::kBlockSize},
                             {"sobol, blocks of 4096", Kind::Sobol, 4096},
                             {"sobol in order", Kind::Sobol, 1}};

const int kStart = 1000;  // the iterations that a late mean leaves out
const int kLong = 64000;  // a long run of the diffuse scenes
const int kShort = 4000;  // the tests' runs
const int kShortSeeds = 8;

direction_scenes::DiffuseRun runDiffuse(const std::function<std::unique_ptr<Scene>()>& make,
                                        const Variant& v, uint32_t seed, int iterations,
                                        int threads) {
    auto s = make();
    s->threadCount = threads;
    return direction_scenes::runDiffuse(std::move(s),
                                        direction_scenes::sequence(v.kind, seed, v.blockSize), seed,
                                        iterations, kStart);
}

// The late means of runs with the seeds first, first + 1, ….
std::vector<double> lateMeans(const std::function<std::unique_ptr<Scene>()>& make, const Variant& v,
                              uint32_t first, int runs, int iterations, int threads,
                              std::vector<double>* wholes = nullptr) {
    std::vector<double> late;
    for (int r = 0; r < runs; ++r) {
        direction_scenes::DiffuseRun d = runDiffuse(make, v, first + r, iterations, threads);
        late.push_back(d.late);
        if (wholes) wholes->push_back(d.whole);
    }
    return late;
}

// Each variant's long runs, and 8 seeds at 4000 iterations, against the
// analytic value where the transfer reaches it (analytic > 0), else against
// random's converged value (its long runs' mean).
void diffuseScene(const char* name, const std::function<std::unique_ptr<Scene>()>& make,
                  double analytic, const StudyOptions& o) {
    double converged = analytic, spread;
    std::printf(
        "## %s\n\nLong runs: %d of %d iterations each, means after iteration %d; %d "
        "seeds × %d iterations: means of whole runs and after %d, against %s\n\n",
        name, o.longRuns, kLong, kStart, kShortSeeds, kShort, kStart,
        analytic > 0 ? "the analytic value" : "random's long runs");
    std::printf(
        "| | long runs | ± (standard error) | %d × %d: whole | after %d | spread |\n"
        "|---|---|---|---|---|---|\n",
        kShortSeeds, kShort, kStart);
    for (const Variant& v : kVariants) {
        double longMean;
        meanAndSpread(lateMeans(make, v, 101, o.longRuns, kLong, o.threads), longMean, spread);
        if (converged == 0.0) converged = longMean;  // random's comes first
        std::vector<double> wholes;
        std::vector<double> late = lateMeans(make, v, 1, kShortSeeds, kShort, o.threads, &wholes);
        double whole, wholeSpread, lateMean, lateSpread;
        meanAndSpread(wholes, whole, wholeSpread);
        meanAndSpread(late, lateMean, lateSpread);
        std::printf("| %s | %.6g (%+.3f %%) | %.3f %% | %+.3f %% | %+.3f %% | %.3f %% |\n", v.name,
                    longMean, 100 * (longMean / converged - 1),
                    100 * spread / std::sqrt(o.longRuns) / converged, 100 * (whole / converged - 1),
                    100 * (lateMean / converged - 1), 100 * lateSpread / converged);
    }
    std::printf("\n");
}

void glossyRuns(const char* title, int runs, int iterations, const Vector& toEye, double eye,
                double sent, const StudyOptions& o) {
    std::printf("%s: %d seeds × %d iterations, ratio to the integral (min, mean, max)\n\n", title,
                runs, iterations);
    std::printf("| | toward the eye | sent, cos-weighted |\n|---|---|---|\n");
    for (const Variant& v : kVariants) {
        double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300}, mean[2] = {0, 0};
        for (int seed = 1; seed <= runs; ++seed) {
            direction_scenes::GlossyRun r =
                direction_scenes::runGlossy(direction_scenes::sequence(v.kind, seed, v.blockSize),
                                            seed, iterations, toEye, o.threads);
            double ratio[2] = {r.eye / eye, r.sent / sent};
            for (int k = 0; k < 2; ++k) {
                lo[k] = std::fmin(lo[k], ratio[k]);
                hi[k] = std::fmax(hi[k], ratio[k]);
                mean[k] += ratio[k] / runs;
            }
        }
        std::printf("| %s | %.4f, %.4f, %.4f | %.4f, %.4f, %.4f |\n", v.name, lo[0], mean[0], hi[0],
                    lo[1], mean[1], hi[1]);
    }
    std::printf("\n");
}

void glossyScene(const StudyOptions& o) {
    Material m = direction_scenes::glossyMaterial();
    const Vector toEye(0.6, 0.8, 0.0);
    double eye = direction_scenes::reflectedRadiance(m, toEye.y);
    double sent = direction_scenes::exitanceOverPi(m);
    std::printf(
        "## glossy floor under the sky\n\nintegrals: toward the eye (cos %.2f) %.6g, "
        "exitance over π %.6g; finer quadrature: %.6g (grid 1600), %.6g (64 × 800)\n\n",
        toEye.y, eye, sent, direction_scenes::reflectedRadiance(m, toEye.y, 1600),
        direction_scenes::exitanceOverPi(m, 64, 800));
    glossyRuns("long runs", o.longRuns, 200000, toEye, eye, sent, o);
    glossyRuns("the test's seeds", 16, 5000, toEye, eye, sent, o);
    glossyRuns("longer", 16, 20000, toEye, eye, sent, o);
}
}  // namespace

int biasStudy(const StudyOptions& o) {
    auto start = std::chrono::steady_clock::now();
    diffuseScene("closed emitting box (48 patches)", direction_scenes::emittingBox, 0.0, o);
    diffuseScene("floor under the sky (50 patches)", direction_scenes::floorUnderTheSky, 0.3, o);
    glossyScene(o);
    std::printf("(%.0f s)\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
