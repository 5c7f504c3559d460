// The camera, point light, sky and transform statements: scene-wide values
// that are not geometry.
#include "scene_language/scene_description.h"
#include "scene_language/scene_reader.h"
#include "scene_language/token_reader.h"

void SceneDescription::readCamera(TokenReader& reader) {
    reader.accept(Token::Cmr);
    reader.readName();  // the camera's name is not used
    camera.eye = readVector(reader);
    camera.viewDirection = readVector(reader).normalize();
    camera.up = readVector(reader);  // kept as written
    camera.windowDistance = reader.readNumber();
    readPair(reader, camera.windowWidth, camera.windowHeight);
    readPair(reader, camera.windowCenterX, camera.windowCenterY);
    camera.cameraSpare = reader.readNumber();
    reader.accept(Token::End);
}

// A "pointlight" statement, a "sky" statement, or one of each in this order.
void SceneDescription::readLights(TokenReader& reader) {
    if (reader.code() == Token::PointLight) {
        reader.accept(Token::PointLight);
        double power = reader.readNumber();
        Vector position = readVector(reader);  // world coordinates: no modelling matrix
        addLight(Color(power), position);
        reader.accept(Token::End);
    }
    if (reader.code() == Token::Sky) {
        reader.accept(Token::Sky);
        Color sky;
        for (int channel = 0; channel < 3; ++channel) sky[channel] = reader.readNumber();
        skyRadiance = sky;
        reader.accept(Token::End);
    }
}

// Sixteen numbers row after row, composed after the transformations before
// it; the statement has no closing "end".
void SceneDescription::readTransform(TokenReader& reader) {
    reader.accept(Token::Transform);
    Matrix b;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) b(r, c) = reader.readNumber();
    modelMatrix.compose(b);
}
