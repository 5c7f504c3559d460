#pragma once

#include "geometry/color.h"
#include "geometry/vector.h"

// An entry of the light table: a point light of the scene file, or an emitting
// surface that the first shot stands in for by a point at its centre.
struct PointLight {
    Color power;
    Vector position;  // world coordinates
};
