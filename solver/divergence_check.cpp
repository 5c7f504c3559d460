#include "solver/divergence_check.h"

#include <cmath>

namespace {
bool isHeld(const Color& c, double scale) {
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(c[i] * scale) <= kLargestRadiance)) return false;  // NaN too
    return true;
}

bool hasDiverged(const Patch& p, double displayScale) {
    return !isHeld(p.eyeRadianceSum, displayScale) || !isHeld(p.diffuseEstimate, 1.0) ||
           !isHeld(p.bundleOutgoing, 1.0);
}

bool isSuspect(const Material& m) { return m.reflectsMoreThanItReceives() || m.hasNegativeValue(); }

// Whether `p` names the divergence better than `named`.
bool namesBetter(const Patch& p, const Patch* named) {
    if (!named) return true;
    bool suspect = isSuspect(*p.material), namedSuspect = isSuspect(*named->material);
    if (suspect != namedSuspect) return suspect;
    return p.serial < named->serial;
}
}  // namespace

const Patch* findDivergedPatch(const SolverState& s) {
    const Patch* named = nullptr;
    for (const Patch* p : s.patches)
        if (hasDiverged(*p, s.displayScale) && namesBetter(*p, named)) named = p;
    return named;
}
