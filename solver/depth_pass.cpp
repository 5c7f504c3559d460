// Depth ranges split into passes of bounded far / near ratio.
#include "solver/depth_pass.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kOverlap = 1.01;   // a pass reaches 1 % nearer than its boundary
constexpr double kMaxRange = 1e12;  // far / near of all passes together
constexpr double kItemBufferNear = 1.0;
constexpr double kItemBufferFar = 1000.0;
}  // namespace

std::vector<DepthPass> splitDepthRange(double nearPlane, double farPlane, double maxRatio) {
    nearPlane = std::max(nearPlane, farPlane / kMaxRange);
    double ratio = farPlane / nearPlane;
    // A range that overflowed has nothing to split: it is drawn as it is.
    if (ratio <= maxRatio || !std::isfinite(ratio)) return {DepthPass{nearPlane, farPlane}};
    // Boundaries b_i = near · q^i; pass i spans [b_i / overlap, b_(i+1)].
    int count = static_cast<int>(std::ceil(std::log(ratio) / std::log(maxRatio / kOverlap)));
    double step = std::pow(ratio, 1.0 / count);
    std::vector<DepthPass> passes(count);
    for (int i = 0; i < count; ++i) {
        DepthPass& pass = passes[count - 1 - i];
        pass.nearPlane = i == 0 ? nearPlane : nearPlane * std::pow(step, i) / kOverlap;
        pass.farPlane = i == count - 1 ? farPlane : nearPlane * std::pow(step, i + 1);
    }
    return passes;
}

std::vector<DepthPass> itemBufferDepthPasses(const DepthInterval& depths) {
    bool fits = depths.nearest >= kItemBufferNear && depths.farthest <= kItemBufferFar;
    double nearPlane = depths.nearest / kOverlap, farPlane = depths.farthest * kOverlap;
    if (depths.empty() || fits || !(nearPlane > 0.0) || !std::isfinite(farPlane))
        return {DepthPass{kItemBufferNear, kItemBufferFar}};
    return splitDepthRange(nearPlane, farPlane, kItemBufferFar / kItemBufferNear);
}
