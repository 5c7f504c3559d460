#pragma once

#include "geometry/vector.h"

// The viewer of the preview and of the eye estimates. The window is a
// rectangle of windowWidth × windowHeight scene units at windowDistance
// along viewDirection; windowWidth is also the tessellation's length unit.
struct Camera {
    Vector eye{0.0, 0.0, -50.0};
    Vector viewDirection{0.0, 1.0, 2.0};  // unit length once a camera statement is read
    Vector up{0.0, -1.0, 0.0};            // used as written
    double windowDistance = 0.5;          // nothing nearer is shown
    double windowWidth = 0.5;
    double windowHeight = 0.5;
    double windowCenterX = 0.0;  // added to the world x of the look-at target
    double windowCenterY = 0.0;  // added to the world y of the look-at target
    double cameraSpare = 0.0;    // read and kept, used by nothing

    // Loads the projection and model-view matrices of the current GL context,
    // with the window as the near plane and the far plane at 10000.
    void apply() const;
    // The same view with other depth planes: the window scaled to lie at
    // `nearPlane`, the far plane at `farPlane`.
    void apply(double nearPlane, double farPlane) const;
};
