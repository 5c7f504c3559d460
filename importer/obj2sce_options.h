#pragma once

#include <string>

#include "geometry/vector.h"

// The command line of the converter (ray-bundle-import, also called obj2sce). Positions and
// directions are in the written scene's coordinates, after --scale and --swap-yz.
struct Obj2sceOptions {
    std::string objFile;
    std::string outputFile;  // -o, --output; empty for standard output
    bool hasEye = false;     // --eye given; otherwise the camera frames the model
    Vector eye;
    bool hasLookAt = false;  // --look-at given; otherwise the centre of the model's box
    Vector lookAt;
    Vector up{0.0, 1.0, 0.0};
    bool hasFov = false;      // --fov given: with --eye or --look-at it replaces a model's camera
    double fov = 45.0;        // degrees across the square window
    double tessellate = 4.0;  // tessellation level of objects that do not emit
    bool hasScale = false;    // --scale given; a model in metres is otherwise written ×100
    double scale = 1.0;
    bool swapYZ = false;  // (x, y, z) is written as (x, z, -y)
    bool hasSky = false;
    Vector sky;  // red, green, blue
    bool hasLight = false;
    double lightPower = 0.0;
    Vector lightPosition;
    bool help = false;
};

// Parses the arguments; on a mistake returns false with a message in `error`.
bool parseObj2sceOptions(int argc, char** argv, Obj2sceOptions& options, std::string& error);

// The text of --help for the program called `program`.
std::string obj2sceUsage(const std::string& program = "obj2sce");
