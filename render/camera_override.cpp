#include "render/camera_override.h"

#include <cmath>
#include <cstdio>

#include "base/option_text.h"

namespace {
const double kDegreesToRadians = 3.14159265358979323846 / 180.0;

std::string vectorText(const Vector& v) {
    char text[120];
    std::snprintf(text, sizeof text, "%g,%g,%g", v.x, v.y, v.z);
    return text;
}

void applyFov(Camera& c, double fovDegrees) {
    double height = 2.0 * c.windowDistance * std::tan(0.5 * fovDegrees * kDegreesToRadians);
    double scale = c.windowHeight > 0.0 ? height / c.windowHeight : 0.0;
    c.windowWidth = scale > 0.0 ? c.windowWidth * scale : height;
    c.windowCenterX *= scale;
    c.windowCenterY *= scale;
    c.windowHeight = height;
}
}  // namespace

bool CameraOverride::applyTo(Camera& c, std::string& error) const {
    if (hasEye) c.eye = eye;
    if (hasLookAt) {
        Vector d = lookAt - c.eye;
        if (!(d.length() > 0.00001)) {
            error = "--look-at " + vectorText(lookAt) +
                    " is the eye itself: the camera has no "
                    "direction";
            return false;
        }
        c.viewDirection = d / d.length();
        c.windowCenterX = c.windowCenterY = 0.0;
    }
    if (hasUp) c.up = up;
    if (hasFov) applyFov(c, fovDegrees);
    // Beyond this the view has no "up": the picture would be undefined.
    if (any() && !(cross(normalized(c.viewDirection), c.up).length() > 1e-6 * c.up.length())) {
        error = "the camera's up vector " + vectorText(c.up) + " lies along its view direction " +
                vectorText(c.viewDirection) + ": give another --up";
        return false;
    }
    return true;
}

bool parseVectorText(const std::string& text, Vector& v) {
    size_t a = text.find(',');
    size_t b = a == std::string::npos ? a : text.find(',', a + 1);
    if (b == std::string::npos) return false;
    return option_text::parseDouble(text.substr(0, a), v.x) &&
           option_text::parseDouble(text.substr(a + 1, b - a - 1), v.y) &&
           option_text::parseDouble(text.substr(b + 1), v.z);
}
