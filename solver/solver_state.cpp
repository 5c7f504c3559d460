// Solver initialisation and the per-iteration bookkeeping of the patches.
#include <algorithm>

#include "app/scene.h"

void Scene::initSolver() {
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
    if (static_cast<long long>(emittingSurfaces) >= kMaxLights) firstShot = 0;
}

void Scene::accumulate(int plannedIterations) {
    for (Patch* p : patches) p->accumulateEye(plannedIterations);
}

void Scene::resetBundleTerms() {
    for (Patch* p : patches) p->resetBundleTerms();
}

void Scene::updatePatches(const Vector& previousDirection, int plannedIterations) {
    // Every step works on one patch alone, so one sweep does them all, in
    // the order the steps are defined, with the same results as a sweep per step.
    for (Patch* p : patches) {
        p->updateOutgoing(previousDirection, direction, lights, iteration, firstShot);
        p->updateEyeTerms(previousDirection, lights);
        p->accumulateEye(plannedIterations);
        p->resetBundleTerms();
    }
}
