#pragma once

// The solid angle under which a point sees a triangle, exactly.
#include <cmath>

#include "solver/patch.h"

// ∫ |cos θ| / d² dA over patch p seen from `eye`, by the formula of Van
// Oosterom and Strackee: tan(Ω/2) = |a · (b × c)| / (abc + (a·b)c + (a·c)b +
// (b·c)a) for the corners a, b, c relative to the eye.
inline double solidAngle(const Vector& eye, const Patch& p) {
    Vector a = p.vertices[0]->position - eye;
    Vector b = p.vertices[1]->position - eye;
    Vector c = p.vertices[2]->position - eye;
    double la = a.length(), lb = b.length(), lc = c.length();
    double numerator = std::fabs(dot(a, cross(b, c)));
    double denominator = la * lb * lc + dot(a, b) * lc + dot(a, c) * lb + dot(b, c) * la;
    return 2.0 * std::atan2(numerator, denominator);
}
