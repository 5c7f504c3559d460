#pragma once

#include "render/image.h"

// The exposure that puts a scene in the range of an 8-bit picture: the 99th
// percentile of the luminance of the lit pixels becomes 0.9, so that the
// brightest percent (highlights) may saturate while the rest keeps its
// detail. Pixels ten times as bright as the 90th percentile or more show the
// light sources themselves and are left out, so that lamps seen directly do
// not darken the picture; black pixels (an empty background) do not count
// either, so a small object is exposed for itself. 1 for an image without
// light.
double automaticExposure(const Image& image);

// Luminance of linear red, green, blue (the Rec. 709 weights).
double luminance(const float* rgb);
