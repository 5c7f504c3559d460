#include "render/exposure.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const double kPercentile = 0.99;
const double kTarget = 0.9;
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
    // The nearest-rank percentile: the smallest value with 99 % of them at or below it.
    size_t rank = static_cast<size_t>(std::ceil(kPercentile * static_cast<double>(lit.size())));
    auto at = lit.begin() + static_cast<std::ptrdiff_t>(std::max<size_t>(rank, 1) - 1);
    std::nth_element(lit.begin(), at, lit.end());
    double exposure = kTarget / *at;
    return std::isfinite(exposure) ? exposure : 1.0;
}
