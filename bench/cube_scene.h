#pragma once

// The benchmarks' scene: the inside of a closed cube whose faces are
// tessellated n × n into two triangles per cell, normals inward, the whole
// cube emitting (too many surfaces for the first shot, so emission travels
// with the bundles) and reflecting half. Every line of a bundle that crosses
// the cube meets one front-facing and one back-facing patch.
#include <memory>

#include "app/scene.h"
#include "tests/support/box_scene.h"

namespace cube_scene {

// Faces tessellated n × n give 12 n² patches: the largest n for `patches`.
inline int facesFor(int patches) {
    int n = 1;
    while (12 * (n + 1) * (n + 1) <= patches) ++n;
    return n;
}

// The cube of about `patches` patches, ready to iterate.
inline std::unique_ptr<Scene> make(int patches) {
    auto s = std::make_unique<Scene>();
    s->materials[0] = box_scene::diffuseMaterial(0.5, 1.0);
    s->materialCount = 1;
    // Cells 0.2 wide, so that no corners merge.
    int n = facesFor(patches);
    box_scene::addClosedCube(*s, 0.1 * n, n, &s->materials[0]);
    s->camera.eye = Vector(0.1, 0.2, -0.3);
    box_scene::prepareSolver(*s);
    s->iteration = 1;
    return s;
}

}  // namespace cube_scene
