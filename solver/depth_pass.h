#pragma once

#include <vector>

#include "solver/view_pyramid.h"

// The near and far plane of one rendering pass, in scene units along the
// view's axis.
struct DepthPass {
    double nearPlane = 0.0;
    double farPlane = 0.0;
};

// Passes that together cover [nearPlane, farPlane] (0 < nearPlane <
// farPlane), each with far / near at most `maxRatio` (at least 2), so that a
// depth buffer keeps the relative precision of one such pass over any range.
// They run from the farthest to the nearest: each is drawn over the ones
// before it after the depth buffer is cleared, and overlaps the next farther
// one by 1 % so that nothing on a boundary falls between two. A range wider
// than 10¹² loses its nearest part.
std::vector<DepthPass> splitDepthRange(double nearPlane, double farPlane, double maxRatio);

// The passes of an item-buffer face that sees `depths`: the fixed planes 1
// and 1000 when everything seen lies between them or nothing is seen, else
// the interval widened by 1 % on either side, split with ratios up to 1000
// as between the fixed planes.
std::vector<DepthPass> itemBufferDepthPasses(const DepthInterval& depths);
