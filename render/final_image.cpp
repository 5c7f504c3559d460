#include "render/final_image.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include "app/camera_depth.h"
#include "app/crease_colors.h"
#include "app/scene.h"
#include "gl/multisample_framebuffer.h"
#include "render/image_camera.h"

namespace {
constexpr int kSamples = 4;
const char* const kNoMultisampling =
    "no multisampled framebuffer of the image size can be made (try --no-antialias)";
// With 24-bit depth, a pass of far / near 100 tells apart depths 6·10⁻⁶ of
// their distance apart: 0.006 at 1000 units.
constexpr double kMaxPassRatio = 100.0;

// Radiance above 1 must reach the framebuffer unclamped (a GL 3.0 call).
void disableColorClamping() {
    auto clampColor = reinterpret_cast<PFNGLCLAMPCOLORPROC>(eglGetProcAddress("glClampColor"));
    if (!clampColor) return;
    clampColor(GL_CLAMP_VERTEX_COLOR, GL_FALSE);
    clampColor(GL_CLAMP_FRAGMENT_COLOR, GL_FALSE);
    clampColor(GL_CLAMP_READ_COLOR, GL_FALSE);
}

// Every patch facing the eye, its corners in their sides' colours times the
// display scale; channel 2 is red.
void drawPatches(const Scene& s, const CreaseColors& colors) {
    glBegin(GL_TRIANGLES);
    for (size_t i = 0; i < s.patches.size(); ++i) {
        const Patch& p = *s.patches[i];
        if (p.coverage == 0.0) continue;
        for (int k = 0; k < 3; ++k) {
            const Color& c = colors.cornerColor(static_cast<int>(i), k);
            glColor3d(s.displayScale * c[2], s.displayScale * c[1], s.displayScale * c[0]);
            const Vector& v = p.vertices[k]->position;
            glVertex3d(v.x, v.y, v.z);
        }
    }
    glEnd();
}

// The scene through `camera` over the sky, in depth passes from the
// farthest to the nearest, each drawn over the ones before.
void drawScene(const Scene& s, const Camera& camera, const CreaseColors& colors) {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glClearColor(static_cast<float>(s.skyRadiance[2]), static_cast<float>(s.skyRadiance[1]),
                 static_cast<float>(s.skyRadiance[0]), 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    DepthPass range = cameraDepthRange(camera, s.patches);
    std::vector<DepthPass> passes = {range};  // a camera without a window: as the window has it
    if (range.nearPlane > 0.0 && range.farPlane > range.nearPlane)
        passes = splitDepthRange(range.nearPlane, range.farPlane, kMaxPassRatio);
    for (const DepthPass& pass : passes) {
        camera.apply(pass.nearPlane, pass.farPlane);
        glClear(GL_DEPTH_BUFFER_BIT);
        drawPatches(s, colors);
    }
    glFinish();
}

Image readBack(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(3 * static_cast<size_t>(width) * height);
    std::vector<float> rows(image.rgb.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_FLOAT, rows.data());
    // GL rows run from the bottom up; images from the top down.
    size_t rowSize = 3 * static_cast<size_t>(width);
    for (int y = 0; y < height; ++y)
        std::copy(rows.begin() + (height - 1 - y) * rowSize, rows.begin() + (height - y) * rowSize,
                  image.rgb.begin() + y * rowSize);
    return image;
}
}  // namespace

bool canRenderFinalImage(int width, int height, const FinalImageStyle& style, std::string& error) {
    MultisampleFramebuffer multisample;
    if (!style.antialias || multisample.create(width, height, kSamples)) return true;
    error = kNoMultisampling;
    return false;
}

bool renderFinalImage(Scene& s, int width, int height, const FinalImageStyle& style, Image& image,
                      std::string& error) {
    disableColorClamping();
    glViewport(0, 0, width, height);
    MultisampleFramebuffer multisample;
    if (style.antialias && !multisample.create(width, height, kSamples)) {
        error = kNoMultisampling;
        return false;
    }
    s.restoreGeometry();
    // Square pixels at any size.
    drawScene(s, imageCamera(s.camera, width, height),
              CreaseColors(s.patches, style.creaseDegrees, s.eyeRadianceSums(s.patches)));
    multisample.resolve();
    image = readBack(width, height);
    return true;
}
