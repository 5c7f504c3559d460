#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/random_directions.h"
#include "geometry/vector.h"
#include "scene_language/scene_description.h"

// The whole state of a run: what the scene file describes (the readers'
// part), the tessellated geometry and the solver's state (the solver's
// part), and the run itself: its sequence, the iteration loop and the
// preview. The program has one, `scene`; tests make their own. Everything it
// points to lives until the process ends.
class Scene : public SceneDescription {
  public:
    Scene();
    ~Scene();

    // Run sequence (run_sequence.cpp, scene.cpp)
    void prepareRun(const char* sceneName, const char* referenceName);
    void computeBounds();
    void saveGeometry();
    void restoreGeometry();
    void translate(const Vector& offset);
    void createBundleBuffer();
    void computeEyeDirections();

    // Iteration loop and progress output (iteration_loop.cpp)
    void iterate(int count);
    void iterateOnce(int plannedIterations, Vector& previousDirection);
    void startRunClock();
    void printProgress(int n) const;
    // Sets `direction` to the next direction of the run's sequence.
    void randomDirection();
    // The run's directions (direction_sequence.cpp): the random kind unless
    // this is called, once, after the scene file is read and before the
    // first iteration. A seed other than 0 also moves the generator to a
    // state of its own, so that every random choice of the run (the random
    // kind's directions, the selection tests) differs from seed to seed; the
    // scene itself, read before, stays the same. Kind random with seed 0 is
    // the window program's run.
    void useDirections(std::unique_ptr<DirectionSequence> sequence, uint32_t seed);

    // Preview display (preview.cpp)
    void drawPreview();
    // The mean eye radiance of the patches around a vertex, as the last
    // preview drew it (zero before any).
    Color previewColor(const Vertex& v) const {
        return static_cast<size_t>(v.index) < previewColors_.size() ? previewColors_[v.index]
                                                                    : Color();
    }
    // Loads the camera's matrices with depth planes around what it sees.
    void applyCamera();

    // Called with the number of each finished iteration, when set.
    std::function<void(int)> afterIteration;
    // Asked after each finished iteration, when set: true ends the run there,
    // with the results of the iterations done.
    std::function<bool()> stopRequested;

    // Stages of the run sequence that a caller may follow (the renderer's
    // progress and camera options). At SceneRead the scene file has been read
    // and nothing has used the camera yet: a changed camera holds for the
    // whole run, eye terms included (the tessellation is already done). At
    // RunClockStarted the first shot, if `firstShot` is set, comes next.
    enum class RunStage { SceneRead, RunClockStarted };
    // Called at each stage, when set.
    std::function<void(RunStage)> runStageReached;

  private:
    long runClockMs_ = 0;               // elapsed-time clock value when the run started
    std::vector<Color> previewColors_;  // by vertex index: the preview's corner colours
    std::unique_ptr<DirectionSequence> directions_ = std::make_unique<RandomDirections>();
};

// The program's scene.
extern Scene scene;
