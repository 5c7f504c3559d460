#include "render/ply_mesh.h"

#include <cstdio>
#include <vector>

#include "base/output_file.h"
#include "render/little_endian.h"

namespace {
// Vertices or faces are encoded this many at a time.
const size_t kBatch = 65536;

void writeBytes(FILE* f, const std::vector<unsigned char>& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
}

void writeVertices(FILE* f, const LitMesh& mesh) {
    std::vector<unsigned char> bytes;
    for (size_t v = 0; v < mesh.vertexCount(); ++v) {
        for (int k = 0; k < 3; ++k) little_endian::append(bytes, mesh.positions[3 * v + k]);
        for (int k = 0; k < 3; ++k) little_endian::append(bytes, mesh.colors[3 * v + k]);
        if ((v + 1) % kBatch == 0) {
            writeBytes(f, bytes);
            bytes.clear();
        }
    }
    writeBytes(f, bytes);
}

void writeFaces(FILE* f, const LitMesh& mesh) {
    std::vector<unsigned char> bytes;
    for (size_t t = 0; t < mesh.triangleCount(); ++t) {
        bytes.push_back(3);
        for (int k = 0; k < 3; ++k) little_endian::append(bytes, mesh.triangles[3 * t + k]);
        if ((t + 1) % kBatch == 0) {
            writeBytes(f, bytes);
            bytes.clear();
        }
    }
    writeBytes(f, bytes);
}
}  // namespace

std::string plyHeader(const LitMesh& mesh) {
    char exposure[160];
    std::snprintf(exposure, sizeof exposure,
                  "comment colors are linear: radiance times %.9g, limited to [0, 1]\n",
                  mesh.exposure);
    return std::string(
               "ply\nformat binary_little_endian 1.0\ncomment written by ray-bundle-render\n") +
           exposure + "element vertex " + std::to_string(mesh.vertexCount()) +
           "\nproperty float x\nproperty float y\nproperty float z\n"
           "property float red\nproperty float green\nproperty float blue\n"
           "element face " +
           std::to_string(mesh.triangleCount()) +
           "\nproperty list uchar int vertex_indices\nend_header\n";
}

bool writePlyMesh(const std::string& path, const LitMesh& mesh, std::string& error) {
    OutputFile file(path);
    if (!file.open(error)) return false;
    std::string header = plyHeader(mesh);
    std::fwrite(header.data(), 1, header.size(), file.stream());
    writeVertices(file.stream(), mesh);
    writeFaces(file.stream(), mesh);
    return file.commit(error);
}
