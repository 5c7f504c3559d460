#pragma once

#include <string>

#include "render/lit_mesh.h"

// Writes the lit mesh as glTF 2.0 to `path` (through OutputFile): a glTF
// binary (.glb) when `binary`, else JSON text with the buffer embedded. Each
// part is a node and a mesh named after its object, with one triangle
// primitive whose COLOR_0 holds the vertex colours; every primitive uses one
// material marked unlit (KHR_materials_unlit), so viewers show the colours
// as they are. The document's extras hold {"radianceScale": exposure}.
// Names that are not valid UTF-8 have their stray bytes replaced by U+FFFD.
// False with `error` set when the file cannot be written.
bool writeGltfMesh(const std::string& path, const LitMesh& mesh, bool binary, std::string& error);
