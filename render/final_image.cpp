#include "render/final_image.h"

#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include "app/scene.h"
#include "render/image_frustum.h"

namespace {
// Radiance above 1 must reach the framebuffer unclamped (a GL 3.0 call).
void disableColorClamping() {
    auto clampColor = reinterpret_cast<PFNGLCLAMPCOLORPROC>(eglGetProcAddress("glClampColor"));
    if (!clampColor) return;
    clampColor(GL_CLAMP_VERTEX_COLOR, GL_FALSE);
    clampColor(GL_CLAMP_FRAGMENT_COLOR, GL_FALSE);
    clampColor(GL_CLAMP_READ_COLOR, GL_FALSE);
}
}  // namespace

Image renderFinalImage(Scene& s, int width, int height) {
    disableColorClamping();
    glViewport(0, 0, width, height);
    s.restoreGeometry();
    applyImageCamera(s.camera, width, height);  // square pixels at any size
    s.drawPreview();
    glFinish();

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
