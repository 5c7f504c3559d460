#pragma once

#include <algorithm>

// A triangle projected onto the bundle buffer, in cell units, single precision.
struct ProjectedTriangle {
    float x[3];
    float y[3];
};

// Scan-converts a projected triangle into the rows of a buffer of `side`
// cells per row and calls spanAction(row, firstCell, endCell) for every
// non-empty span, cells firstCell up to endCell − 1 of that row.
//
// The rule is the same for marking and gathering, so both meet on exactly
// the same cells:
// - the corners are ordered by Y, and the spans start at the lowest (and the
//   highest) corner with zero width, stepping the edges one row at a time;
// - the lower half covers rows trunc(Y0) to trunc(Y1), the upper half rows
//   trunc(Y2) down to trunc(Y1) + 1; a half less than one cell high draws
//   nothing, so a sliver or a flat triangle covers no cell;
// - a span covers cells trunc(xl) up to trunc(xr) − 1.
// The lower half's last row can step an edge past the corner it ends at
// (by up to one row's worth of slope), so spans are clipped to the row.
// Corners must lie within [0, side − 1]; a triangle outside draws nothing.
template <class SpanAction>
void scanTriangle(ProjectedTriangle t, int side, SpanAction&& spanAction) {
    const float limit = static_cast<float>(side - 1);
    for (int i = 0; i < 3; ++i)
        if (!(t.x[i] >= 0.0f && t.x[i] <= limit && t.y[i] >= 0.0f && t.y[i] <= limit)) return;

    // Order the corners by Y, swapping neighbours only when the first is
    // strictly greater: a bubble sort, which for three corners is the
    // exchanges (0, 1), (1, 2), (0, 1). Equal Ys keep their corner order.
    float x0 = t.x[0], x1 = t.x[1], x2 = t.x[2];
    float y0 = t.y[0], y1 = t.y[1], y2 = t.y[2];
    auto exchange = [](float& xa, float& ya, float& xb, float& yb) {
        bool swap = ya > yb;
        float xl = swap ? xb : xa, yl = swap ? yb : ya;
        xb = swap ? xa : xb, yb = swap ? ya : yb;
        xa = xl, ya = yl;
    };
    exchange(x0, y0, x1, y1);
    exchange(x1, y1, x2, y2);
    exchange(x0, y0, x1, y1);
    const bool drawLower = y1 - y0 >= 1.0f;
    const bool drawUpper = y2 - y1 >= 1.0f;
    if (!drawLower && !drawUpper) return;

    // Slopes are dx per row; only those of a drawn half are computed.
    const float m02 = (x2 - x0) / (y2 - y0);
    const bool middleLeft = m02 * (y1 - y0) - (x1 - x0) > 0.0f;

    auto drawSpan = [&](int row, float xl, float xr) {
        int first = std::max(static_cast<int>(xl), 0);
        int end = std::min(static_cast<int>(xr), side);
        if (first < end) spanAction(row, first, end);
    };
    if (drawLower) {
        const float m01 = (x1 - x0) / (y1 - y0);
        const float left = middleLeft ? m01 : m02;
        const float right = middleLeft ? m02 : m01;
        float xl = x0, xr = x0;
        for (int j = static_cast<int>(y0), last = static_cast<int>(y1); j <= last; ++j) {
            drawSpan(j, xl, xr);
            xl += left;
            xr += right;
        }
    }
    if (drawUpper) {
        const float m12 = (x2 - x1) / (y2 - y1);
        const float left = middleLeft ? m12 : m02;
        const float right = middleLeft ? m02 : m12;
        float xl = x2, xr = x2;
        for (int j = static_cast<int>(y2), last = static_cast<int>(y1); j > last; --j) {
            drawSpan(j, xl, xr);
            xl -= left;
            xr -= right;
        }
    }
}
