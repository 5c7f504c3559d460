#pragma once

#include "render/image.h"

class Scene;

// Draws the preview once more, as the window shows it after the last
// iteration, into the current GL context's framebuffer of width × height and
// reads it back as linear radiance. The framebuffer must hold floats for
// radiance above 1 to survive; colour clamping is switched off. Pixels are
// square at any size (applyImageCamera).
Image renderFinalImage(Scene& s, int width, int height);
