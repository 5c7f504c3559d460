#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Scene;

// The solved scene as a mesh for other programs. Its triangles are the
// scene's patches at the positions the scene file gave them (untransformed),
// counter-clockwise seen from the side their normal points to; its vertices
// are those of the final image's corner colours (CreaseColors): one per side
// of every crease, coloured with the radiance shown there times an exposure,
// limited to [0, 1]. Each object that has patches is one part, named after
// its object statement; parts come in the order of the objects' numbers.
struct LitMesh {
    struct Part {
        std::string name;
        size_t firstVertex = 0;  // the part's triangles use the vertices from here
        size_t vertexCount = 0;  // ... to here, exclusive
        size_t firstTriangle = 0;
        size_t triangleCount = 0;
    };

    std::vector<float> positions;     // x, y, z of every vertex
    std::vector<float> colors;        // linear red, green, blue of every vertex, 0 to 1
    std::vector<uint32_t> triangles;  // three vertex numbers per triangle
    std::vector<Part> parts;
    double exposure = 1.0;  // a colour is min(1, radiance · exposure), channel by channel

    size_t vertexCount() const { return positions.size() / 3; }
    size_t triangleCount() const { return triangles.size() / 3; }
};

// The lit mesh of the scene's current solution, with creases as the final
// image keeps them (`creaseDegrees`, 0 to 180). Objects without a name in
// the scene (made in code) are called "object N".
LitMesh buildLitMesh(const Scene& s, double creaseDegrees, double exposure);
