#pragma once

#include "geometry/vector.h"

// A corner point of the tessellated scene. Records never move once created,
// so patches hold plain pointers to them for the whole run.
struct Vertex {
    Vector position;       // current value: where it was read, unless a caller turns the scene
    Vector savedPosition;  // as read: what restoreGeometry puts back and each bundle places
    int object = 0;        // number of the object statement that made it, from 1
    int index = 0;         // position in the scene's vertex list
};
