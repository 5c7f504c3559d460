// Scene vertices: records in blocks that never move, merged within an object.
#include "app/scene.h"

Vertex* Scene::addVertex(const Vector& point, bool merge) {
    if (gridObject_ != objectNumber) {
        // Vertices are appended object by object: no earlier object can match.
        vertexGrid_.clear();
        gridObject_ = objectNumber;
    }
    if (merge) {
        int found = vertexGrid_.findNewest(point);
        if (found >= 0) return vertices[found];
    }
    int index = vertexCount();
    if (index % kVertexBlock == 0 && index / kVertexBlock == static_cast<int>(vertexBlocks_.size())) {
        vertexBlocks_.emplace_back(new Vertex[kVertexBlock]);
    }
    Vertex* v = &vertexBlocks_.back()[index % kVertexBlock];
    v->position = point;
    v->savedPosition = point;
    v->previewColor = Color();
    v->previewCount = 0;
    v->object = objectNumber;
    vertices.push_back(v);
    vertexGrid_.insert(index, v);
    return v;
}
