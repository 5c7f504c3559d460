#include "solver/bundle_estimate.h"

#include <algorithm>
#include <cmath>

CellShare cellShare(const ProjectedTriangle& t) {
    double x[3], y[3];
    for (int i = 0; i < 3; ++i)
        x[i] = static_cast<double>(t.x[i]), y[i] = static_cast<double>(t.y[i]);
    double twiceArea = std::fabs((x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]));
    double longest2 = 0.0;
    for (int i = 0; i < 3; ++i) {
        double dx = x[(i + 1) % 3] - x[i], dy = y[(i + 1) % 3] - y[i];
        longest2 = std::max(longest2, dx * dx + dy * dy);
    }
    // The narrowest altitude is twiceArea / longest side.
    bool wide = twiceArea * twiceArea >= kMinWidth * kMinWidth * longest2;
    return {twiceArea / 2.0, wide && twiceArea > 0.0};
}

double cellDivisor(int32_t cells, const CellShare& share) {
    double divisor = share.byCount ? static_cast<double>(cells) : share.area;
    return divisor > 0.0 && std::isfinite(divisor) ? divisor : 0.0;
}
