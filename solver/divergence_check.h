#pragma once

#include <limits>

#include "solver/patch.h"
#include "solver/solver_state.h"

// The solver's check of its own results: a solution that has left the
// numbers is a failure, never a picture.

// The largest radiance the solution may reach: what a float holds, since the
// preview and the images are floats.
constexpr double kLargestRadiance = static_cast<double>(std::numeric_limits<float>::max());

// The exit status of a run whose solution diverged.
constexpr int kDivergedStatus = 4;

// A patch whose radiance (shown, diffuse estimate or sent along the bundle)
// is not finite or beyond kLargestRadiance, or null when there is none. Of
// such patches one whose material reflects more light than it receives, or
// has a negative value, is named first, then the lowest serial. One pass
// over the patches, shared among the scene's threads.
const Patch* findDivergedPatch(SolverState& s);
