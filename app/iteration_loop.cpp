// The iteration loop, its run clock, progress line and random directions.
#include <chrono>
#include <string>

#include "app/scene.h"
#include "base/fatal_error.h"
#include "base/run_log.h"
#include "solver/divergence_check.h"

namespace {
// Milliseconds of elapsed real time on a monotonic clock.
long elapsedMilliseconds() {
    using namespace std::chrono;
    return static_cast<long>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Ends the program when the solution has left the numbers: nothing that
// follows could show it.
void endIfDiverged(SolverState& s, int iteration) {
    const Patch* p = findDivergedPatch(s);
    if (!p) return;
    fatalError(kDivergedStatus, std::string("\nThe solution diverges: the radiance of material ") +
                                    p->material->name.c_str() + " is not finite after iteration " +
                                    std::to_string(iteration) + "\n");
}
}  // namespace

void Scene::startRunClock() { runClockMs_ = elapsedMilliseconds(); }

void Scene::printProgress(int n) const {
    double seconds = static_cast<double>(elapsedMilliseconds() - runClockMs_) * 0.001;
    runLog() << "iteration = " << n << ", time = " << seconds << " seconds            \r";
}

void Scene::randomDirection() { direction = directions_->next(random); }

void Scene::iterate(int count) {
    runLog() << "\n================================\n"
             << "Rendering. Number of iterations: " << count << "\n";
    Vector previousDirection(0.0, 0.0, 1.0);
    iteration = 1;
    while (iteration <= count) {
        int i = iteration;
        if (i % 20 == 1) printProgress(i);
        iterateOnce(count, previousDirection);
        if (i % 20 == 1) endIfDiverged(*this, i);        // checked with every progress line
        if (i % 20 == 1 && hasGLContext) drawPreview();  // the scene is where it was read
        if (swapBuffers) swapBuffers();
        if (afterIteration) afterIteration(i);
        iteration = i + 1;
        if (stopRequested && stopRequested()) break;
    }
    if (iteration > 1) endIfDiverged(*this, iteration - 1);
}

// The scene's vertices stay where the file put them: the bundle places a
// copy of them (see SolverState::transferBundle).
void Scene::iterateOnce(int plannedIterations, Vector& previousDirection) {
    randomDirection();
    updateAndTransfer(previousDirection, plannedIterations);
    displayScale = static_cast<double>(plannedIterations) / iteration;
    previousDirection = direction;
}
