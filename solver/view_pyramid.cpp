// The depth range of what a view sees: every patch clipped to the view's
// pyramid, its nearest and farthest remaining points.
#include "solver/view_pyramid.h"

#include <algorithm>

#include "solver/patch.h"

namespace {
// A convex polygon of points relative to the apex: a triangle cut by up to
// six planes has at most nine corners.
struct Polygon {
    Vector points[9];
    int count = 0;
};

// Keeps the part of `in` with n · q ≥ 0 (Sutherland–Hodgman, one plane).
void clip(const Polygon& in, const Vector& n, Polygon& out) {
    out.count = 0;
    for (int i = 0; i < in.count; ++i) {
        const Vector& a = in.points[i];
        const Vector& b = in.points[(i + 1) % in.count];
        double da = dot(n, a), db = dot(n, b);
        if (da >= 0.0) out.points[out.count++] = a;
        if ((da < 0.0) != (db < 0.0)) out.points[out.count++] = a + (b - a) * (da / (da - db));
    }
}

// The farthest distance from the apex of the triangle's corners, and the
// distance of its plane from the apex; false when the triangle has no plane.
bool planeDistance(const Vector q[3], double& plane, double& farthest) {
    Vector n = cross(q[1] - q[0], q[2] - q[0]);
    double length = n.length();
    farthest = std::max({q[0].length(), q[1].length(), q[2].length()});
    if (!(length > 0.0)) return false;
    plane = std::fabs(dot(n, q[0])) / length;
    return true;
}
}  // namespace

void ViewPyramid::addPlane(const Vector& inwardNormal) {
    if (planeCount_ < kMaxPlanes) planes_[planeCount_++] = inwardNormal;
}

ViewPyramid ViewPyramid::itemBufferFace(const Vector& eye, const Vector& direction,
                                        const Vector& up, bool fullFace) {
    // The look-at's frame: forward f, side s = f × up, upward u = s × f.
    Vector f = normalized(direction);
    Vector s = normalized(cross(f, up));
    Vector u = cross(s, f);
    ViewPyramid view(eye, f);
    const double widened = 1.001;  // |x| ≤ 1.001 z instead of |x| ≤ z
    view.addPlane(f);
    view.addPlane(f * widened - s);
    view.addPlane(f * widened + s);
    view.addPlane(f * widened - u);
    view.addPlane(f * widened + u);
    if (!fullFace) view.addPlane(up);
    return view;
}

void ViewPyramid::addTriangle(const Vector corners[3], DepthInterval& depths) const {
    Vector q[3] = {corners[0] - apex_, corners[1] - apex_, corners[2] - apex_};
    Polygon polygons[2];
    Polygon* in = &polygons[0];
    Polygon* out = &polygons[1];
    for (int i = 0; i < 3; ++i) in->points[i] = q[i];
    in->count = 3;
    for (int k = 0; k < planeCount_ && in->count > 0; ++k) {
        clip(*in, planes_[k], *out);
        std::swap(in, out);
    }
    if (in->count == 0) return;
    double nearest = HUGE_VAL, farthest = -HUGE_VAL;
    for (int i = 0; i < in->count; ++i) {
        double z = dot(axis_, in->points[i]);
        nearest = std::min(nearest, z);
        farthest = std::max(farthest, z);
    }
    depths.farthest = std::max(depths.farthest, farthest);
    double plane = 0.0, size = 0.0;
    if (planeDistance(q, plane, size) && plane > 1e-9 * size)
        depths.nearest = std::min(depths.nearest, nearest);
}

DepthInterval ViewPyramid::depthsOf(const std::vector<Patch*>& patches) const {
    DepthInterval depths;
    for (const Patch* p : patches) {
        const Vector corners[3] = {p->vertices[0]->position, p->vertices[1]->position,
                                   p->vertices[2]->position};
        addTriangle(corners, depths);
    }
    return depths;
}
