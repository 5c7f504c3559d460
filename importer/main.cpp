// ray-bundle-import (also built as obj2sce, the name scripts know): converts an
// OBJ or glTF model into a scene file.
#include <iostream>
#include <sstream>

#include "base/output_file.h"
#include "importer/model_reader.h"
#include "importer/obj2sce_options.h"
#include "importer/scene_writer.h"

namespace {
const int kBadModel = 1;  // the model cannot be read, converted or written
const int kBadOptions = 2;
const char* const kProgram = RAY_BUNDLE_IMPORT_PROGRAM;  // the name this build answers to

void printWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings) std::cerr << kProgram << ": warning: " << w << "\n";
}

int fail(const std::string& error) {
    std::cerr << kProgram << ": " << error << "\n";
    return kBadModel;
}

// False with `error` set when the output is one of the files read.
bool isApartFromInputs(const OutputFile& output,
                       const std::vector<std::pair<std::string, FileIdentity>>& inputs,
                       std::string& error) {
    for (const auto& input : inputs) {
        if (input.second.newName.empty() && input.second == output.identity()) {
            error = "the output " + output.path() + " is the input file " + input.first;
            return false;
        }
    }
    return true;
}

// Nothing is written before the whole model has been read and prepared; the
// scene then replaces the output in one step, or goes to standard output.
int writeScene(const SceneWriter& writer, const Obj2sceOptions& options, OutputFile& output) {
    std::ostringstream text;
    writer.write(text, options.objFile);
    std::string error;
    return output.writeAll(text.str(), error) ? 0 : fail(error);
}
// Reads the model and writes its scene; the output is checked before
// anything is read, and again against every file read with the model.
int convert(const Obj2sceOptions& options) {
    std::string error;
    OutputFile output(options.outputFile.empty() ? "-" : options.outputFile);
    if (!output.check(error) ||
        !isApartFromInputs(output, {{options.objFile, FileIdentity::ofPath(options.objFile)}},
                           error))
        return fail(error);
    ObjModel model;
    ModelView view;  // the camera and lights of a glTF model
    ModelReader reader;
    bool read = reader.read(options.objFile, model, view);
    printWarnings(reader.warnings());
    if (!read) return fail(reader.error());
    if (!isApartFromInputs(output, reader.inputFiles(), error)) return fail(error);
    SceneWriter writer(options);
    bool prepared = writer.prepare(model, view);
    printWarnings(writer.warnings());
    if (!prepared) return fail(writer.error());
    return writeScene(writer, options, output);
}
}  // namespace

int main(int argc, char** argv) {
    Obj2sceOptions options;
    std::string error;
    if (!parseObj2sceOptions(argc, argv, options, error)) {
        std::cerr << kProgram << ": " << error << "\nTry '" << kProgram << " --help'.\n";
        return kBadOptions;
    }
    if (options.help) {
        std::cout << obj2sceUsage(kProgram);
        return 0;
    }
    removeTemporaryOutputsOnSignals();  // a scene is complete or not there
    return convert(options);
}
