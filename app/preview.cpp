// The preview: the current solution seen through the scene's camera.
#include <GL/gl.h>

#include <vector>

#include "app/camera_depth.h"
#include "app/scene.h"

namespace {
// Channel 2 is shown as red, 1 as green, 0 as blue; the GL clamps to [0, 1].
void drawPatch(const Patch& patch, const std::vector<Color>& colors, double scale) {
    if (patch.coverage == 0.0) return;
    for (const Vertex* v : patch.vertices) {
        const Color& c = colors[v->index];
        glColor3d(scale * c[2], scale * c[1], scale * c[0]);
        glVertex3d(v->position.x, v->position.y, v->position.z);
    }
}
}  // namespace

void Scene::drawPreview() {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_DITHER);
    glClearColor(static_cast<float>(skyRadiance[2]), static_cast<float>(skyRadiance[1]),
                 static_cast<float>(skyRadiance[0]), 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Average the eye radiance of all patches around each corner, including
    // those facing away from the eye.
    previewColors_.assign(vertices.size(), Color());
    std::vector<int> counts(vertices.size(), 0);
    for (const Patch* p : patches)
        for (const Vertex* v : p->vertices) {
            previewColors_[v->index] += eyeRadianceSum(*p);
            counts[v->index] += 1;
        }
    for (size_t i = 0; i < vertices.size(); ++i)
        if (counts[i] > 0) previewColors_[i] /= counts[i];

    glBegin(GL_TRIANGLES);
    for (const Patch* p : patches) drawPatch(*p, previewColors_, displayScale);
    glEnd();
    glFlush();
}

void Scene::applyCamera() {
    // The near plane moves from the window out to the nearest patch in view,
    // where the depth buffer's precision is needed.
    DepthPass range = cameraDepthRange(camera, patches);
    camera.apply(range.nearPlane, range.farPlane);
}
