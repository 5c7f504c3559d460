#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry/vector.h"
#include "geometry/vertex.h"

// Finds the newest vertex of the current object within 0.1 of a point on
// every axis in near-constant time. Vertices are hashed on a 0.1 grid; a
// match can only lie in the point's cell or one of its 26 neighbours. The
// grid holds one object at a time: vertices of different objects never merge.
class VertexGrid {
  public:
    void clear() { cells_.clear(); }
    // Records a vertex under its list index (newer vertices have larger ones).
    void insert(int index, const Vertex* vertex);
    // The list index of the newest match, or -1.
    int findNewest(const Vector& point) const;

  private:
    struct Entry {
        int index;
        const Vertex* vertex;
    };
    static int64_t cellOf(double v);
    static uint64_t key(int64_t i, int64_t j, int64_t k);

    std::unordered_map<uint64_t, std::vector<Entry>> cells_;
};
