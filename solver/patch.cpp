#include "solver/patch.h"

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
