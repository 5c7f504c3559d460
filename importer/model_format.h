#pragma once

#include <string>

enum class ModelFormat { Obj, Gltf };

// The format of a model file: by its extension (.obj; .gltf and .glb, in any
// case), and for any other name by its first bytes: glTF when it starts with
// a glTF binary's "glTF" or, after blanks, with the "{" of JSON text; OBJ
// otherwise, as the converter has always read any file.
ModelFormat modelFormatOf(const std::string& path);
