// Storage of the patches and lights, solver initialisation and the
// per-iteration bookkeeping of the patches.
#include "solver/solver_state.h"

#include <algorithm>

#include "base/fatal_error.h"
#include "solver/bundle_buffer.h"
#include "solver/item_buffer.h"
#include "solver/patch_update.h"
#include "solver/thread_pool.h"

SolverState::SolverState()
    : threadCount(ThreadPool::hardwareThreads()), itemBuffer_(std::make_unique<ItemBuffer>()) {}

SolverState::~SolverState() = default;

Patch* SolverState::addPatch(Patch& patchTemplate) {
    size_t index = patches.size();
    if (index % kPatchBlock == 0) patchBlocks_.emplace_back(new Patch[kPatchBlock]);
    // The list grows by a quarter: little spare room, and few copies.
    if (index == patches.capacity())
        patches.reserve(index + std::max<size_t>(kPatchBlock, index / 4));
    patchTemplate.serial = static_cast<int32_t>(index);
    Patch* p = &patchBlocks_.back()[index % kPatchBlock];
    *p = patchTemplate;
    patches.push_back(p);
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
    bySerial_.assign(patches.begin(), patches.end());
    bySerial_.shrink_to_fit();
    for (int i = 0; i < patchCount(); ++i) {
        Patch* p = patches[i];
        p->serial = i;
        if (p->material->emitting) emittingSurfaces += 1.0 / std::max<int>(1, p->shotStride);
    }
    terms_.reset(patches.size());  // eyeRadianceSum and diffuseEstimate start at zero
    vertices.endMerging();         // the scene is read
    lightTable_.clear();
    if (bundleBuffer) bundleBuffer->work.corners.clear();  // listed anew by the next bundle
    // Each emitting surface becomes a light of a table of 25: with as many
    // surfaces, emission travels with the bundles instead.
    if (static_cast<long long>(emittingSurfaces) >= limits::kMaxLights) firstShot = 0;
}

void SolverState::checkPatchArrays() {
    if (terms_.size() < patches.size()) terms_.grow(patches.size());
    if (bySerial_.size() != patches.size()) {
        bySerial_.assign(patches.size(), nullptr);
        for (Patch* p : patches) bySerial_[p->serial] = p;
    }
}

void SolverState::settleConstantTerms() {
    checkPatchArrays();
    // Per patch only when some patch has a light list; otherwise the
    // material and the flags give them.
    terms_.holdConstants(lightTable_.entryCount() > 0 ? bySerial_.size() : 0);
    workers().forChunks(bySerial_.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t s = first; s < end; ++s)
            ::settleConstantTerms(*bySerial_[s], lights, lightTable_, firstShot, terms_);
    });
    settledLights_ = lightTable_.generation();
    settledFirstShot_ = firstShot;
}

std::vector<Color> SolverState::eyeRadianceSums(const std::vector<Patch*>& list) const {
    std::vector<Color> sums(list.size());
    for (size_t i = 0; i < list.size(); ++i) sums[i] = eyeRadianceSum(*list[i]);
    return sums;
}

Color SolverState::emittedAndDirectDiffuse(const Patch& p) const {
    return ::emittedAndDirectDiffuse(p, lights, lightTable_);
}

PatchUpdateInput SolverState::updateInput(const Vector& previousDirection,
                                          int plannedIterations) {
    checkPatchArrays();
    checkConstantTerms();
    PatchUpdateInput update;
    update.previousDirection = previousDirection;
    update.direction = direction;
    update.lights = lights;
    update.lightTable = &lightTable_;
    update.iteration = iteration;
    update.firstShot = firstShot;
    update.plannedIterations = plannedIterations;
    return update;
}

void SolverState::updatePatches(const Vector& previousDirection, int plannedIterations) {
    const PatchUpdateInput update = updateInput(previousDirection, plannedIterations);
    workers().forChunks(bySerial_.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        ::updatePatches(bySerial_, first, end, update, terms_);
    });
}

void SolverState::resetBundleTerms() {
    checkPatchArrays();
    workers().forChunks(terms_.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t s = first; s < end; ++s) {
            terms_.exchange[s].incoming = Color();
            terms_.exchange[s].pixelCount = 0;
        }
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

size_t SolverState::MemoryUse::total() const {
    return patchRecords + patchLists + vertexRecords + vertexLists + patchTerms + lightTable +
           bundleWork + bandLists + bundleBuffer;
}

SolverState::MemoryUse SolverState::memoryUse() const {
    MemoryUse m;
    m.patchRecords = patchBlocks_.size() * kPatchBlock * sizeof(Patch);
    m.patchLists = (patches.capacity() + bySerial_.capacity()) * sizeof(Patch*);
    m.vertexRecords = vertices.recordBytes();
    m.vertexLists = vertices.listBytes();
    m.patchTerms = terms_.bytes();
    m.lightTable = lightTable_.bytes();
    if (bundleBuffer) {
        m.bandLists = bundleBuffer->work.transfer.bytes();
        m.bundleWork = bundleBuffer->work.bytes() - m.bandLists;
        m.bundleBuffer = static_cast<size_t>(bundleBuffer->side) * bundleBuffer->side * 4;
    }
    return m;
}
