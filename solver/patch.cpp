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
    patch.normal = length > 0.0 ? n / length : Vector(0.0, 0.0, 1.0);
    patch.savedNormal = patch.normal;
    patch.worldNormal = patch.normal;
    patch.material = material;
    patch.side = 0;
    patch.shotStride = static_cast<int16_t>(shotStride);
}

Color Patch::emittedAndDirectDiffuse(const PointLight* lights) const {
    Color sum = material->emission;
    Vector c =
        (vertices[0]->savedPosition + vertices[1]->savedPosition + vertices[2]->savedPosition) *
        (1.0 / 3.0);
    for (int e = 0; e < lightCount; ++e) {
        const PointLight& light = lights[lightIndices[e]];
        double cosL = -dot(worldNormal, normalized(c - light.position));
        if (cosL > 0.0) sum += (light.power * lightFactors[e]) * material->diffuse;
    }
    return sum;
}
