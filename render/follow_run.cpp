#include "render/follow_run.h"

#include <chrono>

#include "app/scene.h"
#include "base/fatal_error.h"
#include "base/run_log.h"
#include "render/convergence_log.h"
#include "render/progress_reporter.h"
#include "render/render_options.h"

namespace {
// The directions and the seed take over from here: the scene read with the
// generator's first numbers is the same for every seed.
void sceneRead(Scene& s, const RenderOptions& o, ProgressReporter& progress) {
    s.useDirections(DirectionSequence::make(o.directions, o.seed), o.seed);
    progress.loadingFinished(s.patchCount());
    std::string error;
    if (!o.camera.applyTo(s.camera, error)) fatalError(2, "ray-bundle-render: " + error + "\n");
}
}  // namespace

void followRun(Scene& s, const RenderOptions& o, ProgressReporter& progress, ConvergenceLog& log) {
    s.runStageReached = [&s, &o, &progress](Scene::RunStage stage) {
        if (stage == Scene::RunStage::SceneRead) sceneRead(s, o, progress);
        if (stage == Scene::RunStage::RunClockStarted) progress.runClockStarted(s.firstShot != 0);
    };
    auto start = std::chrono::steady_clock::now();
    s.afterIteration = [&s, &o, &progress, &log, start](int i) {
        if (!o.convergenceFile.empty() && (i % 20 == 0 || i == o.iterations)) {
            auto elapsed = std::chrono::steady_clock::now() - start;
            log.record(s, i, std::chrono::duration<double>(elapsed).count());
        }
        progress.iterationFinished(i);
    };
    muteRunLog(true);
}
