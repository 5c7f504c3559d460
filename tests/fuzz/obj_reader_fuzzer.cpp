// Fuzzes obj2sce's reader and writer: every input is read as an OBJ model
// and, when it reads, converted into a scene in memory, the way the program
// converts one.
//
// An input may carry a material library as well: the bytes after the first
// line "#mtl" are written to the file model.mtl, which the model part can
// name with `mtllib model.mtl` ("#" starts a comment in OBJ files, so the
// marker means nothing to the reader itself).
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "importer/obj2sce_options.h"
#include "importer/obj_reader.h"
#include "importer/scene_writer.h"
#include "tests/fuzz/fuzz_work_directory.h"

namespace {
const char* const kModelFile = "model.obj";
const char* const kLibraryFile = "model.mtl";
const std::string kLibraryMarker = "#mtl\n";

void writeFile(const char* name, const std::string& contents) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << contents;
}

void writeInput(const std::string& input) {
    size_t marker = input.find(kLibraryMarker);
    writeFile(kModelFile, input.substr(0, marker));
    if (marker == std::string::npos)
        std::remove(kLibraryFile);
    else
        writeFile(kLibraryFile, input.substr(marker + kLibraryMarker.size()));
}

void convert() {
    ObjModel model;
    ObjReader reader;
    if (!reader.read(kModelFile, model)) return;
    SceneWriter writer{Obj2sceOptions()};
    if (!writer.prepare(model)) return;
    std::ostringstream scene;
    writer.write(scene, kModelFile);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz_work_directory::create(argc, argv, {kModelFile, kLibraryFile});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_work_directory::enter(fuzz_work_directory::workFd);
    writeInput(std::string(reinterpret_cast<const char*>(data), size));
    convert();
    fuzz_work_directory::enter(fuzz_work_directory::startFd);
    return 0;
}
