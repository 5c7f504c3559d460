#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/file_identity.h"
#include "base/limits.h"
#include "base/string.h"
#include "geometry/camera.h"
#include "geometry/material.h"
#include "geometry/matrix.h"
#include "solver/solver_state.h"

class TokenReader;
struct ObjectStatement;

// What a scene file describes beyond the solver's geometry and lights: the
// camera, the material table and the modelling transformation, and the
// statement readers that fill all of it as the file is read.
class SceneDescription : public SolverState {
  public:
    SceneDescription();
    ~SceneDescription();

    // Reads the whole file statement by statement (scene_reader.cpp); errors
    // end the program with the messages and statuses of the language.
    void readSceneFile(const char* fileName);
    // Scene-wide statements (scene_statements.cpp)
    void readCamera(TokenReader& reader);
    void readLights(TokenReader& reader);
    void readTransform(TokenReader& reader);
    // Materials (material_reader.cpp)
    void readNamedMaterial(TokenReader& reader);
    int findMaterial(const String& name) const;  // materialCount when absent
    // Objects (object_reader.cpp, polygon_subdivision.cpp)
    void readObject(TokenReader& reader);

    Camera camera;
    Material materials[limits::kMaxMaterials];
    int materialCount = 0;
    Matrix modelMatrix = Matrix::identity();
    // The name of every object statement, by its number less one (what the
    // vertices' `object` holds less one), for outputs that name objects.
    std::vector<String> objectNames;

    // Loader state that lives for the whole run
    int currentMaterial = 0;                   // index into materials
    int tessellation = 1;                      // T, the tessellation level
    std::unique_ptr<Vertex*[]> vertexHandles;  // the current object's vertex list
    // Every file read, as named and as found; each once.
    std::vector<std::pair<std::string, FileIdentity>> inputFiles;
    void noteInputFile(const TokenReader& reader);

  private:
    // Object statement steps
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
};
