#include "render/image_frustum.h"

#include <GL/gl.h>

ImageFrustum imageFrustum(const Camera& c, int width, int height) {
    double halfHeight = c.windowHeight * 0.5;
    double halfWidth = halfHeight * width / height;
    ImageFrustum f;
    f.left = c.windowCenterX - halfWidth;
    f.right = c.windowCenterX + halfWidth;
    f.bottom = c.windowCenterY - halfHeight;
    f.top = c.windowCenterY + halfHeight;
    f.nearPlane = c.windowDistance;
    f.farPlane = 10000.0;  // as the window program's preview
    return f;
}

void applyImageCamera(const Camera& camera, int width, int height) {
    camera.apply();
    ImageFrustum f = imageFrustum(camera, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(f.left, f.right, f.bottom, f.top, f.nearPlane, f.farPlane);
    glMatrixMode(GL_MODELVIEW);
}
