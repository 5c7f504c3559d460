#pragma once

#include "geometry/vector.h"

// The up direction of the full face of the hemicube above a surface of unit
// normal n: (n.y, −n.x, 0) when n.x or n.y exceeds 0.001, else (0, n.z, −n.y);
// not normalised. For normals where that is zero, such as (−1, 0, 0), some
// unit vector perpendicular to n.
Vector hemicubeTangent(const Vector& n);
