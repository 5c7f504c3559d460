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

SceneDescription::SceneDescription() = default;

SceneDescription::~SceneDescription() = default;

void SceneDescription::readSceneFile(const char* fileName) {
    TokenReader reader;
    reader.open(fileName);
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
                return;
            default:
                // A stray "end" passes silently; any other token is reported first.
                reader.accept(Token::End);
                fatalError(-1, "\nUnknown token\n");
        }
    }
}
