#pragma once

#include <string>
#include <vector>

#include "geometry/vector.h"

// What a model file tells beside its geometry and materials: how it is seen
// and lit. A glTF model may bring a camera and point lights, and its lengths
// are metres; an OBJ model brings none of these. Positions and directions are
// in the model's coordinates, before --scale and --swap-yz.
struct ModelView {
    struct Camera {
        std::string name;
        Vector eye;
        Vector direction;           // unit length
        Vector up;                  // unit length
        double verticalFov = 0.0;   // radians, between 0 and π
        double aspect = 0.0;        // width / height; 0 when the model leaves it open
        double nearDistance = 0.0;  // the near plane, > 0, in model units
    };
    struct Light {
        std::string name;
        Vector position;
        double intensity = 0.0;  // candela: the mean of the light's colour times its intensity
    };

    bool hasCamera = false;
    Camera camera;
    std::vector<Light> lights;
    bool inMetres = false;  // the model's unit of length is the metre
};
