#include "geometry/vertex_grid.h"

#include <cmath>

namespace {
constexpr double kTolerance = 0.1;  // merge distance per axis, strict
constexpr double kCellSide = 0.2;
constexpr size_t kFirstSlots = 1024;

// A point whose rounded difference from p is below 0.1 lies within about
// 1.2e-17 of p - 0.1 .. p + 0.1, and the bounds computed below are off by at
// most about 1.1e-16 · (|p| + 0.4): this margin covers both several times, so
// no match falls outside the cells searched.
double margin(double p) { return 1e-15 * (std::fabs(p) + 1.0); }
}  // namespace

int64_t VertexGrid::cellOf(double v) {
    double cell = std::floor(v / kCellSide);
    // Keep absurd coordinates in range; they still match only by the exact test.
    if (!(cell > -1e15)) return INT64_C(-1000000000000000);
    if (cell > 1e15) return INT64_C(1000000000000000);
    return static_cast<int64_t>(cell);
}

uint64_t VertexGrid::key(int64_t i, int64_t j, int64_t k) {
    uint64_t h = static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<uint64_t>(j) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(k) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
    return h ^ (h >> 29);
}

void VertexGrid::clear() {
    slots_.clear();
    entries_.clear();
    cellsUsed_ = 0;
}

// The slot that holds the cell, or the empty slot where it would go.
size_t VertexGrid::slotOf(uint64_t cellKey) const {
    size_t mask = slots_.size() - 1;
    size_t s = cellKey & mask;
    while (slots_[s].head >= 0 && slots_[s].key != cellKey) s = (s + 1) & mask;
    return s;
}

void VertexGrid::grow() {
    std::vector<Slot> old(slots_.empty() ? kFirstSlots : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
        if (slot.head >= 0) slots_[slotOf(slot.key)] = slot;
}

void VertexGrid::insert(int index, const Vertex* vertex) {
    if (2 * (cellsUsed_ + 1) > slots_.size()) grow();
    const Vector& p = vertex->position;
    uint64_t cellKey = key(cellOf(p.x), cellOf(p.y), cellOf(p.z));
    Slot& slot = slots_[slotOf(cellKey)];
    if (slot.head < 0) {
        slot.key = cellKey;
        ++cellsUsed_;
    }
    entries_.push_back({p, index, slot.head});
    slot.head = static_cast<int>(entries_.size()) - 1;
}

int VertexGrid::findNewest(const Vector& point) const {
    // No point with an infinite or undefined coordinate is closer than 0.1 to any other.
    if (slots_.empty() || !std::isfinite(point.x) || !std::isfinite(point.y) ||
        !std::isfinite(point.z))
        return -1;
    const double reach[3] = {kTolerance + margin(point.x), kTolerance + margin(point.y),
                             kTolerance + margin(point.z)};
    int64_t lowX = cellOf(point.x - reach[0]), highX = cellOf(point.x + reach[0]);
    int64_t lowY = cellOf(point.y - reach[1]), highY = cellOf(point.y + reach[1]);
    int64_t lowZ = cellOf(point.z - reach[2]), highZ = cellOf(point.z + reach[2]);
    int newest = -1;
    for (int64_t i = lowX; i <= highX; ++i)
        for (int64_t j = lowY; j <= highY; ++j)
            for (int64_t k = lowZ; k <= highZ; ++k) {
                // A chain runs from its newest entry: its first match is its newest.
                int e = slots_[slotOf(key(i, j, k))].head;
                for (; e >= 0 && entries_[e].index > newest; e = entries_[e].next) {
                    const Vector& q = entries_[e].position;
                    if (std::fabs(point.x - q.x) < kTolerance &&
                        std::fabs(point.y - q.y) < kTolerance &&
                        std::fabs(point.z - q.z) < kTolerance) {
                        newest = entries_[e].index;
                        break;
                    }
                }
            }
    return newest;
}
