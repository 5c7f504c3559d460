#pragma once

#include "geometry/vector.h"

// A 4 x 4 transformation applied to row vectors: p' = p · M, so the
// translation stands in the last row. Stored row after row, (r, c) at 4r + c.
struct Matrix {
    double m[16] = {};

    static constexpr Matrix identity() {
        Matrix a;
        a.m[0] = a.m[5] = a.m[10] = a.m[15] = 1.0;
        return a;
    }

    constexpr double operator()(int r, int c) const { return m[4 * r + c]; }
    constexpr double& operator()(int r, int c) { return m[4 * r + c]; }

    // M := M · B: the transformation current before is applied to a point
    // first, B after it.
    Matrix& compose(const Matrix& b) {
        Matrix p;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k) sum += (*this)(r, k) * b(k, c);
                p(r, c) = sum;
            }
        *this = p;
        return *this;
    }

    // Homogeneous transform of a point with w = 1. The result is divided by
    // the new w only when w is non-zero and outside [0.9999999, 1.000001].
    Vector transformPoint(const Vector& p) const {
        const Matrix& a = *this;
        double x = p.x * a(0, 0) + p.y * a(1, 0) + p.z * a(2, 0) + a(3, 0);
        double y = p.x * a(0, 1) + p.y * a(1, 1) + p.z * a(2, 1) + a(3, 1);
        double z = p.x * a(0, 2) + p.y * a(1, 2) + p.z * a(2, 2) + a(3, 2);
        double w = p.x * a(0, 3) + p.y * a(1, 3) + p.z * a(2, 3) + a(3, 3);
        if (w != 0.0 && (w < 0.9999999 || w > 1.000001)) return {x / w, y / w, z / w};
        return {x, y, z};
    }
};
