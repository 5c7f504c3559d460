#include "geometry/vertex_pool.h"

#include <algorithm>

Vertex* VertexPool::add(const Vector& point, bool merge, int object) {
    if (gridObject_ != object) {
        // Vertices are appended object by object: no earlier object can match.
        grid_.clear();
        gridObject_ = object;
    }
    if (merge) {
        int found = grid_.findNewest(point);
        if (found >= 0) return list_[found];
    }
    size_t index = list_.size();
    if (index % kBlock == 0) blocks_.emplace_back(new Vertex[kBlock]);
    // The list grows by a quarter: little spare room, and few copies.
    if (index == list_.capacity()) list_.reserve(index + std::max<size_t>(kBlock, index / 4));
    Vertex* v = &blocks_.back()[index % kBlock];
    v->position = point;
    v->savedPosition = point;
    v->object = object;
    v->index = static_cast<int>(index);
    list_.push_back(v);
    grid_.insert(static_cast<int>(index), v);
    return v;
}

void VertexPool::endMerging() {
    grid_.release();
    gridObject_ = -1;
}
