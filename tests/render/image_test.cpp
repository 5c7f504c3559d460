#include "render/image.h"

#include <OpenEXR/ImfCRgbaFile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "render/exposure.h"
#include "tests/support/png_file.h"
#include "tests/support/temp_files.h"

namespace {
std::string tempPath(const std::string& name) { return tempDirectory() + "/" + name; }

Image gradient(int w, int h) {
    Image image;
    image.width = w;
    image.height = h;
    image.rgb.resize(3 * w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float* p = image.pixel(x, y);
            p[0] = static_cast<float>(x) / (w - 1);
            p[1] = static_cast<float>(y) / (h - 1);
            p[2] = 2.0f;  // above 1: clamped in PNG, kept in EXR
        }
    return image;
}

}  // namespace

TEST(Image, ChannelEncoding) {
    EXPECT_EQ(encodeChannel(0.0f, 1.0, false), 0);
    EXPECT_EQ(encodeChannel(1.0f, 1.0, false), 255);
    EXPECT_EQ(encodeChannel(7.0f, 1.0, false), 255);
    EXPECT_EQ(encodeChannel(-1.0f, 1.0, false), 0);
    EXPECT_EQ(encodeChannel(0.25f, 2.0, false), 128);
    EXPECT_EQ(encodeChannel(0.5f, 1.0, true), 188);  // the sRGB curve lifts the middle
}

TEST(Image, AutomaticExposurePutsThe99thPercentileOfTheLitSceneAt09) {
    Image image;
    image.width = 305;
    image.height = 1;
    image.rgb.assign(3 * 305, 0.0f);  // 100 black pixels do not count
    for (int k = 1; k <= 200; ++k)
        for (int c = 0; c < 3; ++c) image.pixel(99 + k, 0)[c] = static_cast<float>(k) / 200;
    // Five pixels of a lamp, far above 10 times the 90th percentile, do not count.
    for (int x = 300; x < 305; ++x) image.pixel(x, 0)[0] = image.pixel(x, 0)[1] = 50.0f;
    image.pixel(0, 0)[1] = std::nanf("");  // nor does a pixel that is not a number
    // The 198th of the 200 lit pixels: 99 % of them are at or below it.
    EXPECT_NEAR(automaticExposure(image), 0.9 / (198.0 / 200), 1e-6);
    image.rgb.assign(3 * 305, 0.0f);
    EXPECT_EQ(automaticExposure(image), 1.0);
    float red[3] = {1.0f, 0.0f, 0.0f};
    EXPECT_NEAR(luminance(red), 0.2126, 1e-12);
}

TEST(Image, PngReadsBackWithSizeAndValues) {
    std::string error;
    std::string path = tempPath("g.png");
    ASSERT_TRUE(writePng(path, gradient(17, 9), 1.0, false, error)) << error;
    int w = 0, h = 0;
    std::vector<unsigned char> p = readPng(path, &w, &h);
    ASSERT_EQ(w, 17);
    ASSERT_EQ(h, 9);
    EXPECT_EQ(p[0], 0);                 // top left: x = 0
    EXPECT_EQ(p[3 * 16], 255);          // top right: x = 1
    EXPECT_EQ(p[3 * 17 * 8 + 1], 255);  // bottom row: y = 1
    EXPECT_EQ(p[2], 255);               // 2.0 clamped
}

TEST(Image, ExrKeepsRadianceAboveOne) {
    std::string error;
    std::string path = tempPath("g.exr");
    ASSERT_TRUE(writeExr(path, gradient(5, 3), error)) << error;
    ImfInputFile* in = ImfOpenInputFile(path.c_str());
    ASSERT_NE(in, nullptr) << ImfErrorMessage();
    int xMin, yMin, xMax, yMax;
    ImfHeaderDataWindow(ImfInputHeader(in), &xMin, &yMin, &xMax, &yMax);
    EXPECT_EQ(xMax - xMin + 1, 5);
    EXPECT_EQ(yMax - yMin + 1, 3);
    std::vector<ImfRgba> pixels(15);
    ImfInputSetFrameBuffer(in, pixels.data(), 1, 5);
    ImfInputReadPixels(in, 0, 2);
    ImfCloseInputFile(in);
    EXPECT_EQ(ImfHalfToFloat(pixels[4].r), 1.0f);
    EXPECT_EQ(ImfHalfToFloat(pixels[14].g), 1.0f);
    EXPECT_EQ(ImfHalfToFloat(pixels[7].b), 2.0f);
}

TEST(Image, UnwritablePathFailsAndLeavesNoFile) {
    std::string error;
    EXPECT_FALSE(writePng("/nonexistent-dir/x.png", gradient(2, 2), 1.0, false, error));
    EXPECT_NE(error.find("cannot write /nonexistent-dir/x.png"), std::string::npos);
    std::string dir = tempPath("locked");
    mkdir(dir.c_str(), 0755);
    if (getuid() != 0) {  // root writes anywhere
        chmod(dir.c_str(), 0555);
        EXPECT_FALSE(writeExr(dir + "/x.exr", gradient(2, 2), error));
    }
}
