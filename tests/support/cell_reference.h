#pragma once

// Cell by cell answers to "is this centre inside?", written straight from the
// coverage rule and sharing no code with the scan converter, for checking it:
// a cell belongs to a triangle when its centre, moved an infinitesimal step
// right and then a far smaller one up, lies inside the triangle with its
// corners rounded to the 1/256-cell grid.

#include <cmath>
#include <cstdint>

#include "solver/scan_converter.h"
#include "tests/support/flat_meshes.h"

namespace cell_reference {

// A corner on the 1/256-cell grid, rounded to nearest, halves upward.
inline int64_t grid(float v) {
    return static_cast<int64_t>(std::floor(static_cast<double>(v) * 256.0 + 0.5));
}

inline int64_t centre(int k) { return 256 * int64_t{k} + 128; }

// Whether the centre of cell (k, j), moved as the rule says, is inside the
// triangle with these grid corners.
inline bool inside(const int64_t x[3], const int64_t y[3], int k, int j) {
    int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (area == 0) return false;
    int64_t px = centre(k), py = centre(j);
    for (int i = 0; i < 3; ++i) {
        // Walk the edges counter-clockwise: reversed when the area is negative.
        int a = area > 0 ? i : (i + 1) % 3, b = area > 0 ? (i + 1) % 3 : i;
        int64_t dx = x[b] - x[a], dy = y[b] - y[a];
        int64_t e = dx * (py - y[a]) - dy * (px - x[a]);  // > 0: left of a → b
        // Moving the point by (ε, ε·η) changes e by ε·(η·dx − dy).
        bool in = e > 0 || (e == 0 && (dy < 0 || (dy == 0 && dx > 0)));
        if (!in) return false;
    }
    return true;
}

inline bool inside(const ProjectedTriangle& t, int k, int j) {
    int64_t x[3], y[3];
    for (int i = 0; i < 3; ++i) x[i] = grid(t.x[i]), y[i] = grid(t.y[i]);
    return inside(x, y, k, j);
}

inline bool inside(const GridTriangle& t, int k, int j) {
    int64_t x[3] = {t.x[0], t.x[1], t.x[2]}, y[3] = {t.y[0], t.y[1], t.y[2]};
    return inside(x, y, k, j);
}

// Whether the centre of cell (k, j), moved the same way, is inside the
// polygon of a mesh's outline, by counting outline crossings of the ray
// from the moved point toward +x.
inline bool insideOutline(const flat_meshes::FlatMesh& m, int k, int j) {
    int64_t px = centre(k), py = centre(j);
    bool in = false;
    size_t n = m.outline.size();
    for (size_t i = 0; i < n; ++i) {
        int a = m.outline[i], b = m.outline[(i + 1) % n];
        int64_t ax = grid(m.x[a]), ay = grid(m.y[a]), bx = grid(m.x[b]), by = grid(m.y[b]);
        // The moved point is above every corner at py: a corner counts as
        // below when its y <= py.
        if ((ay <= py) == (by <= py)) continue;
        // The crossing at height py lies strictly right of px (at px itself
        // the moved point is already past it).
        int64_t dy = by - ay;
        int64_t s = (ax - px) * dy + (py - ay) * (bx - ax);
        if ((dy > 0) ? s > 0 : s < 0) in = !in;
    }
    return in;
}

}  // namespace cell_reference
