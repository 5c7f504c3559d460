#pragma once

#include <memory>
#include <vector>

#include "base/limits.h"
#include "base/random.h"
#include "geometry/color.h"
#include "geometry/vector.h"
#include "geometry/vertex_pool.h"
#include "solver/light_table.h"
#include "solver/patch.h"
#include "solver/patch_terms.h"
#include "solver/point_light.h"

struct BundleBuffer;
class ItemBuffer;
struct PatchUpdateInput;
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
    // The patch of each serial: from solver initialisation on, the records
    // in creation order, which is their order in memory. Sweeps that treat
    // each patch alone go over these rather than over `patches`, which the
    // depth sort shuffles.
    const std::vector<Patch*>& patchesBySerial() const { return bySerial_; }
    int vertexCount() const { return static_cast<int>(vertices.size()); }
    int patchCount() const { return static_cast<int>(patches.size()); }
    // Appends a light to the table and returns its index; a 26th ends the
    // program with status 1.
    int addLight(const Color& power, const Vector& position);

    // What the iterations change for a patch, kept by serial (see
    // solver/patch_terms.h). Solver initialisation sizes the arrays for the
    // run; before it, writing a term sizes them for the patches there are.
    Color& bundleIncoming(const Patch& p) { return writable().exchange[p.serial].incoming; }
    Color& bundleOutgoing(const Patch& p) { return writable().exchange[p.serial].outgoing; }
    Color& diffuseEstimate(const Patch& p) { return writable().diffuseEstimate[p.serial]; }
    Color& eyeRadianceSum(const Patch& p) { return writable().eyeRadianceSum[p.serial]; }
    const Color& bundleIncoming(const Patch& p) const { return term(terms_.exchange, p).incoming; }
    const Color& bundleOutgoing(const Patch& p) const { return term(terms_.exchange, p).outgoing; }
    const Color& diffuseEstimate(const Patch& p) const { return term(terms_.diffuseEstimate, p); }
    const Color& eyeRadianceSum(const Patch& p) const { return term(terms_.eyeRadianceSum, p); }
    int32_t pixelCount(const Patch& p) const { return term(terms_.exchange, p).pixelCount; }
    int side(const Patch& p) const { return term(terms_.exchange, p).side; }
    const PatchTerms& terms() const { return terms_; }
    // eyeRadianceSum of each of `list`, in its order.
    std::vector<Color> eyeRadianceSums(const std::vector<Patch*>& list) const;
    // A patch's light list, filled by the first shot.
    LightTable::List lightList(const Patch& p) const { return lightTable_.of(p.serial); }
    LightTable& lightTable() { return lightTable_; }
    const LightTable& lightTable() const { return lightTable_; }
    // The emission and the diffuse reflection of a patch's light list, as
    // seen from its front.
    Color emittedAndDirectDiffuse(const Patch& p) const;

    // Solver initialisation and the per-patch sweeps (solver_state.cpp)
    void initSolver();
    // Sets the terms that stay the same in every iteration: the eye's and
    // the bundles' share of each patch's emission and light list. Their
    // inputs (light lists, toEye, firstShot) are final once the run sequence
    // has computed the eye directions, which calls it; an update finding the
    // light lists or firstShot changed since calls it again.
    void settleConstantTerms();
    // The patch update and accumulation of one iteration, without a bundle.
    void updatePatches(const Vector& previousDirection, int plannedIterations);
    // Clears what the next bundle accumulates, for every patch.
    void resetBundleTerms();
    // The threads of the iteration's parallel work, threadCount of them; made
    // anew when threadCount has changed.
    ThreadPool& workers();

    // Bundle transfer (bundle_transfer.cpp)
    // Builds the rotation for `direction` and turns the scene's vertices
    // (already translated by −center) with it, for callers that look at the
    // placed scene; the transfer places its own copy and needs neither.
    void setUpBundle();
    // One bundle along `direction`: places the scene from its saved
    // geometry, sorts it by depth and exchanges radiance along the lines.
    void transferBundle();
    // The solver's part of one iteration: the patch update for the new
    // `direction` and the bundle along it, in the same sweeps.
    void updateAndTransfer(const Vector& previousDirection, int plannedIterations);
    // `v` turned by the current rotation (row vector times `rotation`).
    Vector rotated(const Vector& v) const;

    // Bytes held, by part, for the memory figures of the benchmarks.
    struct MemoryUse {
        size_t patchRecords = 0, patchLists = 0, vertexRecords = 0, vertexLists = 0;
        size_t patchTerms = 0, lightTable = 0, bundleWork = 0, bandLists = 0, bundleBuffer = 0;
        size_t total() const;
    };
    MemoryUse memoryUse() const;

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
    // Sizes the terms and the serial index for the patches there are, when
    // they are not yet (solver initialisation does it for a run).
    void checkPatchArrays();
    PatchTerms& writable() {
        checkPatchArrays();
        return terms_;
    }
    // A patch's term, or zero for a patch the arrays do not hold yet.
    template <class T>
    static const T& term(const std::vector<T>& terms, const Patch& p) {
        static const T zero{};
        return static_cast<size_t>(p.serial) < terms.size() ? terms[p.serial] : zero;
    }
    void runBundle(const PatchUpdateInput* update);
    // What the patch update needs of this iteration, with the patch arrays
    // and constant terms made ready for it.
    PatchUpdateInput updateInput(const Vector& previousDirection, int plannedIterations);
    void transferAlongLines(const uint8_t* takesPart);
    void storeResults(size_t first, size_t end, const Color* sums, const int32_t* cells);

    std::vector<std::unique_ptr<Patch[]>> patchBlocks_;
    std::vector<Patch*> bySerial_;  // the patch of each serial
    PatchTerms terms_;
    LightTable lightTable_;
    // What the constant terms were settled for (settleConstantTerms).
    uint64_t settledLights_ = UINT64_MAX;
    int settledFirstShot_ = -1;
    void checkConstantTerms() {
        if (settledLights_ != lightTable_.generation() || settledFirstShot_ != firstShot)
            settleConstantTerms();
    }
    std::unique_ptr<ItemBuffer> itemBuffer_;  // identifier frames, weights, display list
    std::unique_ptr<ThreadPool> workers_;
};
