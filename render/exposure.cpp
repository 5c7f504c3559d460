#include "render/exposure.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const double kPercentile = 0.99;
const double kTarget = 0.9;
// A pixel this many times brighter than nine tenths of the picture shows a
// light source itself (or its mirror image): it may saturate.
const double kLampFactor = 10.0;
const double kLampPercentile = 0.9;

// The nearest-rank percentile of the first `count` values: the smallest
// value with the fraction `q` of them at or below it. Reorders them.
double percentile(std::vector<double>& values, size_t count, double q) {
    size_t rank = static_cast<size_t>(std::ceil(q * static_cast<double>(count)));
    auto at = values.begin() + static_cast<std::ptrdiff_t>(std::max<size_t>(rank, 1) - 1);
    std::nth_element(values.begin(), at, values.begin() + static_cast<std::ptrdiff_t>(count));
    return *at;
}
}  // namespace

double luminance(const float* rgb) {
    return 0.2126 * static_cast<double>(rgb[0]) + 0.7152 * static_cast<double>(rgb[1]) +
           0.0722 * static_cast<double>(rgb[2]);
}

double automaticExposure(const Image& image) {
    std::vector<double> lit;
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3) {
        double y = luminance(&image.rgb[i]);
        if (y > 0.0 && std::isfinite(y)) lit.push_back(y);
    }
    if (lit.empty()) return 1.0;
    double lamps = kLampFactor * percentile(lit, lit.size(), kLampPercentile);
    auto scene = std::partition(lit.begin(), lit.end(), [lamps](double y) { return y < lamps; });
    double exposure =
        kTarget / percentile(lit, static_cast<size_t>(scene - lit.begin()), kPercentile);
    return std::isfinite(exposure) ? exposure : 1.0;
}
