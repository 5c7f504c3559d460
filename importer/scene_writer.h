#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/limits.h"
#include "geometry/vector.h"
#include "importer/model_view.h"
#include "importer/obj2sce_options.h"
#include "importer/obj_model.h"

// Turns a read model into a scene file: a camera, the optional lights, one
// material statement per material in use and one object statement per
// group/material combination, emitting objects first. A model in metres is
// written in centimetres unless --scale is given.
class SceneWriter {
  public:
    static constexpr int kVertexLimit = limits::kMaxObjectVertices - 1;  // vertices per object
    static constexpr int kMaterialLimit = limits::kMaxMaterials;
    static constexpr int kLightLimit = limits::kMaxLights;  // the first shot needs fewer
    static constexpr double kUnitsPerMetre = 100.0;  // a model in metres is written in centimetres

    // `vertexLimit` is the most vertices written in one object; larger groups are split.
    explicit SceneWriter(const Obj2sceOptions& options, int vertexLimit = kVertexLimit);

    // Places the vertices, turns faces into polygons and polygons into objects, chooses
    // the camera: the model's own (`view`) unless --eye, --look-at or --fov is given.
    // The model's point lights follow --light's. False with error() when the program
    // could not hold the scene.
    bool prepare(const ObjModel& model, const ModelView& view = ModelView());

    // Writes the prepared scene; `source` names the model in the heading comment.
    void write(std::ostream& out, const std::string& source) const;

    const std::string& error() const { return error_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

    // `text` as one name token: bare when the scene language reads it back as the
    // same name, otherwise in double quotes (a quote inside becomes "_").
    static std::string name(const std::string& text);

    // `value` in the language's number form: fixed point, no exponent, at most six
    // decimals, trailing zeros dropped.
    static std::string number(double value);

  private:
    struct Polygon {
        int corners[4] = {0, 0, 0, 0};  // indices into placed_, then into the object's list
        int count = 3;                  // 3 or 4
    };
    struct Object {
        std::string name;
        int material = 0;  // index into materials_
        bool emits = false;
        std::vector<int> vertices;      // indices into placed_, in order of first use
        std::vector<Polygon> polygons;  // indices into vertices
    };

    void placeVertices(const ObjModel& model);
    bool isFinite() const;
    Vector turn(const Vector& v) const;
    Vector place(const Vector& p) const;
    int useMaterial(const ObjModel& model, int index);
    std::vector<Polygon> facePolygons(const ObjModel::Group& group);
    bool isParallelogram(const std::vector<int>& c) const;
    bool isDegenerate(int a, int b, int c) const;
    void addTriangle(int a, int b, int c, std::vector<Polygon>& out);
    void splitIntoObjects(const std::string& name, int material, bool emits,
                          const std::vector<Polygon>& polygons);
    bool chooseCamera();
    bool useModelCamera();
    bool checkLightCount();
    double pointLightPower(double intensity) const;
    void collectWarnings();
    void writeCamera(std::ostream& out) const;
    void writeLights(std::ostream& out) const;
    void conserveEnergy();
    void writeMaterial(std::ostream& out, int index) const;
    void writeObject(std::ostream& out, const Object& object) const;

    Obj2sceOptions options_;
    int vertexLimit_;
    ModelView view_;                             // the model's camera and lights
    double scale_ = 1.0;                         // --scale, or kUnitsPerMetre for a model in metres
    std::vector<Vector> placed_;                 // the model's positions as written
    std::vector<ObjModel::Material> materials_;  // in use, in order of first use
    std::vector<std::string> materialNames_;     // as the program reads them, unique
    std::vector<int> materialSlot_;              // model's material to materials_, or -1
    std::vector<double> energyScale_;            // of each material's Kd and Ks, at most 1
    std::vector<Object> objects_;                // emitting ones first
    int degenerate_ = 0;                         // triangles of no area, left out
    int emittingPatches_ = 0;                    // each a light source of the first shot
    Vector eye_, direction_, up_;                // the camera
    double windowDistance_ = 0.0, windowWidth_ = 0.0, windowHeight_ = 0.0;
    std::string error_;
    std::vector<std::string> warnings_;
};
