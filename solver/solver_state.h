#pragma once

#include <memory>
#include <vector>

#include "base/limits.h"
#include "base/random.h"
#include "geometry/color.h"
#include "geometry/vector.h"
#include "geometry/vertex_pool.h"
#include "solver/patch.h"
#include "solver/point_light.h"

struct BundleBuffer;
class ItemBuffer;
class ThreadPool;

// The solver's share of the scene: the tessellated geometry, the light table
// and the state of the bundles, with the solver's operations on them. The
// scene (app/scene.h) is built on it; the file readers fill it.
class SolverState {
  public:
    static constexpr int kPatchBlock = 10000;  // patch records per allocation

    SolverState();
    ~SolverState();
    SolverState(const SolverState&) = delete;
    SolverState& operator=(const SolverState&) = delete;

    // Vertex and patch storage (solver_state.cpp)
    Vertex* addVertex(const Vector& point, bool merge) {
        return vertices.add(point, merge, objectNumber);
    }
    // Copies the template into a record that never moves and lists it; the
    // template's serial becomes its place in the list.
    Patch* addPatch(Patch& patchTemplate);
    // The patch records in creation order, which is their order in memory:
    // sweeps that treat each patch alone run faster over these than over
    // `patches`, which the depth sort shuffles.
    const std::vector<Patch*>& patchRecords() const { return records_; }
    int vertexCount() const { return static_cast<int>(vertices.size()); }
    int patchCount() const { return static_cast<int>(patches.size()); }
    // Appends a light to the table and returns its index; a 26th ends the
    // program with status 1.
    int addLight(const Color& power, const Vector& position);

    // Solver initialisation and the per-patch sweep (solver_state.cpp)
    void initSolver();
    // The patch update, accumulation and reset of one iteration in one sweep.
    void updatePatches(const Vector& previousDirection, int plannedIterations);
    // Clears what the next bundle accumulates, for every patch.
    void resetBundleTerms();
    // The threads of the iteration's parallel work, threadCount of them; made
    // anew when threadCount has changed.
    ThreadPool& workers();

    // Bundle transfer (bundle_transfer.cpp)
    void setUpBundle();
    void transferBundle();

    // Item buffer and first shot (item_buffer.cpp, first_shot.cpp)
    void renderFace(const Vector& eye, const Vector& direction, const Vector& up, bool fullFace);
    void shootFirst();
    // The point lights' part of the first shot alone: with too many emitting
    // surfaces for the light table, those travel with the bundles, but the
    // point lights are still shot.
    void shootPointLights();

    int iteration = 0;                           // iteration under way, from 1
    std::unique_ptr<BundleBuffer> bundleBuffer;  // made by the run sequence
    PointLight lights[limits::kMaxLights];
    int lightCount = 0;
    Color skyRadiance;  // radiance arriving from the sky; the preview's background
    int firstShot = 1;  // shoot direct light before the iterations

    // Geometry: records in blocks that never move, listed in creation order
    VertexPool vertices;
    std::vector<Patch*> patches;  // depth-sorted from the first bundle on
    int objectNumber = 0;         // object statement being read, from 1

    // Bundle geometry
    Vector boxMin, boxMax;   // bounding box of all vertices and the origin
    Vector center;           // centre of the box
    double pixelArea = 0.0;  // (2E/R)², the area of one bundle cell
    double extent = 0.0;     // E, the longest side of the box
    int resolution = 0;      // R, cells per bundle row minus one

    double rotation[3][3] = {};  // takes direction to +z, applied to row vectors
    Vector direction;            // the current global direction
    double displayScale = 1.0;   // planned iterations / finished ones

    // The one random source of the run
    Random random;
    // Threads that share the patch sweeps and the transfer; the results are
    // the same bit for bit for any number. All cores unless a program says.
    int threadCount;

    // Display hooks: set by the program that owns a GL context. Without a
    // context nothing is rendered; the solver runs the same.
    bool hasGLContext = false;
    void (*swapBuffers)() = nullptr;  // called after every rendering when set

  private:
    void accumulateCoverage(bool fullFace);  // adds the read-back frame's weights

    std::vector<std::unique_ptr<Patch[]>> patchBlocks_;
    std::vector<Patch*> records_;             // every record made, in creation order
    std::unique_ptr<ItemBuffer> itemBuffer_;  // identifier frames, weights, display list
    std::unique_ptr<ThreadPool> workers_;
};
