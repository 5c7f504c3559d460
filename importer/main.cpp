// ray-bundle-import (also built as obj2sce, the name scripts know): converts an
// OBJ or glTF model into a scene file.
#include <fstream>
#include <iostream>

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

// Nothing is written before the whole model has been read and prepared.
int writeScene(const SceneWriter& writer, const Obj2sceOptions& options) {
    if (options.outputFile.empty()) {
        writer.write(std::cout, options.objFile);
        std::cout.flush();
        return std::cout ? 0 : kBadModel;
    }
    std::ofstream out(options.outputFile, std::ios::binary | std::ios::trunc);
    if (out) writer.write(out, options.objFile);
    out.close();
    if (out) return 0;
    std::cerr << kProgram << ": " << options.outputFile << ": cannot be written\n";
    return kBadModel;
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
    ObjModel model;
    ModelView view;  // the camera and lights of a glTF model
    ModelReader reader;
    bool read = reader.read(options.objFile, model, view);
    printWarnings(reader.warnings());
    if (!read) {
        std::cerr << kProgram << ": " << reader.error() << "\n";
        return kBadModel;
    }
    SceneWriter writer(options);
    bool prepared = writer.prepare(model, view);
    printWarnings(writer.warnings());
    if (!prepared) {
        std::cerr << kProgram << ": " << writer.error() << "\n";
        return kBadModel;
    }
    return writeScene(writer, options);
}
