#include "geometry/vertex_grid.h"

#include <cmath>

namespace {
constexpr double kTolerance = 0.1;  // merge distance per axis, strict
}

int64_t VertexGrid::cellOf(double v) {
    double cell = std::floor(v / kTolerance);
    // Keep absurd coordinates in range; they still match only by the exact test.
    if (!(cell > -1e15)) return INT64_C(-1000000000000000);
    if (cell > 1e15) return INT64_C(1000000000000000);
    return static_cast<int64_t>(cell);
}

uint64_t VertexGrid::key(int64_t i, int64_t j, int64_t k) {
    uint64_t h = static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<uint64_t>(j) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(k) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
    return h;
}

void VertexGrid::insert(int index, const Vertex* vertex) {
    const Vector& p = vertex->position;
    cells_[key(cellOf(p.x), cellOf(p.y), cellOf(p.z))].push_back({index, vertex});
}

int VertexGrid::findNewest(const Vector& point) const {
    int64_t ci = cellOf(point.x), cj = cellOf(point.y), ck = cellOf(point.z);
    int newest = -1;
    for (int64_t i = ci - 1; i <= ci + 1; ++i)
        for (int64_t j = cj - 1; j <= cj + 1; ++j)
            for (int64_t k = ck - 1; k <= ck + 1; ++k) {
                auto found = cells_.find(key(i, j, k));
                if (found == cells_.end()) continue;
                for (const Entry& e : found->second) {
                    const Vector& q = e.vertex->position;
                    if (e.index > newest && std::fabs(point.x - q.x) < kTolerance &&
                        std::fabs(point.y - q.y) < kTolerance &&
                        std::fabs(point.z - q.z) < kTolerance)
                        newest = e.index;
                }
            }
    return newest;
}
