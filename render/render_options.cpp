#include "render/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

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

bool parseFov(const std::string& text, double& degrees) {
    return parseDouble(text, degrees) && degrees > 0.0 && degrees < 180.0;
}

// 1 or more: no iteration leaves every patch black.
bool parseIterations(const std::string& text, int& iterations, std::string& error) {
    if (!parseInt(text, 0, 100000000, iterations)) return false;
    if (iterations > 0) return true;
    error = "-n 0 computes nothing and would write a black image: give 1 or more iterations";
    return false;
}

bool parseDirections(const std::string& text, DirectionSequence::Kind& kind) {
    if (text == "random")
        kind = DirectionSequence::Kind::Random;
    else if (text == "sobol")
        kind = DirectionSequence::Kind::Sobol;
    else
        return false;
    return true;
}

// 0 to 4294967295, digits only.
bool parseSeed(const std::string& text, uint32_t& seed) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return false;
    seed = static_cast<uint32_t>(value);
    return true;
}

bool parseVectorOption(const std::string& text, bool& given, Vector& v) {
    given = true;
    return parseVectorText(text, v);
}

// Splits "--name=value" and finds the value of an option that takes one.
bool takeValue(const std::vector<std::string>& args, size_t& i, const std::string& arg,
               std::string& value) {
    size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
        value = arg.substr(eq + 1);
        return true;
    }
    if (i + 1 >= args.size()) return false;
    value = args[++i];
    return true;
}

bool applyCameraOption(const std::string& name, const std::string& value, CameraOverride& c) {
    if (name == "--eye") return parseVectorOption(value, c.hasEye, c.eye);
    if (name == "--look-at") return parseVectorOption(value, c.hasLookAt, c.lookAt);
    if (name == "--up") return parseVectorOption(value, c.hasUp, c.up);
    c.hasFov = true;
    return parseFov(value, c.fovDegrees);
}

bool applyValueOption(const std::string& name, const std::string& value, RenderOptions& o,
                      std::string& error) {
    bool ok = true;
    if (name == "-n" || name == "--iterations")
        ok = parseIterations(value, o.iterations, error);
    else if (name == "-o" || name == "--output")
        o.pngFile = value;
    else if (name == "--hdr")
        o.exrFile = value;
    else if (name == "--patches")
        o.patchFile = value;
    else if (name == "--convergence")
        o.convergenceFile = value;
    else if (name == "--mesh")
        o.meshFile = value;
    else if (name == "--size")
        ok = parseSize(value, o.width, o.height);
    else if (name == "--exposure")
        ok = o.fixedExposure = parseDouble(value, o.exposure);
    else if (name == "--crease")
        ok = parseDouble(value, o.creaseDegrees) && o.creaseDegrees >= 0.0 &&
             o.creaseDegrees <= 180.0;
    else if (name == "--threads")
        ok = parseInt(value, 1, 1024, o.threads);
    else if (name == "--time")
        ok = parseDouble(value, o.timeBudget) && o.timeBudget > 0.0;
    else if (name == "--directions")
        ok = parseDirections(value, o.directions);
    else if (name == "--seed")
        ok = parseSeed(value, o.seed);
    else
        ok = applyCameraOption(name, value, o.camera);
    if (!ok && error.empty()) error = "invalid value '" + value + "' for " + name;
    if (ok && value.empty()) {
        error = "empty value for " + name;
        ok = false;
    }
    return ok;
}

bool takesValue(const std::string& name) {
    for (const char* n :
         {"-n", "--iterations", "-o", "--output", "--hdr", "--patches", "--convergence", "--mesh",
          "--size", "--exposure", "--crease", "--time", "--threads", "--directions", "--seed",
          "--eye", "--look-at", "--up", "--fov"})
        if (name == n) return true;
    return false;
}

// Splits combined short options ("-qn20" into "-q", "-n", "20"). The value
// of an option, given as the next argument, is left as it is even when it
// starts with "-", and so is everything after "--".
std::vector<std::string> splitShortOptions(int argc, char** argv) {
    std::vector<std::string> args;
    bool valueNext = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (valueNext || arg == "--" || arg.size() < 3 || arg[0] != '-' || arg[1] == '-' ||
            (arg[1] >= '0' && arg[1] <= '9')) {
            if (arg == "--" && !valueNext) {
                args.insert(args.end(), argv + i, argv + argc);
                break;
            }
            valueNext = !valueNext && takesValue(arg);  // "--name=value" is not its name
            args.push_back(arg);
            continue;
        }
        for (size_t k = 1; k < arg.size(); ++k) {
            args.push_back(std::string("-") + arg[k]);
            if (!takesValue(args.back())) continue;
            if (k + 1 < arg.size()) args.push_back(arg.substr(k + 1));
            valueNext = k + 1 == arg.size();
            break;
        }
    }
    return args;
}

bool applyFlag(const std::string& arg, RenderOptions& o) {
    if (arg == "-h" || arg == "--help")
        o.help = true;
    else if (arg == "--version")
        o.version = true;
    else if (arg == "-q" || arg == "--quiet")
        o.quiet = true;
    else if (arg == "--linear")
        o.linear = true;
    else if (arg == "--srgb")  // the default since the PNG is display-ready; kept for old scripts
        o.linear = false;
    else if (arg == "--no-antialias")
        o.antialias = false;
    else
        return false;
    return true;
}

bool takeSceneFile(const std::string& arg, RenderOptions& o, std::string& error) {
    if (o.sceneFile.empty()) {
        o.sceneFile = arg;
        return true;
    }
    error = "more than one scene file: " + o.sceneFile + " and " + arg;
    return false;
}

bool takeOption(const std::vector<std::string>& args, size_t& i, RenderOptions& o,
                std::string& error) {
    const std::string& arg = args[i];
    std::string name = optionName(arg);
    if (applyFlag(arg, o)) return true;
    if (!takesValue(name)) {
        error = "unknown option " + arg;
        return false;
    }
    std::string value;
    if (!takeValue(args, i, arg, value)) {
        error = "option " + name + " needs a value";
        return false;
    }
    return applyValueOption(name, value, o, error);
}

bool endsWithObj(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".obj";
}
}  // namespace

bool parseRenderOptions(int argc, char** argv, RenderOptions& o, std::string& error) {
    std::vector<std::string> args = splitShortOptions(argc, argv);
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!(isOption ? takeOption(args, i, o, error) : takeSceneFile(arg, o, error)))
            return false;
    }
    if (!o.help && !o.version && o.sceneFile.empty()) {
        error = "no scene file given";
        return false;
    }
    if (endsWithObj(o.sceneFile)) {
        std::string stem = o.sceneFile.substr(0, o.sceneFile.size() - 4);
        error = o.sceneFile +
                " is an OBJ model, not a scene file: convert it first with obj2sce (obj2sce " +
                o.sceneFile + " -o " + stem + ".sce)";
        return false;
    }
    return true;
}

std::string renderUsage() {
    return "Usage: ray-bundle-render SCENE.sce [options]\n"
           "Computes the global illumination of a scene without a display and writes the result.\n"
           "\n"
           "Output:\n"
           "  -o, --output FILE     the final image in the format its name ends in: .png a PNG\n"
           "                        ready to view (exposed so that the scene is in range,\n"
           "                        sRGB-encoded), .exr OpenEXR (linear radiance, unscaled);\n"
           "                        - writes PNG to standard output\n"
           "      --hdr FILE        another final image, likewise; - writes OpenEXR to\n"
           "                        standard output\n"
           "      --patches FILE    one CSV row per patch: serial, material, centre, normal,\n"
           "                        area, radiance as red, green, blue\n"
           "      --convergence FILE  every 20 iterations: iteration, seconds, area-weighted\n"
           "                        mean radiance, its relative change, and the relative RMS\n"
           "                        change of the patches' radiance (CSV)\n"
           "      --mesh FILE       the solved scene as a mesh whose vertex colours hold the\n"
           "                        light, in the format its name ends in: .glb or .gltf\n"
           "                        (glTF, unlit materials, one mesh per object) or .ply\n"
           "                        (binary); - writes .glb to standard output. Colours:\n"
           "                        linear radiance times the PNG's exposure (the image is\n"
           "                        rendered for it when none is asked for), at most 1;\n"
           "                        creases as in the image (--crease)\n"
           "      --size W[xH]      image size in pixels (default 560x560); the scene camera's\n"
           "                        vertical view is kept, the horizontal one follows W/H\n"
           "      --exposure E      multiply radiance by E for the PNG (and the mesh) instead\n"
           "                        of exposing it automatically (the 99th percentile of the\n"
           "                        lit pixels' luminance at 0.9, lamps seen directly left out)\n"
           "      --linear          the PNG as the window shows it: no sRGB curve, exposure 1\n"
           "                        unless --exposure is given\n"
           "      --srgb            the sRGB curve (the default; accepted for old scripts)\n"
           "      --crease DEG      a corner's colour averages the patches around it whose\n"
           "                        normals are at most DEG degrees apart (default 30;\n"
           "                        180 averages all of them, as the window does)\n"
           "      --no-antialias    one sample per pixel (default: 4, averaged)\n"
           "\n"
           "Camera (changes the scene file's camera for the whole run):\n"
           "      --eye X,Y,Z       move the eye, keeping the viewing direction\n"
           "      --look-at X,Y,Z   look at this point, centred\n"
           "      --up X,Y,Z        the up direction\n"
           "      --fov DEG         vertical field of view in degrees (0 < DEG < 180)\n"
           "\n"
           "Run:\n"
           "  -n, --iterations N    iterations to run, 1 or more (default 4000); 0 is refused\n"
           "      --time SECONDS    stop after the iteration during which SECONDS have passed\n"
           "      --threads N       threads to compute with (default: all cores; the results\n"
           "                        are the same for any number)\n"
           "      --directions KIND the iterations' directions: random (the default, the\n"
           "                        window program's numbers) or sobol, a scrambled\n"
           "                        low-discrepancy sequence in shuffled blocks: other\n"
           "                        numbers, converging several times faster on diffuse\n"
           "                        scenes (docs/directions.md)\n"
           "      --seed N          0 to 4294967295: another seed gives an independent run\n"
           "                        (other random choices, another sobol scramble); the\n"
           "                        default 0 gives the window program's numbers\n"
           "  -q, --quiet           print nothing but errors\n"
           "  -h, --help            show this text\n"
           "      --version         show the version\n"
           "\n"
           "Short options combine (-qn 20, -n20); '--' ends the options. On a terminal a bar\n"
           "shows the progress; otherwise a line every few seconds. Outputs are written when\n"
           "the run ends; a table named - goes to standard output. A first Ctrl-C (SIGINT) or\n"
           "SIGTERM ends the run after the current iteration and writes the outputs of the\n"
           "iterations done; a second ends the program at once.\n"
           "\n"
           "Exit status: 0 on success, 2 for bad options (camera options that leave no view\n"
           "among them) or an output that cannot be written, 3 when no OpenGL context can be\n"
           "made, 4 when the solution diverges (nothing is written), 130 or 143 after SIGINT\n"
           "or SIGTERM; scene-file errors keep the window program's messages and statuses.\n";
}
