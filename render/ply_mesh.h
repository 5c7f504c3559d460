#pragma once

#include <string>

#include "render/lit_mesh.h"

// Writes the lit mesh as binary little-endian PLY to `path` (through
// OutputFile): one vertex element with float x, y, z and float red, green,
// blue (the mesh's linear colours, 0 to 1), and one face element of
// triangles, each a uchar count of 3 and three int vertex numbers. Parts are
// not told apart. A comment in the header gives the exposure. False with
// `error` set when the file cannot be written.
bool writePlyMesh(const std::string& path, const LitMesh& mesh, std::string& error);

// The header writePlyMesh writes, up to and with "end_header\n".
std::string plyHeader(const LitMesh& mesh);
