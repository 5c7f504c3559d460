// Solver initialisation and the per-iteration bookkeeping of the patches.
#include "app/scene.h"

void Scene::initSolver() {
    double emittingSurfaces = 0.0;
    for (int i = 0; i < patchCount(); ++i) {
        Patch* p = patches[i];
        p->serial = i;
        p->eyeRadianceSum = Color();
        p->diffuseEstimate = Color();
        if (p->material->emitting) emittingSurfaces += 1.0 / p->shotStride;
    }
    // Each emitting surface becomes a light of a table of 25: with as many
    // surfaces, emission travels with the bundles instead.
    if (static_cast<long long>(emittingSurfaces) >= kMaxLights) firstShot = 0;
}

void Scene::accumulate(int plannedIterations) {
    double n = plannedIterations;
    for (Patch* p : patches)
        p->eyeIncrement = p->eyeDirect / n + p->diffuseEstimate / n +
                          p->bundleIncoming * (p->eyeSpecularFactor / (2.0 * n));
    for (Patch* p : patches) p->eyeRadianceSum += p->eyeIncrement;
}

void Scene::resetBundleTerms() {
    for (Patch* p : patches) {
        p->bundleIncoming = Color();
        p->eyeIncrement = Color();
        p->pixelCount = 0;
    }
}
