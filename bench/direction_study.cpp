// How the iterations' direction sequences converge: the measurements of
// docs/directions.md. Not a test and not a timing benchmark: a program that
// runs a scene many times and prints tables. From the build tree:
//
//   bench/direction_study convergence SCENE [--seeds S] [--iterations N]
//       [--reference-runs R] [--reference-iterations M] [--threads T]
//     SCENE is a scene file or closed-box (an emitting cube of 1200 patches).
//     The area-weighted RMS relative error of the patches' radiance after
//     250 … N iterations, for S seeds of each kind, against the mean of R
//     sobol runs of M iterations with seeds of their own.
//   bench/direction_study bias [--long-runs R] [--threads T]
//     The bias tests' scenes at long runs (tests/app/direction_bias_test.cpp).
//
// Runs on the machine's shared cores should go under `nice -n 19`.
#include "bench/direction_study.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/scene.h"
#include "gl/offscreen_context.h"
#include "tests/support/box_scene.h"
#include "tests/support/direction_scenes.h"

namespace {
using Kind = DirectionSequence::Kind;
using Radiance = std::vector<double>;  // per patch record: the sum of the channels

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A scene file through the run sequence (with its first shot), or the cube.
std::unique_ptr<Scene> loadScene(const std::string& name, Kind kind, uint32_t seed, int threads) {
    auto s = std::make_unique<Scene>();
    s->threadCount = threads;
    if (name == "closed-box") {
        s->materials[0] = box_scene::diffuseMaterial(0.5, 0.2);
        s->materialCount = 1;
        box_scene::addClosedCube(*s, 5.0, 10, &s->materials[0]);
        s->camera.eye = Vector(0.5, 1.0, -1.5);
        box_scene::prepareSolver(*s);
        s->useDirections(direction_scenes::sequence(kind, seed), seed);
        return s;
    }
    s->runStageReached = [&s, kind, seed](Scene::RunStage stage) {
        if (stage == Scene::RunStage::SceneRead)
            s->useDirections(direction_scenes::sequence(kind, seed), seed);
    };
    muteRunLog(true);
    s->hasGLContext = true;  // the first shot renders its item buffers
    s->prepareRun(name.c_str(), "");
    s->hasGLContext = false;
    muteRunLog(false);
    return s;
}

Radiance radianceOf(const Scene& s) {
    Radiance r;
    for (const Patch* p : s.patchesBySerial()) {
        Color c = s.eyeRadianceSum(*p) * s.displayScale;
        r.push_back(c[0] + c[1] + c[2]);
    }
    return r;
}

// The radiance after each of the checkpoints (ascending, the last the run's length).
std::vector<Radiance> runScene(const std::string& name, Kind kind, uint32_t seed,
                               const std::vector<int>& checkpoints, int threads,
                               std::vector<double>* area = nullptr) {
    auto s = loadScene(name, kind, seed, threads);
    std::vector<Radiance> results;
    size_t next = 0;
    s->afterIteration = [&](int i) {
        if (next < checkpoints.size() && i == checkpoints[next]) {
            results.push_back(radianceOf(*s));
            ++next;
        }
    };
    direction_scenes::runQuietly(*s, checkpoints.back());
    if (area) {
        // Emitters are left out, unless all emit: their emission is exact.
        bool allEmit = true;
        for (const Patch* p : s->patchesBySerial()) allEmit = allEmit && p->material->emitting;
        area->clear();
        for (const Patch* p : s->patchesBySerial())
            area->push_back(p->material->emitting && !allEmit ? 0.0 : p->area);
    }
    return results;
}

// The area-weighted RMS of (r − reference) / reference over the counted
// patches: not emitting, and not darker than a thousandth of the mean.
struct ErrorMeasure {
    Radiance reference;
    std::vector<double> weight;  // area, 0 for a patch left out
    int counted = 0;

    double error(const Radiance& r) const {
        double sum = 0.0, total = 0.0;
        for (size_t i = 0; i < r.size(); ++i) {
            if (weight[i] == 0.0) continue;
            double e = (r[i] - reference[i]) / reference[i];
            sum += weight[i] * e * e;
            total += weight[i];
        }
        return std::sqrt(sum / total);
    }
    double mean(const Radiance& r) const {
        double sum = 0.0, total = 0.0;
        for (size_t i = 0; i < r.size(); ++i) sum += weight[i] * r[i], total += weight[i];
        return sum / total;
    }
};

ErrorMeasure makeMeasure(const std::vector<Radiance>& runs, const std::vector<double>& area) {
    ErrorMeasure m;
    m.reference.assign(runs[0].size(), 0.0);
    for (const Radiance& r : runs)
        for (size_t i = 0; i < r.size(); ++i) m.reference[i] += r[i] / runs.size();
    double mean = 0.0, total = 0.0;
    for (size_t i = 0; i < area.size(); ++i) mean += area[i] * m.reference[i], total += area[i];
    mean /= total;
    m.weight = area;
    for (size_t i = 0; i < area.size(); ++i) {
        if (m.reference[i] < 1e-3 * mean) m.weight[i] = 0.0;
        if (m.weight[i] > 0.0) ++m.counted;
    }
    return m;
}

// The reference mean's own RMS relative error, from the runs' spread.
double referenceError(const ErrorMeasure& m, const std::vector<Radiance>& runs) {
    double sum = 0.0, total = 0.0;
    double n = static_cast<double>(runs.size());
    for (size_t i = 0; i < m.reference.size(); ++i) {
        if (m.weight[i] == 0.0) continue;
        double var = 0.0;
        for (const Radiance& r : runs) var += std::pow(r[i] - m.reference[i], 2) / (n - 1.0);
        sum += m.weight[i] * var / n / (m.reference[i] * m.reference[i]);
        total += m.weight[i];
    }
    return std::sqrt(sum / total);
}

double rootMeanSquare(const std::vector<double>& v) {
    double s = 0.0;
    for (double x : v) s += x * x;
    return std::sqrt(s / v.size());
}

// Iterations at which a falling error curve reaches `target`, interpolated
// on log scales between checkpoints; 0 when it never does.
double iterationsToReach(const std::vector<int>& at, const std::vector<double>& error,
                         double target) {
    if (error[0] <= target) return at[0];
    for (size_t k = 1; k < at.size(); ++k)
        if (error[k] <= target) {
            double t = std::log(error[k - 1] / target) / std::log(error[k - 1] / error[k]);
            return at[k - 1] * std::pow(static_cast<double>(at[k]) / at[k - 1], t);
        }
    return 0.0;
}

struct KindCurves {
    std::vector<std::vector<double>> errors;  // [checkpoint][seed]
    std::vector<double> finalMeans;           // per seed: the area-weighted mean at the end
};

KindCurves measureKind(const std::string& name, Kind kind, const std::vector<int>& at,
                       const ErrorMeasure& m, const StudyOptions& o) {
    KindCurves c;
    c.errors.resize(at.size());
    for (int seed = 1; seed <= o.seeds; ++seed) {
        std::vector<Radiance> r = runScene(name, kind, seed, at, o.threads);
        for (size_t k = 0; k < at.size(); ++k) c.errors[k].push_back(m.error(r[k]));
        c.finalMeans.push_back(m.mean(r.back()));
    }
    return c;
}

void printConvergence(const std::vector<int>& at, const KindCurves& random, const KindCurves& sobol,
                      const ErrorMeasure& m) {
    std::printf("| iterations | random | sobol | random / sobol |\n|---|---|---|---|\n");
    std::vector<double> randomRms, sobolRms;
    for (size_t k = 0; k < at.size(); ++k) {
        randomRms.push_back(rootMeanSquare(random.errors[k]));
        sobolRms.push_back(rootMeanSquare(sobol.errors[k]));
        std::printf("| %d | %.3f %% | %.3f %% | %.2f |\n", at[k], 100 * randomRms[k],
                    100 * sobolRms[k], randomRms[k] / sobolRms[k]);
    }
    double reach = iterationsToReach(at, sobolRms, randomRms.back());
    std::printf("\nsobol reaches random's error at %d iterations after %.0f (%.1f times fewer)\n",
                at.back(), reach, reach > 0 ? at.back() / reach : 0.0);
    double rm, rs, sm, ss;
    meanAndSpread(random.finalMeans, rm, rs);
    meanAndSpread(sobol.finalMeans, sm, ss);
    double ref = m.mean(m.reference);
    std::printf(
        "area-weighted mean at %d: reference %.6g; random %+.3f %% (spread %.3f %%), "
        "sobol %+.3f %% (spread %.3f %%)\n",
        at.back(), ref, 100 * (rm / ref - 1), 100 * rs / ref, 100 * (sm / ref - 1), 100 * ss / ref);
}

int convergenceStudy(const std::string& name, const StudyOptions& o) {
    auto start = std::chrono::steady_clock::now();
    std::vector<double> area;
    std::vector<Radiance> references;
    for (int r = 0; r < o.referenceRuns; ++r)
        references.push_back(
            runScene(name, Kind::Sobol, 1001 + r, {o.referenceIterations}, o.threads, &area)[0]);
    ErrorMeasure m = makeMeasure(references, area);
    std::printf("## %s\n\n%zu patches, %d counted (emitters, unless all emit, and unlit patches left out)\n",
                name.c_str(), area.size(), m.counted);
    std::printf(
        "reference: the mean of %d sobol runs of %d iterations (seeds 1001 on); its own "
        "RMS relative error about %.3f %%\n",
        o.referenceRuns, o.referenceIterations, 100 * referenceError(m, references));
    std::vector<int> at;
    for (int n = 250; n < o.iterations; n *= 2) at.push_back(n);
    at.push_back(o.iterations);
    std::printf("%d seeds of each kind (1 on); RMS over the seeds of each run's error:\n\n",
                o.seeds);
    KindCurves random = measureKind(name, Kind::Random, at, m, o);
    KindCurves sobol = measureKind(name, Kind::Sobol, at, m, o);
    printConvergence(at, random, sobol, m);
    std::printf("(%.0f s)\n\n", secondsSince(start));
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: direction_study convergence SCENE [options] | bias [options]\n");
        return 2;
    }
    std::string mode = argv[1];
    std::string sceneName;
    StudyOptions o;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (a == "--seeds")
            o.seeds = value();
        else if (a == "--iterations")
            o.iterations = value();
        else if (a == "--reference-runs")
            o.referenceRuns = value();
        else if (a == "--reference-iterations")
            o.referenceIterations = value();
        else if (a == "--long-runs")
            o.longRuns = value();
        else if (a == "--threads")
            o.threads = value();
        else
            sceneName = a;
    }
    if (mode == "bias") return biasStudy(o);
    if (mode != "convergence" || sceneName.empty()) {
        std::fprintf(stderr, "direction_study: unknown mode or no scene\n");
        return 2;
    }
    OffscreenContext context;
    if (sceneName != "closed-box" && !context.create(560, 560)) {
        std::fprintf(stderr, "direction_study: no OpenGL context\n");
        return 3;
    }
    return convergenceStudy(sceneName, o);
}
