// The material statement "nmdMtrl" and the lookup of materials by name.
#include <string>

#include "base/fatal_error.h"
#include "scene_language/scene_description.h"
#include "scene_language/scene_reader.h"
#include "scene_language/token_reader.h"

namespace {

// Three pairs; only the second number of each is kept, as channels 0, 1, 2.
Color readSpectrum(TokenReader& reader) {
    Color color;
    double unused = 0.0;
    for (int channel = 0; channel < 3; ++channel) readPair(reader, unused, color[channel]);
    return color;
}

// A, then the optional B C [D]: C comes only after B, and D only after B and C.
void readScales(TokenReader& reader, Material& material) {
    material.diffuseScale = reader.readNumber();
    material.specularScale = 0.0;
    material.exponent = 10.0;
    material.selectProbability = 1.0;
    if (reader.code() != Token::Number) return;
    material.specularScale = reader.readNumber();
    material.exponent = reader.readNumber();
    if (reader.code() == Token::Number) material.selectProbability = reader.readNumber();
}

// A material that does not conserve energy makes the solution grow without
// bound: said once, when it is defined.
void warnIfUnphysical(const Material& m, const TokenReader& reader, int line) {
    const char* what = m.hasNegativeValue()             ? "has a negative value"
                       : m.reflectsMoreThanItReceives() ? "reflects more light than it receives"
                                                        : nullptr;
    if (!what) return;
    printError(std::string("Warning: material ") + m.name.c_str() + " " + what + " IN FILE: " +
               reader.fileName().c_str() + " IN LINE: " + std::to_string(line) + "\n");
}

}  // namespace

int SceneDescription::findMaterial(const String& name) const {
    for (int i = 0; i < materialCount; ++i)
        if (materials[i].name == name) return i;
    return materialCount;
}

void SceneDescription::readNamedMaterial(TokenReader& reader) {
    // Read the whole statement first; a repeated name discards what was read.
    Material material;
    const int line = reader.line() + 1;  // of "nmdMtrl", counted from 1
    reader.accept(Token::NmdMtrl);
    material.name = reader.readName();
    if (reader.code() == Token::PLmnr) {
        reader.accept(Token::PLmnr);
        material.emitting = 1;
    }
    reader.accept(Token::Lmbrtn);
    reader.accept(Token::Spctrl);
    material.reflectance = readSpectrum(reader);
    readScales(reader, material);
    reader.accept(Token::End);
    reader.accept(Token::End);
    if (material.emitting) {
        reader.accept(Token::Spctrl);
        material.emission = readSpectrum(reader);
        reader.accept(Token::End);
        reader.accept(Token::End);
    }

    // Define the material if the name is new; either way it becomes current.
    currentMaterial = findMaterial(material.name);
    if (currentMaterial == materialCount) {
        if (materialCount == limits::kMaxMaterials)
            fatalError(1, std::string("Material table overflow: ") + material.name.c_str() + "\n");
        material.deriveCoefficients();
        materials[materialCount++] = material;
        warnIfUnphysical(material, reader, line);
    }
    reader.accept(Token::End);
}
