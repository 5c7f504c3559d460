#pragma once

#include "geometry/camera.h"

// The viewing volume of the final image, in the eye space of the camera's
// model-view (as for glFrustum).
struct ImageFrustum {
    double left = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    double top = 0.0;
    double nearPlane = 0.0;
    double farPlane = 0.0;
};

// The camera's frustum for an image of width × height pixels with square
// pixels: the window's vertical extent and centre as the window program
// uses them, and a horizontal extent of height × width / height around the
// window's horizontal centre. A wider image sees more to the sides; nothing
// is stretched.
ImageFrustum imageFrustum(const Camera& camera, int width, int height);

// Loads the camera's matrices (Camera::apply) and then replaces the
// projection by imageFrustum's, in the current GL context.
void applyImageCamera(const Camera& camera, int width, int height);
