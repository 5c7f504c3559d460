#include "solver/divergence_check.h"

#include <cmath>
#include <vector>

#include "solver/thread_pool.h"

namespace {
bool isHeld(const Color& c, double scale) {
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(c[i] * scale) <= kLargestRadiance)) return false;  // NaN too
    return true;
}

bool hasDiverged(const PatchTerms& t, size_t s, double displayScale) {
    return !isHeld(t.eyeRadianceSum[s], displayScale) || !isHeld(t.diffuseEstimate[s], 1.0) ||
           !isHeld(t.exchange[s].outgoing, 1.0);
}

bool isSuspect(const Material& m) { return m.reflectsMoreThanItReceives() || m.hasNegativeValue(); }

// Whether `p` names the divergence better than `named`: an order of the
// patches (suspect material first, then serial), so the choice does not
// depend on the order they are looked at.
bool namesBetter(const Patch& p, const Patch* named) {
    if (!named) return true;
    bool suspect = isSuspect(*p.material), namedSuspect = isSuspect(*named->material);
    if (suspect != namedSuspect) return suspect;
    return p.serial < named->serial;
}
}  // namespace

const Patch* findDivergedPatch(SolverState& s) {
    const std::vector<Patch*>& bySerial = s.patchesBySerial();
    const PatchTerms& terms = s.terms();
    if (terms.size() < bySerial.size()) return nullptr;  // nothing has run
    const size_t chunk = ThreadPool::kSweepChunk;
    std::vector<const Patch*> named((bySerial.size() + chunk - 1) / chunk, nullptr);
    s.workers().forChunks(bySerial.size(), chunk, [&](size_t first, size_t end) {
        const Patch*& best = named[first / chunk];
        for (size_t i = first; i < end; ++i)
            if (hasDiverged(terms, i, s.displayScale) && namesBetter(*bySerial[i], best))
                best = bySerial[i];
    });
    const Patch* best = nullptr;
    for (const Patch* p : named)
        if (p && namesBetter(*p, best)) best = p;
    return best;
}
