#pragma once

#include <string>
#include <vector>

#include "geometry/vector.h"

// A Wavefront model as the converter needs it: the vertex positions, the faces
// of every group/material combination and the materials. Colours keep the
// file's red, green, blue order; the scene writer turns them round.
struct ObjModel {
    struct Material {
        std::string name;
        double diffuse[3] = {0.7, 0.7, 0.7};   // Kd, reflectance
        double specular[3] = {0.0, 0.0, 0.0};  // Ks, weight of the glossy lobe
        double exponent = 10.0;                // Ns, sharpness of the glossy lobe
        double emission[3] = {0.0, 0.0, 0.0};  // Ke, emitted radiance
        bool defined = false;                  // read from a material library

        bool emits() const { return emission[0] > 0.0 || emission[1] > 0.0 || emission[2] > 0.0; }
    };

    struct Face {
        std::vector<int> corners;  // indices into positions, from 0
    };

    // The faces of one group ("g" or "o") drawn with one material ("usemtl").
    struct Group {
        std::string name;          // "object.group", or "default"
        std::string materialName;  // as written after usemtl
        int material = 0;          // index into materials, set when the file is read
        std::vector<Face> faces;   // in file order
    };

    std::vector<Vector> positions;    // "v", in file order
    std::vector<Material> materials;  // the libraries' materials, then grey stand-ins
    std::vector<Group> groups;        // in order of their first face
};
