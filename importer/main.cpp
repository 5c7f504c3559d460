// obj2sce: converts a Wavefront OBJ model and its MTL materials into a scene file.
#include <fstream>
#include <iostream>

#include "importer/obj2sce_options.h"
#include "importer/obj_reader.h"
#include "importer/scene_writer.h"

namespace {
const int kBadModel = 1;  // the model cannot be read, converted or written
const int kBadOptions = 2;

void printWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings) std::cerr << "obj2sce: warning: " << w << "\n";
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
    std::cerr << "obj2sce: " << options.outputFile << ": cannot be written\n";
    return kBadModel;
}
}  // namespace

int main(int argc, char** argv) {
    Obj2sceOptions options;
    std::string error;
    if (!parseObj2sceOptions(argc, argv, options, error)) {
        std::cerr << "obj2sce: " << error << "\nTry 'obj2sce --help'.\n";
        return kBadOptions;
    }
    if (options.help) {
        std::cout << obj2sceUsage();
        return 0;
    }
    ObjModel model;
    ObjReader reader;
    bool read = reader.read(options.objFile, model);
    printWarnings(reader.warnings());
    if (!read) {
        std::cerr << "obj2sce: " << reader.error() << "\n";
        return kBadModel;
    }
    SceneWriter writer(options);
    bool prepared = writer.prepare(model);
    printWarnings(writer.warnings());
    if (!prepared) {
        std::cerr << "obj2sce: " << writer.error() << "\n";
        return kBadModel;
    }
    return writeScene(writer, options);
}
