#include "importer/obj2sce_options.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/option_text.h"

namespace {
using option_text::optionName;
using option_text::parseDouble;

// How many values the option takes: 0 for a switch, -1 for an unknown option.
int valueCount(const std::string& name) {
    if (name == "-h" || name == "--help" || name == "--swap-yz") return 0;
    if (name == "-o" || name == "--output" || name == "--fov" || name == "--tessellate" ||
        name == "--scale")
        return 1;
    if (name == "--eye" || name == "--look-at" || name == "--up" || name == "--sky") return 3;
    if (name == "--light") return 4;
    return -1;
}

// Collects the option's values: "--name=value" for one value, otherwise the following
// arguments (which may start with a minus sign: "--eye 0 -5 10").
bool takeValues(int argc, char** argv, int& i, int count, std::vector<std::string>& values,
                std::string& error) {
    std::string arg = argv[i];
    std::string name = optionName(arg);
    if (name != arg) {
        if (count != 1) {
            error = "option " + name + " takes " + std::to_string(count) +
                    " values: write them after it";
            return false;
        }
        values.push_back(arg.substr(name.size() + 1));
        return true;
    }
    if (i + count >= argc) {
        error = "option " + name + " needs " + std::to_string(count) +
                (count == 1 ? " value" : " values");
        return false;
    }
    for (int k = 0; k < count; ++k) values.push_back(argv[++i]);
    return true;
}

bool parseNumbers(const std::vector<std::string>& values, double* out, const std::string& name,
                  std::string& error) {
    for (size_t k = 0; k < values.size(); ++k) {
        if (!parseDouble(values[k], out[k])) {
            error = "invalid value '" + values[k] + "' for " + name;
            return false;
        }
    }
    return true;
}

bool parseVector(const std::vector<std::string>& values, Vector& v, const std::string& name,
                 std::string& error) {
    double n[3];
    if (!parseNumbers(values, n, name, error)) return false;
    v = Vector(n[0], n[1], n[2]);
    return true;
}

bool applyNumber(const std::string& name, double value, Obj2sceOptions& o, std::string& error) {
    if (name == "--fov") {
        o.hasFov = true;
        o.fov = value;
        if (value > 0.0 && value < 180.0) return true;
        error = "--fov must lie between 0 and 180 degrees";
    } else if (name == "--tessellate") {
        o.tessellate = value;
        if (value > 0.0 && value <= 100.0) return true;
        error = "--tessellate must be above 0 and at most 100";
    } else {
        o.hasScale = true;
        o.scale = value;
        if (value > 0.0) return true;
        error = "--scale must be positive (a negative one would turn the faces inside out)";
    }
    return false;
}

bool applyOption(const std::string& name, const std::vector<std::string>& values, Obj2sceOptions& o,
                 std::string& error) {
    if (name == "-o" || name == "--output") {
        o.outputFile = values[0];
        if (!o.outputFile.empty()) return true;
        error = "empty value for " + name;
        return false;
    }
    if (name == "--eye") {
        o.hasEye = true;
        return parseVector(values, o.eye, name, error);
    }
    if (name == "--look-at") {
        o.hasLookAt = true;
        return parseVector(values, o.lookAt, name, error);
    }
    if (name == "--sky") {
        o.hasSky = true;
        return parseVector(values, o.sky, name, error);
    }
    if (name == "--up") {
        if (!parseVector(values, o.up, name, error)) return false;
        if (o.up.length() > 0.0) return true;
        error = "--up must not be the zero vector";
        return false;
    }
    if (name == "--light") {
        double n[4];
        if (!parseNumbers(values, n, name, error)) return false;
        o.hasLight = true;
        o.lightPower = n[0];
        o.lightPosition = Vector(n[1], n[2], n[3]);
        return true;
    }
    double value = 0.0;
    return parseNumbers(values, &value, name, error) && applyNumber(name, value, o, error);
}

bool takeFileName(const std::string& arg, Obj2sceOptions& o, std::string& error) {
    if (arg.size() > 1 && arg[0] == '-') {
        error = "unknown option " + arg;
        return false;
    }
    if (!o.objFile.empty()) {
        error = "more than one model: " + o.objFile + " and " + arg;
        return false;
    }
    o.objFile = arg;
    return true;
}
}  // namespace

bool parseObj2sceOptions(int argc, char** argv, Obj2sceOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string name = optionName(arg);
        int count = valueCount(name);
        if (count < 0) {
            if (!takeFileName(arg, o, error)) return false;
        } else if (count == 0) {
            if (name != arg) {
                error = "option " + name + " takes no value";
                return false;
            }
            if (name == "--swap-yz")
                o.swapYZ = true;
            else
                o.help = true;
        } else {
            std::vector<std::string> values;
            if (!takeValues(argc, argv, i, count, values, error)) return false;
            if (!applyOption(name, values, o, error)) return false;
        }
    }
    if (!o.help && o.objFile.empty()) {
        error = "no model given";
        return false;
    }
    return true;
}

std::string obj2sceUsage(const std::string& program) {
    return "Usage: " + program +
           " MODEL [options]\n"
           "Converts a model into a scene file: Wavefront OBJ with its MTL materials,\n"
           "or glTF 2.0 (.gltf, .glb) with its camera and point lights.\n"
           "\n"
           "  -o, --output FILE     write the scene to FILE (default: standard output)\n"
           "      --eye X Y Z       camera position (default: the model's first perspective\n"
           "                        camera, else on the +z side of the model, far enough\n"
           "                        to see all of it)\n"
           "      --look-at X Y Z   point the camera looks at (default: centre of the model)\n"
           "      --up X Y Z        camera up vector (default 0 1 0)\n"
           "      --fov DEGREES     field of view across the square window (default 45)\n"
           "      --tessellate T    tessellation level (default 4; emitting objects get 1)\n"
           "      --scale S         multiply every vertex coordinate by S (default 1; 100\n"
           "                        for glTF, whose metres become centimetres)\n"
           "      --swap-yz         turn a z-up model y-up: (x, y, z) becomes (x, z, -y)\n"
           "      --sky R G B       radiance arriving from the sky (default: none, black)\n"
           "      --light P X Y Z   add a point light of power P at (X, Y, Z) (default: none)\n"
           "  -h, --help            show this text\n"
           "\n"
           "--eye, --look-at or --fov replace the model's camera. Positions and directions\n"
           "are in the written coordinates, after --scale and --swap-yz. The scene is written\n"
           "only once it is complete; FILE may not be the model or a file read with it. Exit\n"
           "status: 0 on success, 1 for a model that cannot be read or converted or a scene\n"
           "that cannot be written, 2 for bad options.\n";
}
