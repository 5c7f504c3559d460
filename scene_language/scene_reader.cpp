// The top level of the scene file: one statement after another, each handed
// to its reader by its first token.
#include "scene_language/scene_reader.h"

#include "base/fatal_error.h"
#include "base/run_log.h"
#include "scene_language/scene_description.h"
#include "scene_language/token_reader.h"

Vector readVector(TokenReader& reader) {
    Vector v;
    v.x = reader.readNumber();
    v.y = reader.readNumber();
    v.z = reader.readNumber();
    return v;
}

void readPair(TokenReader& reader, double& first, double& second) {
    first = reader.readNumber();
    second = reader.readNumber();
}

namespace {
bool isBlack(const Color& c) { return !(c[0] > 0.0 || c[1] > 0.0 || c[2] > 0.0); }

// A scene that nothing lights renders black: said once, when it is read.
void warnIfUnlit(const SceneDescription& s) {
    if (s.patchCount() == 0 || s.lightCount > 0 || !isBlack(s.skyRadiance)) return;
    for (const Patch* p : s.patches)
        if (p->material->emitting && !isBlack(p->material->emission)) return;
    printError(
        "Warning: nothing lights the scene: it has no emitting surface, no point light and a "
        "black sky\n");
}
}  // namespace

void SceneDescription::noteInputFile(const TokenReader& reader) {
    FileIdentity identity = reader.identity();
    for (const auto& known : inputFiles)
        if (known.second == identity) return;
    inputFiles.emplace_back(reader.fileName().c_str(), identity);
}

SceneDescription::SceneDescription() = default;

SceneDescription::~SceneDescription() = default;

void SceneDescription::readSceneFile(const char* fileName) {
    TokenReader reader;
    reader.open(fileName);
    noteInputFile(reader);
    for (;;) {
        switch (reader.code()) {
            case Token::Cmr:
                readCamera(reader);
                break;
            case Token::NmdMtrl:
                readNamedMaterial(reader);
                break;
            case Token::PlnrMsh:
            case Token::LeftBracket:
                readObject(reader);
                break;
            case Token::Transform:
                readTransform(reader);
                break;
            case Token::PointLight:
            case Token::Sky:
                readLights(reader);
                break;
            case Token::EndOfFile:
                runLog() << "\n\n";
                reader.close();
                warnIfUnlit(*this);
                return;
            default:
                // A stray "end" passes silently; any other token is reported first.
                reader.accept(Token::End);
                fatalError(-1, "\nUnknown token\n");
        }
    }
}
