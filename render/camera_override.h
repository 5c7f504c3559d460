#pragma once

#include <string>

#include "geometry/camera.h"

// Changes to the scene file's camera given on the command line (--eye,
// --look-at, --up, --fov). They are applied once the scene is read and before
// anything uses the camera, so the whole run, eye terms included, sees the
// new camera; the tessellation, done while reading, keeps the file's window
// width as its unit.
struct CameraOverride {
    bool hasEye = false;
    bool hasLookAt = false;
    bool hasUp = false;
    bool hasFov = false;
    Vector eye;
    Vector lookAt;
    Vector up;
    double fovDegrees = 0.0;  // vertical field of view, 0 < fov < 180

    bool any() const { return hasEye || hasLookAt || hasUp || hasFov; }

    // --eye moves the camera and keeps its direction; --look-at turns it
    // toward the point and centres the window on it; --up replaces the up
    // vector; --fov resizes the window (with its centre offsets) at the same
    // distance so that its height spans the angle. False with `error` set when
    // the camera would have no direction or an up vector along it.
    bool applyTo(Camera& camera, std::string& error) const;
};

// "X,Y,Z": three finite decimal numbers separated by commas.
bool parseVectorText(const std::string& text, Vector& v);
