// Patches: made from three corners, stored in blocks that never move.
#include "app/scene.h"

void initPatch(Patch& patch, Vertex* a, Vertex* b, Vertex* c, const Material* material,
               int shotStride) {
    patch.vertices[0] = a;
    patch.vertices[1] = b;
    patch.vertices[2] = c;
    Vector n = cross(b->position - a->position, c->position - a->position);
    patch.area = n.length() / 2.0;
    patch.normal = normalized(n);
    patch.savedNormal = patch.normal;
    patch.worldNormal = patch.normal;
    patch.material = material;
    patch.side = 0;
    patch.shotStride = static_cast<int16_t>(shotStride);
}

Patch* Scene::addPatch(Patch& patchTemplate) {
    int index = patchCount();
    if (index % kPatchBlock == 0 && index / kPatchBlock == static_cast<int>(patchBlocks_.size())) {
        patchBlocks_.emplace_back(new Patch[kPatchBlock]);
    }
    patchTemplate.serial = index;
    Patch* p = &patchBlocks_.back()[index % kPatchBlock];
    *p = patchTemplate;
    patches.push_back(p);
    return p;
}
