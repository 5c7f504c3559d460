// Fuzzes the glTF import: every input is read as a model file and converted
// as the converter does (GltfReader, then SceneWriter into memory), under
// AddressSanitizer and UndefinedBehaviorSanitizer. Whether an input is JSON
// text or a glTF binary is told by its content, as the reader does.
//
// An input may carry an external buffer as well: the bytes after the first
// line "#buffer" are written to buffer.bin beside the model, which the model
// can name as the URI of a buffer.
//
// The reader ends no program: every outcome, read or refused, is defined,
// and only a sanitizer's report, a crash, a leak, a timeout or an allocation
// beyond the limit is a fault.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>

#include "importer/gltf_reader.h"
#include "importer/scene_writer.h"

namespace {
const std::string kBufferMarker = "#buffer\n";

// Models that could make more than this are refused by the reader's limits
// (with the same message as at the program's own limits): large models are
// slow, not faulty.
constexpr size_t kTriangleBudget = 200000;
constexpr size_t kFileBudget = size_t(1) << 20;

class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
NullBuffer nullBuffer;

std::string workDirectory;

void removeWorkDirectory() {
    if (workDirectory.empty()) return;
    std::remove((workDirectory + "/model.gltf").c_str());
    std::remove((workDirectory + "/buffer.bin").c_str());
    rmdir(workDirectory.c_str());
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/ray-bundle-gltf-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("gltf_reader_fuzzer: no work directory");
        std::exit(1);
    }
    workDirectory = pattern;
    std::atexit(removeWorkDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t marker = input.find(kBufferMarker);
    std::string model = workDirectory + "/model.gltf", buffer = workDirectory + "/buffer.bin";
    writeFile(model, input.substr(0, marker));
    if (marker == std::string::npos)
        std::remove(buffer.c_str());
    else
        writeFile(buffer, input.substr(marker + kBufferMarker.size()));

    GltfReader::Limits limits;
    limits.file.fileBytes = kFileBudget;
    limits.triangles = limits.vertices = kTriangleBudget;
    GltfReader reader(limits);
    ObjModel read;
    ModelView view;
    if (!reader.read(model, read, view)) return 0;
    SceneWriter writer{Obj2sceOptions()};
    if (!writer.prepare(read, view)) return 0;
    std::ostream out(&nullBuffer);
    writer.write(out, model);
    return 0;
}
