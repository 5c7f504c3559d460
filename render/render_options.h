#pragma once

#include <cstdint>
#include <string>

#include "app/direction_sequence.h"
#include "render/camera_override.h"

// The command line of the headless renderer.
struct RenderOptions {
    std::string sceneFile;
    int iterations = 4000;
    std::string pngFile;          // -o, --output
    std::string exrFile;          // --hdr
    std::string patchFile;        // --patches
    std::string convergenceFile;  // --convergence
    std::string meshFile;         // --mesh
    int width = 560;
    int height = 560;
    bool fixedExposure = false;  // --exposure given; otherwise automatic unless linear
    double exposure = 1.0;
    bool linear = false;  // --linear: the PNG as the window shows it, no sRGB curve
    CameraOverride camera;
    double timeBudget = 0.0;      // --time, seconds; 0 for none
    double creaseDegrees = 30.0;  // --crease: 0 to 180; 180 averages every corner whole
    bool antialias = true;        // --no-antialias turns it off
    int threads = 0;              // --threads; 0: all cores
    DirectionSequence::Kind directions = DirectionSequence::Kind::Random;  // --directions
    uint32_t seed = 0;  // --seed; 0 is the window program's run
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Parses the arguments; on a mistake returns false with a message in `error`.
// Short options combine as usual ("-qn 20", "-n20"), long ones take their
// value after a blank or "=", and "--" ends the options.
bool parseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);

// The text of --help.
std::string renderUsage();
