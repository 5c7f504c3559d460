#pragma once

#include <vector>

#include "geometry/camera.h"
#include "solver/depth_pass.h"
#include "solver/view_pyramid.h"

// The camera's view as Camera::apply sets it up: the pyramid from the eye
// through the window (widened by a thousandth of its width and height).
// False for a camera without a usable view: a window distance, width or
// height that is not positive, or an up vector along the viewing direction.
bool cameraPyramid(const Camera& camera, ViewPyramid& pyramid);

// Depth planes for the camera's view of the patches: from the nearest to
// the farthest point inside its pyramid, widened by 1 % either way, but
// never nearer than the window. The window distance and 10000, as always,
// when the camera has no usable view or nothing beyond the window is seen.
DepthPass cameraDepthRange(const Camera& camera, const std::vector<Patch*>& patches);
