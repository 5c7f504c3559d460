#pragma once

#include "geometry/color.h"
#include "geometry/vector.h"

// A corner point of the tessellated scene. Records never move once created,
// so patches hold plain pointers to them for the whole run.
struct Vertex {
    Vector position;       // current value: translated and rotated per bundle
    Vector savedPosition;  // the untransformed position, restored every iteration
    Color previewColor;    // preview work area: mean eye radiance at the corner
    int previewCount = 0;  // preview work area: patches summed into previewColor
    int object = 0;        // number of the object statement that made it, from 1
    int index = 0;         // position in the scene's vertex list
};
