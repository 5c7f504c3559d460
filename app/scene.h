#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/camera.h"
#include "geometry/color.h"
#include "geometry/material.h"
#include "geometry/matrix.h"
#include "geometry/random.h"
#include "geometry/vector.h"
#include "geometry/vertex.h"
#include "geometry/vertex_grid.h"
#include "scene_language/string.h"
#include "scene_language/token_reader.h"
#include "solver/bundle_buffer.h"
#include "solver/item_buffer.h"
#include "solver/patch.h"
#include "solver/point_light.h"

struct ObjectStatement;

// The whole state of a run: what the scene file describes, the tessellated
// geometry and the solver's state. The program has one, `scene`; tests make
// their own. Everything it points to lives until the process ends.
class Scene {
  public:
    static constexpr int kMaxLights = 25;
    static constexpr int kMaxMaterials = 100;
    static constexpr int kVertexBlock = 60000;   // vertex records per allocation
    static constexpr int kPatchBlock = 10000;    // patch records per allocation
    static constexpr int kVertexHandles = 320000;  // an object holds fewer vertices

    Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Run sequence (app/run_sequence.cpp, app/scene.cpp)
    void prepareRun(const char* sceneName, const char* referenceName);
    void computeBounds();
    void saveGeometry();
    void restoreGeometry();
    void translate(const Vector& offset);
    void createBundleBuffer();
    void computeEyeDirections();

    // Iteration loop and progress output (app/iteration_loop.cpp)
    void iterate(int count);
    void iterateOnce(int plannedIterations, Vector& previousDirection);
    void startRunClock();
    void printProgress(int n) const;
    void randomDirection();

    // Preview display (app/preview.cpp)
    void drawPreview();

    // Scene file statements (scene_language/)
    void readSceneFile(const char* fileName);
    void readCamera(TokenReader& reader);
    void readLights(TokenReader& reader);
    void readTransform(TokenReader& reader);
    void readNamedMaterial(TokenReader& reader);
    void readObject(TokenReader& reader);
    int addLight(const Color& power, const Vector& position);
    int findMaterial(const String& name) const;  // materialCount when absent

    // Vertex and patch pools (geometry/)
    Vertex* addVertex(const Vector& point, bool merge);
    Patch* addPatch(Patch& patchTemplate);
    int vertexCount() const { return static_cast<int>(vertices.size()); }
    int patchCount() const { return static_cast<int>(patches.size()); }

    // Solver (solver/)
    void initSolver();
    void accumulate(int plannedIterations);
    void resetBundleTerms();
    // The patch update, accumulation and reset of one iteration in one sweep.
    void updatePatches(const Vector& previousDirection, int plannedIterations);
    void setUpBundle();
    void transferBundle();
    void renderFace(const Vector& eye, const Vector& direction, const Vector& up, bool fullFace);
    void shootFirst();

    // Solver state
    int iteration = 0;                          // iteration under way, from 1
    std::unique_ptr<BundleBuffer> bundleBuffer;  // made by prepareRun
    PointLight lights[kMaxLights];
    int lightCount = 0;
    Color skyRadiance;   // radiance arriving from the sky; the preview's background
    int firstShot = 1;   // shoot direct light before the iterations

    // Geometry: records in blocks that never move, listed in creation order
    std::vector<Vertex*> vertices;
    std::vector<Patch*> patches;  // depth-sorted from the first bundle on
    int objectNumber = 0;         // object statement being read, from 1

    // Bundle geometry
    Vector boxMin, boxMax;  // bounding box of all vertices and the origin
    Vector center;          // centre of the box
    double pixelArea = 0.0;  // (2E/R)², the area of one bundle cell
    double extent = 0.0;     // E, the longest side of the box
    int resolution = 0;      // R, cells per bundle row minus one

    Camera camera;
    Material materials[kMaxMaterials];
    int materialCount = 0;
    double rotation[3][3] = {};  // takes direction to +z, applied to row vectors
    Matrix modelMatrix = Matrix::identity();
    Vector direction;            // the current global direction
    double displayScale = 1.0;   // planned iterations / finished ones

    // Loader state that lives for the whole run
    int currentMaterial = 0;  // index into materials
    int tessellation = 1;     // T, the tessellation level
    std::unique_ptr<Vertex*[]> vertexHandles;  // the current object's vertex list

    // The one random source of the run
    Random random;

    // Display hooks: set by the program that owns a GL context. Without a
    // context the preview is not drawn; the solver runs the same.
    bool hasGLContext = false;
    void (*swapBuffers)() = nullptr;  // called after every iteration when set
    std::function<void(int)> afterIteration;  // called with the number of each finished iteration

  private:
    // Object statement steps (scene_language/object_reader.cpp, polygon_subdivision.cpp)
    void readObjectOptions(TokenReader& reader, ObjectStatement& object);
    bool readObjectBody(TokenReader& reader, ObjectStatement& object);
    void readObjectVertices(TokenReader& reader, ObjectStatement& object);
    void readPolygons(TokenReader& reader, ObjectStatement& object);
    void subdivideQuadrilateral(ObjectStatement& object, const int corner[4]);
    void subdivideTriangle(ObjectStatement& object, const int corner[3]);
    int rockRuleMaterial(const ObjectStatement& object, const Vertex* first);
    void makePatch(ObjectStatement& object, Vertex* a, Vertex* b, Vertex* c, int material);
    bool holdsNonEmittingPatch();
    int emissionScanned_ = 0;       // patches checked by holdsNonEmittingPatch
    bool nonEmittingSeen_ = false;  // one of them does not emit

    std::vector<std::unique_ptr<Vertex[]>> vertexBlocks_;
    std::vector<std::unique_ptr<Patch[]>> patchBlocks_;
    VertexGrid vertexGrid_;   // vertices of the current object, for merging
    int gridObject_ = -1;     // object whose vertices vertexGrid_ holds
    long runClockMs_ = 0;     // elapsed-time clock value when the run started
    ItemBuffer itemBuffer_;   // identifier frames of the first shot, weights, display list
    void accumulateCoverage(bool fullFace);  // adds the read-back frame's weights
};

// The program's scene.
extern Scene scene;
