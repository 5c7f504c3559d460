// The sequence that turns a scene file name into a scene ready to iterate.

#include "app/scene.h"
#include "base/run_log.h"

namespace {
const char* const kSeparator = "\n================================\n";
}

void Scene::prepareRun(const char* sceneName, const char* referenceName) {
    resolution = 1000;
    runLog() << kSeparator << "Loading file " << sceneName << "\n";
    readSceneFile(sceneName);
    if (runStageReached) runStageReached(RunStage::SceneRead);

    runLog() << kSeparator << "Number of patches: " << patchCount() << "\n";
    runLog() << "Initializing\n";
    computeBounds();
    saveGeometry();

    // The reference name is echoed only; no reference file is read.
    runLog() << kSeparator << "Loading reference:" << referenceName << "\n";
    if (hasGLContext) {
        applyCamera();
        drawPreview();
    }
    createBundleBuffer();
    initSolver();
    startRunClock();
    if (runStageReached) runStageReached(RunStage::RunClockStarted);
    if (firstShot) {
        runLog() << kSeparator << "First-shot \n";
        shootFirst();
        printProgress(0);
    } else {
        shootPointLights();  // silently: only the emitting surfaces are left to the bundles
    }
    if (hasGLContext) applyCamera();
    computeEyeDirections();
}
