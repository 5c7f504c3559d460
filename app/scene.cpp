// The scene object: construction, bounds and the saved geometry.
#include "app/scene.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "base/fatal_error.h"
#include "solver/bundle_buffer.h"
#include "solver/thread_pool.h"

Scene scene;

Scene::Scene() = default;

Scene::~Scene() = default;

void Scene::computeBounds() {
    // The box is never reset: it starts at the origin and only grows, so the
    // centre is biased toward the origin.
    for (const Vertex* v : vertices) {
        const Vector& p = v->position;
        boxMin = Vector(std::min(boxMin.x, p.x), std::min(boxMin.y, p.y), std::min(boxMin.z, p.z));
        boxMax = Vector(std::max(boxMax.x, p.x), std::max(boxMax.y, p.y), std::max(boxMax.z, p.z));
    }
    center = boxMin + (boxMax - boxMin) / 2.0;
    double r = 0.0;
    for (double d : {boxMax.x - center.x, boxMin.x - center.x, boxMax.y - center.y,
                     boxMin.y - center.y, boxMax.z - center.z, boxMin.z - center.z})
        r = std::max(r, std::fabs(d));
    extent = 2.0 * r;
    pixelArea = extent * extent * 4.0 / resolution / resolution;
}

// Patch normals need no saved copy: nothing turns them (a bundle reads a
// normal's placed z from the rotation).
void Scene::saveGeometry() {
    for (Vertex* v : vertices) v->savedPosition = v->position;
}

void Scene::restoreGeometry() {
    workers().forChunks(vertices.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) vertices[i]->position = vertices[i]->savedPosition;
    });
}

void Scene::translate(const Vector& offset) {
    workers().forChunks(vertices.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) vertices[i]->position += offset;
    });
}

void Scene::createBundleBuffer() {
    // A failure here has its own message: without the out-of-memory handler
    // a nothrow allocation returns null instead of ending the program.
    std::new_handler outOfMemory = std::set_new_handler(nullptr);
    bundleBuffer.reset(new (std::nothrow) BundleBuffer);
    if (bundleBuffer) {
        bundleBuffer->side = resolution + 1;
        size_t cellCount = static_cast<size_t>(bundleBuffer->side) * bundleBuffer->side;
        bundleBuffer->cells.reset(new (std::nothrow) int32_t[cellCount]());
    }
    std::set_new_handler(outOfMemory);
    if (!bundleBuffer) fatalError(-1, "Memory allocation error\n");
    if (!bundleBuffer->cells) {
        // Without a buffer no bundle can be transferred: end here rather than later.
        printError("Memory allocation error\n");
        fatalError(-1, "The bundle buffer of 1001 x 1001 cells cannot be allocated.\n");
    }
}

void Scene::computeEyeDirections() {
    workers().forChunks(patches.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) {
            Patch* p = patches[i];
            p->toEye = normalized(camera.eye - p->center());
            double d = dot(p->worldNormal, p->toEye);
            p->coverage = d > 0.0 ? p->area * d : 0.0;
        }
    });
    // With the eye directions, what every iteration would compute alike.
    settleConstantTerms();
}
