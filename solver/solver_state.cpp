// Storage of the patches and lights, solver initialisation and the
// per-iteration bookkeeping of the patches.
#include "solver/solver_state.h"

#include <algorithm>

#include "base/fatal_error.h"
#include "solver/bundle_buffer.h"
#include "solver/item_buffer.h"
#include "solver/thread_pool.h"

SolverState::SolverState()
    : threadCount(ThreadPool::hardwareThreads()), itemBuffer_(std::make_unique<ItemBuffer>()) {}

SolverState::~SolverState() = default;

Patch* SolverState::addPatch(Patch& patchTemplate) {
    size_t index = patches.size();
    if (index % kPatchBlock == 0) patchBlocks_.emplace_back(new Patch[kPatchBlock]);
    patchTemplate.serial = static_cast<int32_t>(index);
    Patch* p = &patchBlocks_.back()[index % kPatchBlock];
    *p = patchTemplate;
    patches.push_back(p);
    records_.push_back(p);
    return p;
}

int SolverState::addLight(const Color& power, const Vector& position) {
    if (lightCount == limits::kMaxLights) fatalError(1, "Light table overflow\n");
    lights[lightCount].power = power;
    lights[lightCount].position = position;
    return lightCount++;
}

void SolverState::initSolver() {
    double emittingSurfaces = 0.0;
    for (int i = 0; i < patchCount(); ++i) {
        Patch* p = patches[i];
        p->serial = i;
        p->eyeRadianceSum = Color();
        p->diffuseEstimate = Color();
        if (p->material->emitting) emittingSurfaces += 1.0 / std::max<int>(1, p->shotStride);
    }
    // Each emitting surface becomes a light of a table of 25: with as many
    // surfaces, emission travels with the bundles instead.
    if (static_cast<long long>(emittingSurfaces) >= limits::kMaxLights) firstShot = 0;
}

void SolverState::updatePatches(const Vector& previousDirection, int plannedIterations) {
    // Every step works on one patch alone, so one sweep does them all, in
    // the order the steps are defined, with the same results as a sweep per
    // step, and chunks of patches can go to different threads.
    workers().forChunks(records_.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) {
            Patch* p = records_[i];
            p->updateOutgoing(previousDirection, direction, lights, iteration, firstShot);
            p->updateEyeTerms(previousDirection, lights);
            p->accumulateEye(plannedIterations);
            p->resetBundleTerms();
        }
    });
}

void SolverState::resetBundleTerms() {
    workers().forChunks(records_.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) records_[i]->resetBundleTerms();
    });
}

ThreadPool& SolverState::workers() {
    int threads = std::max(1, threadCount);
    if (!workers_ || workers_->threads() != threads) {
        workers_.reset();  // its threads end before the new pool's start
        workers_ = std::make_unique<ThreadPool>(threads);
    }
    return *workers_;
}
