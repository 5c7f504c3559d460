// Subdivision of an object's polygons into a regular grid of patches.
#include <iostream>

#include "scene_language/object_statement.h"
#include "scene_language/scene_description.h"

namespace {

// Divisions per side of a polygon whose characteristic length is `length`:
// about T per camera window width, at least 1 and at most T. A level of 0 or
// less gives no patches; without a positive window width there is no length
// unit, so the polygon is divided T times.
int divisionCount(int tessellation, double length, double windowWidth) {
    if (tessellation <= 0) return tessellation;
    if (!(windowWidth > 0.0)) return tessellation;
    double n = tessellation * length / windowWidth;
    if (!(n >= 1.0)) return 1;
    if (n >= tessellation) return tessellation;
    return static_cast<int>(n);
}

// The grid point (i, j) on the parallelogram spanned by e1 and e2 at `origin`.
Vector gridPoint(const Vector& origin, const Vector& e1, const Vector& e2, int i, int j, int n) {
    double a = static_cast<double>(i) / n;
    double b = static_cast<double>(j) / n;
    return (origin + e1 * a) + e2 * b;
}

}  // namespace

void SceneDescription::subdivideQuadrilateral(ObjectStatement& object, const int corner[4]) {
    Vector origin = vertexHandles[corner[0]]->position;
    Vector e1 = vertexHandles[corner[1]]->position - origin;
    Vector e2 = vertexHandles[corner[3]]->position - origin;
    int n = divisionCount(tessellation, e1.length() + e2.length(), camera.windowWidth);
    if (n <= 0) return;

    // Fill the grid; the far corner is the third vertex, not the parallelogram's.
    object.at(0, 0) = vertexHandles[corner[0]];
    object.at(n, 0) = vertexHandles[corner[1]];
    object.at(n, n) = vertexHandles[corner[2]];
    object.at(0, n) = vertexHandles[corner[3]];
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            bool isCorner = (i == 0 || i == n) && (j == 0 || j == n);
            if (!isCorner) object.at(i, j) = addVertex(gridPoint(origin, e1, e2, i, j, n), true);
        }

    // Two triangles per cell, both with the current material.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            makePatch(object, object.at(i, j), object.at(i + 1, j), object.at(i, j + 1),
                      currentMaterial);
            makePatch(object, object.at(i + 1, j), object.at(i + 1, j + 1), object.at(i, j + 1),
                      currentMaterial);
        }
}

void SceneDescription::subdivideTriangle(ObjectStatement& object, const int corner[3]) {
    Vector origin = vertexHandles[corner[0]]->position;
    Vector p1 = vertexHandles[corner[1]]->position;
    Vector p2 = vertexHandles[corner[2]]->position;
    Vector e1 = p1 - origin;
    Vector e2 = p2 - origin;
    double perimeter = e1.length() + e2.length() + (p2 - p1).length();
    int n = divisionCount(tessellation, perimeter, camera.windowWidth);
    if (n <= 0) return;

    // Fill the lower-left half of the grid (i + j <= n).
    object.at(0, 0) = vertexHandles[corner[0]];
    object.at(n, 0) = vertexHandles[corner[1]];
    object.at(0, n) = vertexHandles[corner[2]];
    for (int i = 0; i <= n; ++i)
        for (int j = 0; i + j <= n; ++j) {
            bool isCorner = (i == 0 && j == 0) || i == n || j == n;
            if (!isCorner) object.at(i, j) = addVertex(gridPoint(origin, e1, e2, i, j, n), true);
        }

    // One or two triangles per cell; each may become snow on a "rock" object.
    for (int i = 0; i < n; ++i)
        for (int j = 0; i + j < n; ++j) {
            Vertex* first = object.at(i, j);
            makePatch(object, first, object.at(i + 1, j), object.at(i, j + 1),
                      rockRuleMaterial(object, first));
            if (i + j < n - 1) {
                Vertex* second = object.at(i + 1, j);
                makePatch(object, second, object.at(i + 1, j + 1), object.at(i, j + 1),
                          rockRuleMaterial(object, second));
            }
        }
}

// The material of a subdivided triangle: on a "rock" object, snow above a
// dithered line between heights 108 and 113. Every triangle at or below 113
// draws one random number, whatever its height.
int SceneDescription::rockRuleMaterial(const ObjectStatement& object, const Vertex* first) {
    if (materials[currentMaterial].name != "rock") return currentMaterial;
    double y = first->position.y;
    int chosen = currentMaterial;
    if (y > 113.0) {
        chosen = object.snowMaterial;
    } else {
        int r = random.next() % 100;
        if (108.0 + 0.05 * r < y) chosen = object.snowMaterial;
    }
    // Without a material named "snow" the snow index names no material: stay rock.
    return chosen < materialCount ? chosen : currentMaterial;
}

void SceneDescription::makePatch(ObjectStatement& object, Vertex* a, Vertex* b, Vertex* c,
                                 int material) {
    const Material* m = &materials[material];
    initPatch(object.patchTemplate, a, b, c, m, object.shotStride);
    // The first shot only sees emitters at the head of the list.
    if (m->emitting && !object.lightWarningGiven && holdsNonEmittingPatch()) {
        object.lightWarningGiven = true;
        std::cerr << "Warning: emitting object " << object.name.c_str()
                  << " follows a non-emitting object; its light travels with the bundles\n";
    }
    addPatch(object.patchTemplate);
}

bool SceneDescription::holdsNonEmittingPatch() {
    // The list only grows while a scene is read, so each patch is checked once.
    for (; emissionScanned_ < patchCount() && !nonEmittingSeen_; ++emissionScanned_) {
        const Material* m = patches[emissionScanned_]->material;
        if (m && !m->emitting) nonEmittingSeen_ = true;
    }
    return nonEmittingSeen_;
}
