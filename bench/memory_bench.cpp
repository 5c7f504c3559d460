// Peak memory of a run, per patch, with the share of each part of the solver,
// next to the time per iteration.
//
// Each case runs in a child process of its own, so that its peak (the
// kernel's high-water mark of resident memory, VmHWM) holds nothing of the
// other cases: the child builds the closed cube of bench/cube_scene.h, runs
// 20 iterations on the given threads and reports. The counters, in bytes
// per patch: peak (everything resident at the peak: program, libraries,
// thread stacks, allocator overhead), what the program held before the scene
// was built (start) and the peak once it was built and prepared (built), the
// parts the solver holds after the run, and the rest of the peak (unlisted).
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/scene.h"
#include "base/memory_policy.h"
#include "bench/cube_scene.h"

namespace {

constexpr int kIterations = 20;

// A line "Name:  N kB" of /proc/self/status, in bytes; 0 when absent.
double statusBytes(const char* name) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0.0;
    char line[256];
    double bytes = 0.0;
    size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, name, length) == 0 && line[length] == ':')
            bytes = 1024.0 * std::strtod(line + length + 1, nullptr);
    std::fclose(f);
    return bytes;
}

// What a child measures, sent whole through a pipe.
struct Measurement {
    double patches, secondsPerIteration, start, built, peak;
    SolverState::MemoryUse parts;
};

Measurement measure(int patches, int threads, int lights) {
    Measurement m{};
    returnLargeBlocksToTheSystem();  // as the programs do
    m.start = statusBytes("VmRSS");
    auto s = cube_scene::make(patches);
    // As if a first shot had found `lights` point lights seeing every patch.
    for (int l = 0; l < lights; ++l) {
        s->addLight(Color(1.0), Vector(0.0, 0.0, 0.1 * l));
        for (const Patch* p : s->patches) s->lightTable().add(p->serial, l, 1e-3);
    }
    s->lightTable().build(s->patches.size());
    s->settleConstantTerms();
    m.built = statusBytes("VmHWM");
    s->threadCount = threads;
    Vector previous(0.0, 0.0, 1.0);
    s->iterateOnce(4000, previous);  // the work arrays reach their size
    ++s->iteration;
    auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < kIterations; ++i, ++s->iteration) s->iterateOnce(4000, previous);
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    m.patches = s->patchCount();
    m.secondsPerIteration = elapsed.count() / kIterations;
    m.peak = statusBytes("VmHWM");
    m.parts = s->memoryUse();
    return m;
}

// Runs `measure` in a child process; false when the child failed.
bool measureApart(int patches, int threads, int lights, Measurement& m) {
    int fd[2];
    if (pipe(fd) != 0) return false;
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(fd[0]);
        Measurement result = measure(patches, threads, lights);
        bool sent = write(fd[1], &result, sizeof result) == sizeof result;
        _exit(sent ? 0 : 1);
    }
    close(fd[1]);
    bool read = ::read(fd[0], &m, sizeof m) == sizeof m;
    close(fd[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return read && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void peakMemory(benchmark::State& state) {
    const int patches = static_cast<int>(state.range(0));
    const int threads = static_cast<int>(state.range(1));
    const int lights = static_cast<int>(state.range(2));
    Measurement m{};
    for (auto _ : state) {
        if (!measureApart(patches, threads, lights, m)) {
            state.SkipWithError("the measuring process failed");
            return;
        }
        state.SetIterationTime(m.secondsPerIteration);
    }
    const double n = m.patches;
    const SolverState::MemoryUse& p = m.parts;
    state.counters["patches"] = n;
    state.counters["peak"] = m.peak / n;
    state.counters["start"] = m.start / n;
    state.counters["built"] = m.built / n;
    state.counters["patchRecords"] = p.patchRecords / n;
    state.counters["patchLists"] = p.patchLists / n;
    state.counters["vertices"] = p.vertexRecords / n;
    state.counters["vertexLists"] = p.vertexLists / n;
    state.counters["terms"] = p.patchTerms / n;
    state.counters["lightTable"] = p.lightTable / n;
    state.counters["bundleWork"] = p.bundleWork / n;
    state.counters["bandLists"] = p.bandLists / n;
    state.counters["buffer"] = p.bundleBuffer / n;
    state.counters["unlisted"] = (m.peak - m.start - static_cast<double>(p.total())) / n;
}

}  // namespace

// One measurement per case: a run of its own. Time per iteration. With
// lights: every patch has that many light-list entries, as after a first
// shot from lights that see every patch.
BENCHMARK(peakMemory)
    ->ArgsProduct({{10000, 200000, 1000000}, {1, 2}, {0}})
    ->Args({1000000, 2, 1})
    ->Args({1000000, 2, 3})
    ->ArgNames({"patches", "threads", "lights"})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
