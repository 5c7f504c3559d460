#pragma once

#include "geometry/camera.h"

// The camera of an image of width × height pixels with square pixels: the
// scene camera with its window's vertical extent and centre kept and its
// width set to height × width / height around the same centre. A wider
// image sees more to the sides; nothing is stretched.
Camera imageCamera(const Camera& camera, int width, int height);
