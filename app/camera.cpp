#include "geometry/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

void Camera::apply() const { apply(windowDistance, 10000.0); }

void Camera::apply(double nearPlane, double farPlane) const {
    Vector target = eye + viewDirection * windowDistance;
    // glFrustum takes the window at the near plane.
    double k = nearPlane == windowDistance ? 1.0 : nearPlane / windowDistance;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum((windowCenterX - windowWidth * 0.5) * k, (windowCenterX + windowWidth * 0.5) * k,
              (windowCenterY - windowHeight * 0.5) * k, (windowCenterY + windowHeight * 0.5) * k,
              nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The window-centre offsets move the target in world x and y, not along
    // the camera's own axes.
    gluLookAt(eye.x, eye.y, eye.z, target.x + windowCenterX, target.y + windowCenterY, target.z,
              up.x, up.y, up.z);
    // The first shot leaves its half-face clip plane on; the preview is never clipped.
    glDisable(GL_CLIP_PLANE1);
}
