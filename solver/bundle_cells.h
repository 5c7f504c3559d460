#pragma once

#include <cstdint>
#include <utility>

#include "base/random.h"
#include "geometry/color.h"
#include "solver/bundle_work.h"

// The cell work of one bundle. The patches are taken in depth order in
// rounds: the patches of a round that take part are first scan-converted
// into spans of cells, then the spans are marked or gathered one after the
// other; knowing which cells come next, that sweep fetches them ahead.

// Goes through the patches in depth order (work.viewsInOrder): each that
// passes its selection test (drawing from `random` when its material is
// left to chance) is scan-converted; a front-facing one marks its cells with
// its position plus 1, a back-facing one exchanges radiance with the surface
// each of its cells names (or takes the sky's, for -1) and clears the cell.
// Sums into work.terms and sets work.pixelCounts (-1 for patches left out).
// Returns the range [first, end) of cells that marking reached.
std::pair<int32_t, int32_t> scanPatches(BundleWork& work, int side, Random& random, int32_t* cells,
                                        const Color& sky);

// Adds the sky to the patch named by each cell of [first, end) that still
// names one.
void addSkyToNamedCells(BundleWork& work, const int32_t* cells, std::pair<int32_t, int32_t> range,
                        const Color& sky);
