#pragma once

// Reads a PNG written by the programs, for the tests that check images.
#include <png.h>

#include <string>
#include <vector>

// The pixels as 8-bit RGB, row after row, and the size when asked for;
// empty when the file is no readable PNG.
inline std::vector<unsigned char> readPng(const std::string& path, int* width = nullptr,
                                          int* height = nullptr) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    if (width) *width = static_cast<int>(image.width);
    if (height) *height = static_cast<int>(image.height);
    return pixels;
}
