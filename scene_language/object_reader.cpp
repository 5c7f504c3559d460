// The object statement "plnrMsh": options, vertex list and polygon list.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <string>

#include "base/fatal_error.h"
#include "base/run_log.h"
#include "scene_language/object_statement.h"
#include "scene_language/scene_description.h"
#include "scene_language/scene_reader.h"
#include "scene_language/token_reader.h"

namespace {

// Conversion toward zero that saturates at the int range; NaN reads as 0,
// the value a word takes where a number was expected.
int truncateToInt(double value) {
    if (value != value) return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// "tessellate t": a level below 1 keeps single polygons and thins out their
// first shot instead.
void readTessellation(TokenReader& reader, int& tessellation, ObjectStatement& object) {
    double t = reader.readNumber();
    if (t > 0.0 && t < 1.0) {
        tessellation = 1;
        double stride = 1.0 / t;
        object.shotStride =
            stride >= limits::kMaxShotStride ? limits::kMaxShotStride : static_cast<int>(stride);
    } else {
        tessellation = truncateToInt(t);
        object.shotStride = 1;
    }
}

// A relative name that cannot be found from the working directory is looked
// up beside the file that includes it, so scenes run from anywhere.
String includedFileName(const String& name, const String& includingFile) {
    std::string given = name.c_str();
    std::string including = includingFile.c_str();
    size_t slash = including.rfind('/');
    if (given.empty() || given[0] == '/' || slash == std::string::npos ||
        access(given.c_str(), F_OK) == 0)
        return name;
    std::string beside = including.substr(0, slash + 1) + given;
    return access(beside.c_str(), F_OK) == 0 ? String(beside.c_str()) : name;
}
}  // namespace

void SceneDescription::readObject(TokenReader& reader) {
    ++objectNumber;
    runLog() << "Object= " << objectNumber << "   Material= " << materialCount
             << "   Vector= " << vertexCount() << "   Poly= " << patchCount() << "\r";
    if (!vertexHandles) vertexHandles.reset(new Vertex*[limits::kMaxObjectVertices]);

    ObjectStatement object;
    if (reader.code() == Token::LeftBracket) {
        reader.accept(Token::LeftBracket);
        reader.readName();  // the label is not used
        reader.accept(Token::RightBracket);
    }
    reader.accept(Token::PlnrMsh);
    object.name = reader.readName();
    objectNames.resize(objectNumber);
    objectNames.back() = object.name;
    readObjectOptions(reader, object);

    object.fileName = reader.fileName();
    if (reader.code() != Token::File) {
        if (readObjectBody(reader, object)) reader.accept(Token::End);
        return;
    }

    // The body comes from the file that "file" names; the scene file goes on
    // after the name.
    reader.accept(Token::File);
    object.fileName = includedFileName(reader.readName(), reader.fileName());
    TokenReader included;
    included.open(object.fileName.c_str());
    noteInputFile(included);
    bool complete = readObjectBody(included, object);
    included.close();  // whatever follows the body in that file is not read
    if (complete) reader.accept(Token::End);
}

// From "vrtxPstn" to the "end" of "cmplxPly"; false when there is no vertex
// list, which ends the statement at once.
bool SceneDescription::readObjectBody(TokenReader& reader, ObjectStatement& object) {
    if (reader.code() != Token::VrtxPstn) return false;
    readObjectVertices(reader, object);
    reader.accept(Token::End);
    tessellation = std::min(tessellation, ObjectStatement::kMaxDivisions);
    reader.accept(Token::CmplxPly);
    readPolygons(reader, object);
    reader.accept(Token::End);
    return true;
}

void SceneDescription::readObjectOptions(TokenReader& reader, ObjectStatement& object) {
    for (;;) {
        switch (reader.code()) {
            case Token::Tessellate:
                reader.accept(Token::Tessellate);
                readTessellation(reader, tessellation, object);
                break;
            case Token::Size:
                reader.accept(Token::Size);
                object.scale = reader.readNumber();
                break;
            case Token::Position:
                reader.accept(Token::Position);
                object.offset = readVector(reader);
                break;
            case Token::MtrlNm: {
                reader.accept(Token::MtrlNm);
                String name = reader.readName();
                int index = findMaterial(name);
                if (index == materialCount)
                    fatalError(1, std::string(name.c_str()) + " material doesn't exist\n");
                currentMaterial = index;
                object.snowMaterial = findMaterial("snow");
                reader.accept(Token::End);
                break;
            }
            case Token::NmdMtrl:
                readNamedMaterial(reader);
                break;
            default:
                return;
        }
    }
}

void SceneDescription::readObjectVertices(TokenReader& reader, ObjectStatement& object) {
    reader.accept(Token::VrtxPstn);
    while (reader.code() == Token::Number) {
        // Place the point: modelling matrix first, then scale and offset in world space.
        Vector point = modelMatrix.transformPoint(readVector(reader));
        Vector placed = object.offset + point * object.scale;
        vertexHandles[object.vertexCount++] = addVertex(placed, true);
        if (object.vertexCount == limits::kMaxObjectVertices)
            fatalError(-1, "temp array exausted\n");
    }
}

void SceneDescription::readPolygons(TokenReader& reader, ObjectStatement& object) {
    while (reader.code() == Token::Plygn) {
        reader.accept(Token::Plygn);
        int corner[4];
        for (int k = 0; k < 3; ++k) corner[k] = reader.readInt();
        corner[3] = reader.code() == Token::Number ? reader.readInt() : -1;
        int corners = corner[3] >= 0 ? 4 : 3;  // a negative fourth index means a triangle
        for (int k = 0; k < corners; ++k)
            if (corner[k] < 0 || corner[k] >= object.vertexCount)
                fatalError(-1, "\nPolygon index " + std::to_string(corner[k]) +
                                   " is outside the vertex list of object " +
                                   std::to_string(objectNumber) + " in " + object.fileName.c_str() +
                                   "\n");
        if (corners == 4)
            subdivideQuadrilateral(object, corner);
        else
            subdivideTriangle(object, corner);
        reader.accept(Token::End);
    }
}
