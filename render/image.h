#pragma once

#include <string>
#include <vector>

// A picture in linear radiance: red, green, blue floats per pixel, rows from
// top to bottom. (Red is the scene's channel 2, blue its channel 0.)
struct Image {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;

    float* pixel(int x, int y) { return &rgb[3 * (static_cast<size_t>(y) * width + x)]; }
    const float* pixel(int x, int y) const {
        return &rgb[3 * (static_cast<size_t>(y) * width + x)];
    }
};

// 8-bit PNG: radiance times `exposure`, optionally sRGB-encoded, clamped to
// [0, 1] and rounded. False with `error` set when the file cannot be written.
bool writePng(const std::string& path, const Image& image, double exposure, bool srgb,
              std::string& error);

// OpenEXR of half-float linear radiance.
bool writeExr(const std::string& path, const Image& image, std::string& error);

// The 8-bit value of one channel as writePng stores it.
unsigned char encodeChannel(float value, double exposure, bool srgb);
