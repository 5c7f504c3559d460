#pragma once

#include <memory>
#include <vector>

#include "geometry/vector.h"
#include "geometry/vertex.h"
#include "geometry/vertex_grid.h"

// The scene's vertices: records made in blocks that never move, listed in
// creation order, and merged within one object. Reads like the list of
// vertex pointers it keeps.
class VertexPool {
  public:
    static constexpr int kBlock = 60000;  // vertex records per allocation

    // The newest vertex of `object` closer than 0.1 to `point` on every axis
    // when `merge` is set and there is one; otherwise a new vertex at `point`.
    // Vertices of different objects never merge, and objects come one after
    // the other.
    Vertex* add(const Vector& point, bool merge, int object);

    size_t size() const { return list_.size(); }
    bool empty() const { return list_.empty(); }
    Vertex* operator[](size_t i) const { return list_[i]; }
    Vertex* back() const { return list_.back(); }
    std::vector<Vertex*>::const_iterator begin() const { return list_.begin(); }
    std::vector<Vertex*>::const_iterator end() const { return list_.end(); }
    // Comparisons of coordinates made by merge searches so far.
    long long mergeProbes() const { return grid_.probes(); }
    // Frees the merge index once no more vertices come: a later vertex
    // merges only with vertices added after this.
    void endMerging();
    // Bytes held by the records (whole blocks) and by the list and the
    // merge index.
    size_t recordBytes() const { return blocks_.size() * kBlock * sizeof(Vertex); }
    size_t listBytes() const { return list_.capacity() * sizeof(Vertex*) + grid_.bytes(); }

  private:
    std::vector<Vertex*> list_;
    std::vector<std::unique_ptr<Vertex[]>> blocks_;
    VertexGrid grid_;      // vertices of the current object, for merging
    int gridObject_ = -1;  // object whose vertices grid_ holds
};
