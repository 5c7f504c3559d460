#pragma once

// Flat meshes that tile a region of the bundle buffer, for checking that
// scan conversion covers every cell of the region once.

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "solver/scan_converter.h"

namespace flat_meshes {

struct FlatMesh {
    std::vector<float> x, y;                    // corners, in cells
    std::vector<std::array<int, 3>> triangles;  // corner indices, counter-clockwise
    std::vector<int> outline;                   // the region's boundary, corner indices in order

    ProjectedTriangle triangle(size_t i) const {
        const auto& c = triangles[i];
        return {{x[c[0]], x[c[1]], x[c[2]]}, {y[c[0]], y[c[1]], y[c[2]]}};
    }
    int add(double px, double py) {
        x.push_back(static_cast<float>(px));
        y.push_back(static_cast<float>(py));
        return static_cast<int>(x.size()) - 1;
    }
};

// A grid of nx × ny squares of side `spacing`, turned by `angle` about its
// first corner at (x0, y0), each square cut along a random diagonal. Inner
// corners move by up to `jitter` · spacing in each axis (at most 0.2 keeps
// every triangle counter-clockwise).
struct GridShape {
    double x0, y0, spacing, angle;
    int nx, ny;
    double jitter;
};

inline FlatMesh gridMesh(const GridShape& g, std::mt19937_64& rng) {
    FlatMesh m;
    std::uniform_real_distribution<double> shake(-g.jitter, g.jitter);
    const double c = std::cos(g.angle), s = std::sin(g.angle);
    for (int j = 0; j <= g.ny; ++j) {
        for (int i = 0; i <= g.nx; ++i) {
            bool inner = i > 0 && j > 0 && i < g.nx && j < g.ny;
            double u = (i + (inner ? shake(rng) : 0.0)) * g.spacing;
            double v = (j + (inner ? shake(rng) : 0.0)) * g.spacing;
            m.add(g.x0 + c * u - s * v, g.y0 + s * u + c * v);
        }
    }
    auto at = [&](int i, int j) { return j * (g.nx + 1) + i; };
    std::bernoulli_distribution flip(0.5);
    for (int j = 0; j < g.ny; ++j) {
        for (int i = 0; i < g.nx; ++i) {
            int a = at(i, j), b = at(i + 1, j), d = at(i + 1, j + 1), e = at(i, j + 1);
            if (flip(rng)) {
                m.triangles.push_back({a, b, d});
                m.triangles.push_back({a, d, e});
            } else {
                m.triangles.push_back({a, b, e});
                m.triangles.push_back({b, d, e});
            }
        }
    }
    for (int i = 0; i < g.nx; ++i) m.outline.push_back(at(i, 0));
    for (int j = 0; j < g.ny; ++j) m.outline.push_back(at(g.nx, j));
    for (int i = g.nx; i > 0; --i) m.outline.push_back(at(i, g.ny));
    for (int j = g.ny; j > 0; --j) m.outline.push_back(at(0, j));
    return m;
}

constexpr double kTwoPi = 6.283185307179586;

// A fan of `count` ≥ 5 triangles around (cx, cy): the rim corners at
// increasing random angles, at radii in [rMin, rMax]. Gaps are drawn in
// [0.5, 1.5] and scaled to a full turn, so with 5 or more none reaches half
// a turn and the fan tiles a star-shaped region.
inline FlatMesh fanMesh(double cx, double cy, double rMin, double rMax, int count,
                        std::mt19937_64& rng) {
    FlatMesh m;
    int centre = m.add(cx, cy);
    std::uniform_real_distribution<double> radius(rMin, rMax), unit(0.0, 1.0);
    std::vector<double> gaps(count);
    double total = 0.0;
    for (double& gap : gaps) total += gap = 0.5 + unit(rng);
    double angle = kTwoPi * unit(rng);
    for (double gap : gaps) {
        double r = radius(rng);
        m.outline.push_back(m.add(cx + r * std::cos(angle), cy + r * std::sin(angle)));
        angle += gap * kTwoPi / total;
    }
    for (int i = 0; i < count; ++i)
        m.triangles.push_back({centre, m.outline[i], m.outline[(i + 1) % count]});
    return m;
}

}  // namespace flat_meshes
