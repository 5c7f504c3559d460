#pragma once

#include <cmath>
#include <vector>

#include "geometry/vector.h"

struct Patch;

// The depths, measured along a view's axis, of the nearest and the farthest
// point of the scene inside the view; empty when nothing is inside.
struct DepthInterval {
    double nearest = HUGE_VAL;
    double farthest = -HUGE_VAL;
    bool empty() const { return !(nearest <= farthest); }
};

// The region a view can show: the points p with n · (p − apex) ≥ 0 for every
// plane n added (planes through the apex, at most six: the axis itself, the
// four sides and a cut), depths taken along the unit `axis`.
class ViewPyramid {
  public:
    static constexpr int kMaxPlanes = 6;

    ViewPyramid() = default;  // apex at the origin, axis +z, no plane: all space
    ViewPyramid(const Vector& apex, const Vector& axis) : apex_(apex), axis_(axis) {}
    // Adds the plane through the apex that keeps the side `inwardNormal` points to.
    void addPlane(const Vector& inwardNormal);

    // One face of the item buffer: the 90-degree view from `eye` along
    // `direction` with `up` as its up vector, as the look-at builds it, cut
    // for a half face by the plane through the eye with normal `up`. The
    // sides are widened by a thousandth so that rounding loses nothing.
    static ViewPyramid itemBufferFace(const Vector& eye, const Vector& direction, const Vector& up,
                                      bool fullFace);

    // The depth interval of the parts of the patches inside the pyramid. A
    // patch whose plane passes through the apex (within a billionth of its
    // distance) is seen edge-on and covers nothing: it may widen the interval
    // on the far side only, so that a light on a surface or among the patches
    // of its own emitter asks for no near plane at zero.
    DepthInterval depthsOf(const std::vector<Patch*>& patches) const;

  private:
    void addTriangle(const Vector corners[3], DepthInterval& depths) const;

    Vector apex_;
    Vector axis_{0.0, 0.0, 1.0};
    Vector planes_[kMaxPlanes];
    int planeCount_ = 0;
};
