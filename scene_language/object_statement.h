#pragma once

#include <vector>

#include "base/string.h"
#include "geometry/vector.h"
#include "geometry/vertex.h"
#include "solver/patch.h"

// The values of one object statement, reset at the start of every object.
struct ObjectStatement {
    static constexpr int kMaxDivisions = 100;  // the tessellation level never exceeds it
    static constexpr int kGridSide = kMaxDivisions + 1;

    String name;                     // the name after "plnrMsh", used in warnings
    String fileName;                 // file the object body is read from, used in messages
    int shotStride = 1;              // handed to every patch of the object
    double scale = 1.0;              // "size": applied after the modelling matrix, about the origin
    Vector offset;                   // "position": added after the scale
    int snowMaterial = 0;            // material of "rock" triangles above the snow line
    int vertexCount = 0;             // vertex handles stored for this object
    bool lightWarningGiven = false;  // the emission-order warning is printed once
    Patch patchTemplate;             // filled for every triangle, then copied into the list

    // Subdivision grid of the polygon being divided: row i, column j, 0..100.
    std::vector<Vertex*> grid = std::vector<Vertex*>(kGridSide * kGridSide, nullptr);
    Vertex*& at(int i, int j) { return grid[i * kGridSide + j]; }
};
