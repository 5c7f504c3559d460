// Cost of one solver iteration and of the bundle transfer alone, next to the
// floor that any transfer has to pay: clearing the bundle buffer and writing
// each cell that the scene's patches cover once.
//
// Scenes: the inside of a closed cube (bench/cube_scene.h), tessellated to
// about 10,000, 200,000 and 1,000,000 patches. Each run of a benchmark draws
// its own directions. The transfer and the iteration run with 1 and 2
// threads and are timed by the wall clock; the baseline is single-threaded.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "app/scene.h"
#include "base/memory_policy.h"
#include "bench/cube_scene.h"
#include "solver/bundle_buffer.h"
#include "solver/scan_converter.h"

namespace {

// The programs' allocation policy (base/memory_policy.h), from the start.
struct AllocationPolicy {
    AllocationPolicy() { returnLargeBlocksToTheSystem(); }
} allocationPolicy;

Scene& cubeScene(int patches) {
    static std::map<int, std::unique_ptr<Scene>> scenes;
    auto& s = scenes[patches];
    if (!s) s = cube_scene::make(patches);
    return *s;
}

// Turns the scene's vertices along the next random direction, for reading
// the placed scene (the transfer places a copy of its own).
void placeAlongNewDirection(Scene& s) {
    s.restoreGeometry();
    s.randomDirection();
    s.resetBundleTerms();
    s.translate(-s.center);
    s.setUpBundle();
}

void wholeIteration(benchmark::State& state) {
    Scene& s = cubeScene(static_cast<int>(state.range(0)));
    s.threadCount = static_cast<int>(state.range(1));
    Vector previous(0.0, 0.0, 1.0);
    for (auto _ : state) {
        s.iterateOnce(4000, previous);
        ++s.iteration;
    }
    state.counters["patches"] = s.patchCount();
}

void transferAlone(benchmark::State& state) {
    Scene& s = cubeScene(static_cast<int>(state.range(0)));
    s.threadCount = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        s.randomDirection();
        s.resetBundleTerms();
        state.ResumeTiming();
        s.transferBundle();
    }
}

// The cells of every patch for a few placed directions, as row spans.
struct Span {
    int start, end;  // cell indices
};

std::vector<std::vector<Span>> coveredSpans(Scene& s, int directions) {
    std::vector<std::vector<Span>> all(directions);
    int side = s.bundleBuffer->side;
    for (auto& spans : all) {
        placeAlongNewDirection(s);
        for (const Patch* p : s.patches) {
            ProjectedTriangle t;
            for (int i = 0; i < 3; ++i) {
                const Vector& v = p->vertices[i]->position;
                t.x[i] = static_cast<float>(s.resolution * (v.x / s.extent + 1.0) * 0.5);
                t.y[i] = static_cast<float>(s.resolution * (v.y / s.extent + 1.0) * 0.5);
            }
            scanTriangle(t, side, [&](int row, int first, int end) {
                spans.push_back({first + row * side, end + row * side});
            });
        }
    }
    return all;
}

void clearAndWriteBaseline(benchmark::State& state) {
    Scene& s = cubeScene(static_cast<int>(state.range(0)));
    auto directions = coveredSpans(s, 16);
    int32_t* cells = s.bundleBuffer->cells.get();
    size_t cellCount = static_cast<size_t>(s.bundleBuffer->side) * s.bundleBuffer->side;
    size_t next = 0, written = 0;
    for (auto _ : state) {
        const auto& spans = directions[next++ % directions.size()];
        std::fill(cells, cells + cellCount, 0);
        int32_t id = 1;
        for (const Span& span : spans) {
            std::fill(cells + span.start, cells + span.end, id++);
            written += span.end - span.start;
        }
        benchmark::ClobberMemory();
    }
    state.counters["cellsWritten"] =
        benchmark::Counter(static_cast<double>(written), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(clearAndWriteBaseline)
    ->Arg(10000)
    ->Arg(200000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
// Scene size and threads; wall-clock time, as the threads share the work.
BENCHMARK(transferAlone)
    ->ArgsProduct({{10000, 200000, 1000000}, {1, 2}})
    ->ArgNames({"patches", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(wholeIteration)
    ->ArgsProduct({{10000, 200000, 1000000}, {1, 2}})
    ->ArgNames({"patches", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
