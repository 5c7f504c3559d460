#pragma once

#include <string>

#include "render/image.h"

class Scene;

// How the final image is drawn.
struct FinalImageStyle {
    double creaseDegrees = 30.0;  // corners average the patches whose normals are this close
    bool antialias = true;        // 4 samples per pixel, averaged
};

// Draws the solution once more through the scene's camera into the current
// GL context's framebuffer of width × height and reads it back as linear
// radiance (the framebuffer must hold floats for radiance above 1 to
// survive; colour clamping is switched off). Pixels are square at any size
// (imageCamera). Patches facing away from the
// eye are not drawn, as in the window; corner colours keep creases sharp
// (CreaseColors), and the depth range runs from the nearest to the farthest
// patch in view, in passes of far / near at most 100, so that surfaces 0.1
// apart at 1000 units keep their order. False with `error` set when no
// multisampled framebuffer of the size can be made.
bool renderFinalImage(Scene& s, int width, int height, const FinalImageStyle& style, Image& image,
                      std::string& error);

// Whether renderFinalImage can draw an image of this size and style in the
// current GL context; false with `error` set when it cannot, so that a run
// can be refused before it starts.
bool canRenderFinalImage(int width, int height, const FinalImageStyle& style, std::string& error);
