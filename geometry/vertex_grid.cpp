#include "geometry/vertex_grid.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr double kTolerance = 0.1;  // merge distance per axis, strict
constexpr double kCellSide = 0.2;
constexpr size_t kFirstSlots = 1024;

// A point whose rounded difference from p is below 0.1 lies within about
// 1.2e-17 of p - 0.1 .. p + 0.1, and the bounds computed below are off by at
// most about 1.1e-16 · (|p| + 0.4) (the division by the cell side is
// monotonic, so it adds nothing): this margin covers both twice, so no match
// falls outside the cells searched. A wider one would search up to 13 cells
// per axis near 2^50.
double margin(double p) { return 2.5e-16 * (std::fabs(p) + 1.0); }

// From 2^50 on, neighbouring doubles lie 0.25 apart, and the nearest double
// below 2^50 is 0.125 away: a coordinate this large matches only an equal
// one. Each such value is a cell of its own, beyond every cell of side 0.2,
// so that far-away vertices do not pile up in one cell.
constexpr double kExactFrom = 1125899906842624.0;  // 2^50
constexpr double kLargestInexact = kExactFrom - 0.125;
constexpr int64_t kFirstExactCell = INT64_C(1) << 53;  // above 2^50 / 0.2
constexpr int64_t kUndefinedCell = INT64_MIN;          // NaN: never searched

uint64_t bitsOf(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}
}  // namespace

int64_t VertexGrid::cellOf(double v) {
    if (std::fabs(v) < kExactFrom) return static_cast<int64_t>(std::floor(v / kCellSide));
    if (v != v) return kUndefinedCell;
    // The bits of a positive double grow with its value, infinity included.
    int64_t cell =
        kFirstExactCell + static_cast<int64_t>(bitsOf(std::fabs(v)) - bitsOf(kExactFrom));
    return v < 0.0 ? -cell : cell;
}

// The cells that can hold a coordinate closer than 0.1 to p, lowest first.
void VertexGrid::searchRange(double p, int64_t& low, int64_t& high) {
    if (std::fabs(p) >= kExactFrom) {
        low = high = cellOf(p);
        return;
    }
    double reach = kTolerance + margin(p);
    low = cellOf(std::max(p - reach, -kLargestInexact));
    high = cellOf(std::min(p + reach, kLargestInexact));
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

void VertexGrid::release() {
    std::vector<Slot>().swap(slots_);
    std::vector<Entry>().swap(entries_);
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
    int64_t lowX, highX, lowY, highY, lowZ, highZ;
    searchRange(point.x, lowX, highX);
    searchRange(point.y, lowY, highY);
    searchRange(point.z, lowZ, highZ);
    int newest = -1;
    for (int64_t i = lowX; i <= highX; ++i)
        for (int64_t j = lowY; j <= highY; ++j)
            for (int64_t k = lowZ; k <= highZ; ++k) {
                // A chain runs from its newest entry: its first match is its newest.
                int e = slots_[slotOf(key(i, j, k))].head;
                for (; e >= 0 && entries_[e].index > newest; e = entries_[e].next) {
                    ++probes_;
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
