#include "render/lit_mesh.h"

#include <algorithm>
#include <cfloat>

#include "app/crease_colors.h"
#include "app/scene.h"

namespace {
// A position as a float; beyond the float range it saturates rather than
// becoming infinite (undefined for the conversion).
float toFloat(double v) {
    const double largest = static_cast<double>(FLT_MAX);
    return static_cast<float>(std::min(std::max(v, -largest), largest));
}

// Radiance times exposure within [0, 1]; a value that is not a number is 0.
float exposed(double radiance, double exposure) {
    double v = radiance * exposure;
    return v > 0.0 ? static_cast<float>(std::min(v, 1.0)) : 0.0f;
}

int objectOf(const Patch* p) { return p->vertices[0]->object; }

// The patches grouped by object, each object's in tessellation order.
std::vector<Patch*> byObject(const std::vector<Patch*>& patches) {
    std::vector<Patch*> ordered(patches);
    std::sort(ordered.begin(), ordered.end(), [](const Patch* a, const Patch* b) {
        return objectOf(a) != objectOf(b) ? objectOf(a) < objectOf(b) : a->serial < b->serial;
    });
    return ordered;
}

std::string objectName(const Scene& s, int object) {
    if (object >= 1 && static_cast<size_t>(object) <= s.objectNames.size() &&
        !s.objectNames[object - 1].empty())
        return s.objectNames[object - 1].c_str();
    return "object " + std::to_string(object);
}

void addVertices(const CreaseColors& colors, double scale, LitMesh& mesh) {
    for (int v = 0; v < colors.outputVertexCount(); ++v) {
        const Vector& p = colors.sceneVertex(v).savedPosition;
        const Color& c = colors.color(v);  // channel 2 is red
        for (double x : {p.x, p.y, p.z}) mesh.positions.push_back(toFloat(x));
        for (int k : {2, 1, 0}) mesh.colors.push_back(exposed(c[k] * scale, mesh.exposure));
    }
}

// One part per run of patches of one object; its vertices are the range its
// triangles use (the vertices of an object are its own, so parts share none).
void addPart(const Scene& s, const std::vector<Patch*>& ordered, size_t first, size_t end,
             LitMesh& mesh) {
    LitMesh::Part part;
    part.name = objectName(s, objectOf(ordered[first]));
    part.firstTriangle = first;
    part.triangleCount = end - first;
    const uint32_t* corners = &mesh.triangles[3 * first];
    auto range = std::minmax_element(corners, corners + 3 * (end - first));
    part.firstVertex = *range.first;
    part.vertexCount = *range.second - *range.first + 1;
    mesh.parts.push_back(part);
}
// What the patches' eye sums would be seen from their front side, for a mesh
// that is seen from anywhere: a patch that the camera sees from behind lacks
// its emission and direct light in its eye sum, which is added here (its
// diffuse part, the same from every side).
std::vector<Color> viewIndependentSums(const Scene& s, const std::vector<Patch*>& patches) {
    std::vector<Color> sums(patches.size());
    for (size_t i = 0; i < patches.size(); ++i) {
        const Patch& p = *patches[i];
        sums[i] = s.eyeRadianceSum(p);
        if (!(dot(p.worldNormal, p.toEye) > 0.0))
            sums[i] += s.emittedAndDirectDiffuse(p) / s.displayScale;
    }
    return sums;
}
}  // namespace

LitMesh buildLitMesh(const Scene& s, double creaseDegrees, double exposure) {
    LitMesh mesh;
    mesh.exposure = exposure;
    std::vector<Patch*> ordered = byObject(s.patches);
    std::vector<Color> values = viewIndependentSums(s, ordered);
    CreaseColors colors(ordered, creaseDegrees, values);
    addVertices(colors, s.displayScale, mesh);
    for (size_t i = 0; i < ordered.size(); ++i)
        for (int k = 0; k < 3; ++k)
            mesh.triangles.push_back(
                static_cast<uint32_t>(colors.outputVertex(static_cast<int>(i), k)));
    size_t first = 0;
    for (size_t i = 1; i <= ordered.size(); ++i)
        if (i == ordered.size() || objectOf(ordered[i]) != objectOf(ordered[first])) {
            addPart(s, ordered, first, i, mesh);
            first = i;
        }
    return mesh;
}
