// The depth range of the camera's view, from what the scene puts in it.
#include "app/camera_depth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kFixedFar = 10000.0;  // the window's far plane when nothing else is known
constexpr double kMargin = 1.01;       // depth planes 1 % outside what is seen

bool positive(double v) { return v > 0.0 && std::isfinite(v); }
}  // namespace

bool cameraPyramid(const Camera& c, ViewPyramid& pyramid) {
    if (!positive(c.windowDistance) || !positive(c.windowWidth) || !positive(c.windowHeight))
        return false;
    // The look-at's frame: the target carries the window-centre offsets in
    // world x and y; side s = f × up, upward u = s × f.
    Vector toTarget =
        c.viewDirection * c.windowDistance + Vector(c.windowCenterX, c.windowCenterY, 0);
    Vector side = cross(toTarget, c.up);
    if (!positive(toTarget.length()) || !positive(side.length())) return false;
    Vector f = toTarget / toTarget.length();
    Vector s = side / side.length();
    Vector u = cross(s, f);
    // The window's edges as slopes x / z and y / z in that frame.
    double widen = 0.0005 / c.windowDistance;
    double left =
        (c.windowCenterX - c.windowWidth * 0.5) / c.windowDistance - widen * c.windowWidth;
    double right =
        (c.windowCenterX + c.windowWidth * 0.5) / c.windowDistance + widen * c.windowWidth;
    double bottom =
        (c.windowCenterY - c.windowHeight * 0.5) / c.windowDistance - widen * c.windowHeight;
    double top =
        (c.windowCenterY + c.windowHeight * 0.5) / c.windowDistance + widen * c.windowHeight;
    pyramid = ViewPyramid(c.eye, f);
    pyramid.addPlane(f);
    pyramid.addPlane(s - f * left);
    pyramid.addPlane(f * right - s);
    pyramid.addPlane(u - f * bottom);
    pyramid.addPlane(f * top - u);
    return true;
}

DepthPass cameraDepthRange(const Camera& camera, const std::vector<Patch*>& patches) {
    const DepthPass fixed{camera.windowDistance, kFixedFar};
    ViewPyramid pyramid;
    if (!cameraPyramid(camera, pyramid)) return fixed;
    DepthInterval seen = pyramid.depthsOf(patches);
    if (seen.empty() || !std::isfinite(seen.farthest)) return fixed;
    double nearPlane = std::max(camera.windowDistance, seen.nearest / kMargin);
    double farPlane = seen.farthest * kMargin;
    // All of it nearer than the window, or too far for doubles.
    if (!(farPlane > nearPlane) || !std::isfinite(farPlane)) return fixed;
    return {nearPlane, farPlane};
}
