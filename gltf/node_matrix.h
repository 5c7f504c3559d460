#pragma once

#include <tiny_gltf.h>

#include <string>

#include "geometry/matrix.h"

// The local transformation of a glTF node as this program's Matrix (row
// vectors, p' = p · M, so a node's world matrix is local · parent's world):
// the node's `matrix`, or else translation · rotation · scale. False with
// `error` when an array has the wrong length or the rotation quaternion has
// no usable length; a rotation is normalised.
bool nodeMatrix(const tinygltf::Node& node, Matrix& local, std::string& error);
