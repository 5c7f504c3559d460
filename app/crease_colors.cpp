// Corner colours averaged over the patches on one side of each crease.
#include "app/crease_colors.h"

#include <cmath>
#include <unordered_map>

#include "solver/patch.h"

namespace {
constexpr double kPi = 3.141592653589793;

// The corners (3 · patch + corner) around each scene vertex, in list order:
// the run of `corners` from start[v] to start[v + 1] belongs to vertex v.
struct CornerRuns {
    std::vector<int> corners;
    std::vector<int> start;
};

CornerRuns cornersAroundVertices(const std::vector<Patch*>& patches) {
    std::unordered_map<const Vertex*, int> number;  // by first appearance
    std::vector<int> vertexOf(3 * patches.size());
    CornerRuns runs;
    runs.start.push_back(0);
    for (size_t c = 0; c < vertexOf.size(); ++c) {
        auto found =
            number.emplace(patches[c / 3]->vertices[c % 3], static_cast<int>(number.size()));
        vertexOf[c] = found.first->second;
        if (found.second) runs.start.push_back(0);
        ++runs.start[vertexOf[c] + 1];
    }
    for (size_t v = 1; v < runs.start.size(); ++v) runs.start[v] += runs.start[v - 1];
    std::vector<int> next(runs.start.begin(), runs.start.end() - 1);
    runs.corners.resize(vertexOf.size());
    for (size_t c = 0; c < vertexOf.size(); ++c)
        runs.corners[next[vertexOf[c]]++] = static_cast<int>(c);
    return runs;
}

// Union–find whose roots are the smallest index of their set.
int rootOf(std::vector<int>& roots, int i) {
    while (roots[i] != i) i = roots[i] = roots[roots[i]];
    return i;
}

void join(std::vector<int>& roots, int a, int b) {
    a = rootOf(roots, a);
    b = rootOf(roots, b);
    if (a < b) roots[b] = a;
    if (b < a) roots[a] = b;
}
}  // namespace

CreaseColors::CreaseColors(const std::vector<Patch*>& patches, double creaseDegrees,
                           const std::vector<Color>& values) {
    // At 180 degrees even opposite normals, whose dot product may round
    // below −1, are on one side.
    double minimumCosine =
        creaseDegrees >= 180.0 ? -HUGE_VAL : std::cos(creaseDegrees * kPi / 180.0);
    numberSides(patches, firstCornersOfSides(patches, minimumCosine), values);
}

std::vector<int> CreaseColors::firstCornersOfSides(const std::vector<Patch*>& patches,
                                                   double minimumCosine) const {
    CornerRuns runs = cornersAroundVertices(patches);
    std::vector<int> firstCorner(runs.corners.size());
    std::vector<int> roots;
    for (size_t v = 0; v + 1 < runs.start.size(); ++v) {
        const int* around = &runs.corners[runs.start[v]];
        int count = runs.start[v + 1] - runs.start[v];
        roots.resize(count);
        for (int i = 0; i < count; ++i) roots[i] = i;
        for (int i = 0; i < count; ++i)
            for (int j = i + 1; j < count; ++j) {
                const Patch* a = patches[around[i] / 3];
                const Patch* b = patches[around[j] / 3];
                if (a == b || dot(a->worldNormal, b->worldNormal) >= minimumCosine)
                    join(roots, i, j);
            }
        for (int i = 0; i < count; ++i) firstCorner[around[i]] = around[rootOf(roots, i)];
    }
    return firstCorner;
}

void CreaseColors::numberSides(const std::vector<Patch*>& patches,
                               const std::vector<int>& firstCorner,
                               const std::vector<Color>& values) {
    // Summed in list order, as the window's averaging sums.
    std::vector<int> counts;
    corners_.resize(firstCorner.size());
    for (size_t c = 0; c < firstCorner.size(); ++c) {
        const Patch& p = *patches[c / 3];
        if (firstCorner[c] == static_cast<int>(c)) {
            corners_[c] = outputVertexCount();
            sceneVertices_.push_back(p.vertices[c % 3]);
            colors_.emplace_back();
            counts.push_back(0);
        } else {
            corners_[c] = corners_[firstCorner[c]];
        }
        colors_[corners_[c]] += values[c / 3];
        ++counts[corners_[c]];
    }
    for (size_t k = 0; k < colors_.size(); ++k) colors_[k] /= counts[k];
}
