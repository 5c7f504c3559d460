#pragma once

#include <cstdint>
#include <vector>

#include "geometry/vector.h"
#include "geometry/vertex.h"

// Finds the newest vertex of the current object within 0.1 of a point on
// every axis in near-constant time. Vertices are hashed on a grid of cells of
// side 0.2, so the box of possible matches around a point overlaps two cells
// per axis. The grid holds one object at a time: vertices of different
// objects never merge.
class VertexGrid {
  public:
    void clear();
    // Clears and returns the memory.
    void release();
    size_t bytes() const {
        return slots_.capacity() * sizeof(Slot) + entries_.capacity() * sizeof(Entry);
    }
    // Records a vertex under its list index (newer vertices have larger ones).
    void insert(int index, const Vertex* vertex);
    // The list index of the newest match, or -1.
    int findNewest(const Vector& point) const;
    // Entries compared with a searched point so far, over all searches.
    long long probes() const { return probes_; }

  private:
    struct Slot {
        uint64_t key = 0;  // hashed cell coordinates; cells that collide share a chain
        int head = -1;     // newest entry of the cell, -1 for an empty slot
    };
    struct Entry {
        Vector position;  // a copy, so the search stays within the grid's memory
        int index;        // list index of the vertex
        int next;         // the next older entry of the same cell, or -1
    };
    static int64_t cellOf(double v);
    static void searchRange(double p, int64_t& low, int64_t& high);
    static uint64_t key(int64_t i, int64_t j, int64_t k);
    size_t slotOf(uint64_t cellKey) const;
    void grow();

    std::vector<Slot> slots_;     // open addressing; the size is a power of two
    std::vector<Entry> entries_;  // in insertion order
    size_t cellsUsed_ = 0;
    mutable long long probes_ = 0;
};
