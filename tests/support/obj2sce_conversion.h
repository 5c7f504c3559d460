#pragma once

// Converting small OBJ and glTF models written into the temporary directory,
// and reading back what the converter wrote, for the converter's tests.
#include <sstream>
#include <string>
#include <vector>

#include "importer/model_reader.h"
#include "importer/obj2sce_options.h"
#include "importer/obj_reader.h"
#include "importer/scene_writer.h"
#include "tests/support/temp_files.h"

// One object statement of a written scene, read back with plain word splitting (the
// names in these tests need no quotes).
struct WrittenObject {
    std::string name;
    std::string material;
    std::string tessellate;
    std::vector<Vector> vertices;
    std::vector<std::vector<int>> polygons;
};

inline std::vector<WrittenObject> writtenObjects(const std::string& text) {
    std::istringstream in(text);
    std::vector<WrittenObject> objects;
    std::string word;
    while (in >> word) {
        if (word != "plnrMsh") continue;
        WrittenObject o;
        std::string skip;
        in >> o.name >> skip >> o.material >> skip >> skip >> o.tessellate >> skip;
        while (in >> word && word != "end") {
            Vector v;
            v.x = std::stod(word);
            in >> v.y >> v.z;
            o.vertices.push_back(v);
        }
        in >> skip;  // cmplxPly
        while (in >> word && word == "plygn") {
            std::vector<int> polygon;
            while (in >> word && word != "end") polygon.push_back(std::stoi(word));
            o.polygons.push_back(polygon);
        }
        objects.push_back(o);
    }
    return objects;
}

struct Conversion {
    bool read = false;
    bool prepared = false;
    std::string error;
    std::vector<std::string> warnings;
    std::string scene;
};

// Reads the model file `name`, written with `contents` into the temporary
// directory, by its format as the program does, and writes its scene.
inline Conversion convertModel(const std::string& name, const std::string& contents,
                               const Obj2sceOptions& options = Obj2sceOptions(),
                               int vertexLimit = SceneWriter::kVertexLimit) {
    Conversion c;
    std::string path = writeTempFile(name, contents);
    ObjModel model;
    ModelView view;
    ModelReader reader;
    c.read = reader.read(path, model, view);
    c.error = reader.error();
    c.warnings = reader.warnings();
    if (!c.read) return c;
    SceneWriter writer(options, vertexLimit);
    c.prepared = writer.prepare(model, view);
    if (!c.prepared) c.error = writer.error();
    for (const std::string& w : writer.warnings()) c.warnings.push_back(w);
    std::ostringstream out;
    writer.write(out, name);
    c.scene = out.str();
    return c;
}

// Reads `obj` (written as model.obj beside the other files) and writes its scene.
inline Conversion convert(const std::string& obj, const Obj2sceOptions& options = Obj2sceOptions(),
                          int vertexLimit = SceneWriter::kVertexLimit) {
    return convertModel("model.obj", obj, options, vertexLimit);
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A unit cube of six quads facing outward, two materials, and a small emitting square
// above it that comes last in the file.
inline const char* const kCubeMtl =
    "# two surfaces and a lamp\n"
    "newmtl red\n"
    "Kd 0.9 0.2 0.1\n"
    "Ka 1 1 1\n"
    "illum 2\n"
    "map_Kd red.png\n"
    "newmtl shiny\n"
    "Kd 0.5\n"
    "Ks 0.3 0.3 0.6\n"
    "Ns 50\n"
    "newmtl lamp\n"
    "Kd 0 0 0\n"
    "Ke 4 2 1\n";

inline const char* const kCubeObj =
    "mtllib cube.mtl\n"
    "o cube\n"
    "v 0 0 0\nv 10 0 0\nv 10 10 0\nv 0 10 0\n"
    "v 0 0 10\nv 10 0 10\nv 10 10 10\nv 0 10 10\n"
    "usemtl red\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\n"
    "usemtl shiny\n"
    "f 4 8 7 3\nf 1 5 8 4\nf 2 3 7 6\n"
    "o lamp\n"
    "v 2 20 2\nv 8 20 2\nv 8 20 8\nv 2 20 8\n"
    "usemtl lamp\n"
    "f 9 10 11 12\n";
