#include "solver/patch.h"

void initPatch(Patch& patch, Vertex* a, Vertex* b, Vertex* c, const Material* material,
               int shotStride) {
    patch.vertices[0] = a;
    patch.vertices[1] = b;
    patch.vertices[2] = c;
    Vector n = cross(b->position - a->position, c->position - a->position);
    double length = n.length();
    patch.area = length / 2.0;
    // Divided by its own length, whatever the scene's unit: only a patch
    // without area takes the default normal (0, 0, 1).
    patch.worldNormal = length > 0.0 ? n / length : Vector(0.0, 0.0, 1.0);
    patch.centerPoint = (a->position + b->position + c->position) * (1.0 / 3.0);
    patch.material = material;
    patch.shotStride = static_cast<int16_t>(shotStride);
}
