#include "render/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/option_text.h"

namespace {
using option_text::optionName;
using option_text::parseDouble;
using option_text::parseInt;

// "W" or "WxH", each 1 to 16384.
bool parseSize(const std::string& text, int& width, int& height) {
    size_t x = text.find('x');
    if (x == std::string::npos) {
        if (!parseInt(text, 1, 16384, width)) return false;
        height = width;
        return true;
    }
    return parseInt(text.substr(0, x), 1, 16384, width) &&
           parseInt(text.substr(x + 1), 1, 16384, height);
}

// Splits "--name=value" and finds the value of an option that takes one.
bool takeValue(int argc, char** argv, int& i, const std::string& arg, std::string& value) {
    size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
        value = arg.substr(eq + 1);
        return true;
    }
    if (i + 1 >= argc) return false;
    value = argv[++i];
    return true;
}

bool applyValueOption(const std::string& name, const std::string& value, RenderOptions& o,
                      std::string& error) {
    bool ok = true;
    if (name == "-n" || name == "--iterations")
        ok = parseInt(value, 0, 100000000, o.iterations);
    else if (name == "-o" || name == "--output")
        o.pngFile = value;
    else if (name == "--hdr")
        o.exrFile = value;
    else if (name == "--patches")
        o.patchFile = value;
    else if (name == "--convergence")
        o.convergenceFile = value;
    else if (name == "--size")
        ok = parseSize(value, o.width, o.height);
    else if (name == "--exposure")
        ok = parseDouble(value, o.exposure);
    else if (name == "--threads")
        ok = parseInt(value, 1, 1024, o.threads);
    if (!ok) error = "invalid value '" + value + "' for " + name;
    if (ok && value.empty()) {
        error = "empty value for " + name;
        ok = false;
    }
    return ok;
}

bool takesValue(const std::string& name) {
    for (const char* n : {"-n", "--iterations", "-o", "--output", "--hdr", "--patches",
                          "--convergence", "--size", "--exposure", "--threads"})
        if (name == n) return true;
    return false;
}
}  // namespace

bool parseRenderOptions(int argc, char** argv, RenderOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string name = optionName(arg);
        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "-q" || arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--srgb") {
            o.srgb = true;
        } else if (takesValue(name)) {
            std::string value;
            if (!takeValue(argc, argv, i, arg, value)) {
                error = "option " + name + " needs a value";
                return false;
            }
            if (!applyValueOption(name, value, o, error)) return false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else if (o.sceneFile.empty()) {
            o.sceneFile = arg;
        } else {
            error = "more than one scene file: " + o.sceneFile + " and " + arg;
            return false;
        }
    }
    if (!o.help && o.sceneFile.empty()) {
        error = "no scene file given";
        return false;
    }
    return true;
}

std::string renderUsage() {
    return "Usage: ray-bundle-render SCENE.sce [options]\n"
           "Computes the global illumination of a scene without a display and writes the result.\n"
           "\n"
           "  -n, --iterations N    iterations to run (default 4000)\n"
           "  -o, --output FILE     the final image as PNG (8-bit, as the window shows it)\n"
           "      --hdr FILE        the final image as OpenEXR, linear radiance\n"
           "      --patches FILE    one CSV row per patch: serial, material, centre, normal,\n"
           "                        area, radiance in channels 0, 1, 2\n"
           "      --convergence FILE  every 20 iterations: iteration, seconds, area-weighted\n"
           "                        mean radiance, relative change (CSV)\n"
           "      --size W[xH]      image size in pixels (default 560x560)\n"
           "      --exposure E      multiply radiance by E before writing the PNG (default 1)\n"
           "      --srgb            encode the PNG with the sRGB curve (default: linear)\n"
           "      --threads N       threads to compute with (default: all cores; the results\n"
           "                        are the same for any number)\n"
           "  -q, --quiet           print nothing but errors\n"
           "  -h, --help            show this text\n"
           "\n"
           "Exit status: 0 on success, 2 for bad options or an output that cannot be written;\n"
           "scene-file errors keep the window program's messages and statuses.\n";
}
