#pragma once

#include <string>

// The command line of the headless renderer.
struct RenderOptions {
    std::string sceneFile;
    int iterations = 4000;
    std::string pngFile;          // -o, --output
    std::string exrFile;          // --hdr
    std::string patchFile;        // --patches
    std::string convergenceFile;  // --convergence
    int width = 560;
    int height = 560;
    double exposure = 1.0;
    bool srgb = false;
    int threads = 0;  // --threads; 0: all cores
    bool quiet = false;
    bool help = false;
};

// Parses the arguments; on a mistake returns false with a message in `error`.
bool parseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);

// The text of --help.
std::string renderUsage();
