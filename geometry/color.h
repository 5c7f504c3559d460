#pragma once

// Three radiometric channels 0, 1, 2 in double precision. Wherever a colour is
// shown, channel 2 is red, channel 1 green and channel 0 blue.
struct Color {
    double c[3] = {0.0, 0.0, 0.0};

    constexpr Color() = default;
    constexpr explicit Color(double v) : c{v, v, v} {}
    constexpr Color(double c0, double c1, double c2) : c{c0, c1, c2} {}

    constexpr double& operator[](int i) { return c[i]; }
    constexpr double operator[](int i) const { return c[i]; }

    Color& operator+=(const Color& d) {
        c[0] += d.c[0];
        c[1] += d.c[1];
        c[2] += d.c[2];
        return *this;
    }
    Color& operator*=(double s) {
        c[0] *= s;
        c[1] *= s;
        c[2] *= s;
        return *this;
    }
    Color& operator/=(double s) {
        c[0] /= s;
        c[1] /= s;
        c[2] /= s;
        return *this;
    }
    bool isBlack() const { return c[0] == 0.0 && c[1] == 0.0 && c[2] == 0.0; }
};

constexpr Color operator+(const Color& a, const Color& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
constexpr Color operator-(const Color& a, const Color& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
// Channelwise product: a reflectance times an irradiance.
constexpr Color operator*(const Color& a, const Color& b) {
    return {a[0] * b[0], a[1] * b[1], a[2] * b[2]};
}
constexpr Color operator/(const Color& a, const Color& b) {
    return {a[0] / b[0], a[1] / b[1], a[2] / b[2]};
}
constexpr Color operator*(const Color& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
constexpr Color operator/(const Color& a, double s) { return {a[0] / s, a[1] / s, a[2] / s}; }
constexpr bool operator==(const Color& a, const Color& b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}
