#pragma once

#include "render/image.h"

// The exposure that puts a picture in the range of an 8-bit image: the 99th
// percentile of the luminance of the pixels that show any light becomes 0.9,
// so that the brightest percent (lamps, highlights) may saturate while the
// rest keeps its detail. Black backgrounds do not count, so a small object
// is exposed for itself. 1 for an image without light.
double automaticExposure(const Image& image);

// Luminance of linear red, green, blue (the Rec. 709 weights).
double luminance(const float* rgb);
