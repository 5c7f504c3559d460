#pragma once

#include "geometry/vector.h"
#include "scene_language/token_reader.h"

// Three numbers as x, y, z.
Vector readVector(TokenReader& reader);
// Two numbers, first and second.
void readPair(TokenReader& reader, double& first, double& second);
