#pragma once

#include <cstdint>
#include <memory>

#include "solver/bundle_work.h"

// The item buffer of one ray bundle: side × side cells, cell (k, j) at
// k + j · side. A cell holds -1 (the sky is visible looking back along the
// line), 0 (nothing) or n ≥ 1 (patch n − 1 of the current list faces along
// the line and was the last surface met).
struct BundleBuffer {
    int side = 0;
    std::unique_ptr<int32_t[]> cells;  // null when the allocation failed
    BundleWork work;                   // the transfer's work arrays
};
