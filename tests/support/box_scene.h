#pragma once

// Scenes built in code for the solver's tests and benchmarks: tessellated
// squares and closed boxes, made ready to iterate without a window.
#include <memory>

#include "app/scene.h"

namespace box_scene {

// Adds the parallelogram o + s·u + t·v (s, t in [0, 1]) as n × n cells of two
// triangles each; the normals point along u × v. Returns the first patch added.
// Corners closer than 0.1 per axis merge, so cells must be wider than that.
inline Patch* addQuad(Scene& scene, const Vector& o, const Vector& u, const Vector& v, int n,
                      const Material* material, int shotStride = 1) {
    ++scene.objectNumber;
    Patch* first = nullptr;
    auto corner = [&](int i, int j) {
        return scene.addVertex(
            o + u * (static_cast<double>(i) / n) + v * (static_cast<double>(j) / n), true);
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            Vertex* p00 = corner(i, j);
            Vertex* p10 = corner(i + 1, j);
            Vertex* p11 = corner(i + 1, j + 1);
            Vertex* p01 = corner(i, j + 1);
            Patch t;
            initPatch(t, p00, p10, p11, material, shotStride);
            Patch* a = scene.addPatch(t);
            initPatch(t, p00, p11, p01, material, shotStride);
            scene.addPatch(t);
            if (!first) first = a;
        }
    return first;
}

// The cube [-h, h]³ with its faces tessellated n × n and their normals
// pointing inward: 12 n² patches (2h / n must exceed 0.1).
inline void addClosedCube(Scene& scene, double h, int n, const Material* material) {
    double d = 2.0 * h;
    addQuad(scene, {-h, -h, -h}, {d, 0, 0}, {0, d, 0}, n, material);  // z = -h, faces +z
    addQuad(scene, {-h, -h, h}, {0, d, 0}, {d, 0, 0}, n, material);   // z = +h, faces -z
    addQuad(scene, {-h, -h, -h}, {0, d, 0}, {0, 0, d}, n, material);  // x = -h, faces +x
    addQuad(scene, {h, -h, -h}, {0, 0, d}, {0, d, 0}, n, material);   // x = +h, faces -x
    addQuad(scene, {-h, -h, -h}, {0, 0, d}, {d, 0, 0}, n, material);  // y = -h, faces +y
    addQuad(scene, {-h, h, -h}, {d, 0, 0}, {0, 0, d}, n, material);   // y = +h, faces -y
}

// The steps of a run after the scene file is read, without a window and
// without a first shot, with a bundle grid of resolution + 1 cells a side.
inline void prepareSolver(Scene& scene, int resolution = 1000) {
    scene.resolution = resolution;
    scene.computeBounds();
    scene.saveGeometry();
    scene.createBundleBuffer();
    scene.initSolver();
    scene.computeEyeDirections();
}

// A diffuse material of reflectance `albedo` in all channels.
inline Material diffuseMaterial(double albedo, double emission = 0.0) {
    Material m;
    m.reflectance = Color(albedo);
    m.diffuseScale = 1.0;
    m.emission = Color(emission);
    m.emitting = emission > 0.0 ? 1 : 0;
    m.deriveCoefficients();
    return m;
}

// A closed cube of 9,408 patches (enough for several chunks of every
// parallel sweep and every band of the transfer) whose material is left to
// chance, so that the transfer draws, ready to iterate on `threads` threads.
inline std::unique_ptr<Scene> chanceCube(int threads) {
    auto s = std::make_unique<Scene>();
    s->materials[0] = diffuseMaterial(0.5, 1.0);
    s->materials[0].selectProbability = 0.7;
    s->materialCount = 1;
    addClosedCube(*s, 2.8, 28, &s->materials[0]);
    s->camera.eye = Vector(0.1, 0.2, -0.3);
    prepareSolver(*s);
    s->threadCount = threads;
    return s;
}

}  // namespace box_scene
