#pragma once

#include <cmath>

// A point, direction or normal in scene units, double precision throughout.
struct Vector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr Vector() = default;
    constexpr Vector(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    double length() const { return std::sqrt(x * x + y * y + z * z); }

    // Scales to unit length; a vector of length 1e-5 or less becomes (0, 0, 1),
    // so a degenerate patch or camera direction still gets a usable axis.
    Vector& normalize() {
        double l = length();
        if (l > 0.00001) {
            x /= l;
            y /= l;
            z /= l;
        } else {
            *this = Vector(0.0, 0.0, 1.0);
        }
        return *this;
    }

    Vector& operator+=(const Vector& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
};

constexpr Vector operator+(const Vector& a, const Vector& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr Vector operator-(const Vector& a, const Vector& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr Vector operator-(const Vector& a) { return {-a.x, -a.y, -a.z}; }
constexpr Vector operator*(const Vector& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
constexpr Vector operator/(const Vector& a, double s) { return {a.x / s, a.y / s, a.z / s}; }
constexpr bool operator==(const Vector& a, const Vector& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

constexpr double dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr Vector cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Returns the normalised copy and leaves the argument alone.
inline Vector normalized(Vector v) { return v.normalize(); }
