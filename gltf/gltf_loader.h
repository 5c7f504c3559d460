#pragma once

#include <tiny_gltf.h>

#include <cstddef>
#include <string>
#include <vector>

// Reads a glTF 2.0 file, JSON (.gltf) or binary (.glb, told by its content),
// into a tinygltf model, safely for any file: it is read only when it is a
// regular file within the size limit, a binary's chunks are checked to lie
// inside it, deeply nested JSON is refused before tinygltf (which recurses
// into it) sees it, external buffers are read only beside the model and with
// the same limits, and images are never decoded. Accessors are not checked
// here: GltfAccessorReader checks each one it reads.
class GltfLoader {
  public:
    struct Limits {
        size_t fileBytes = size_t(1) << 30;  // the model file and every external buffer
        size_t jsonBytes = size_t(256) << 20;
        int jsonDepth = 64;  // arrays and objects inside one another
    };

    GltfLoader() = default;
    explicit GltfLoader(const Limits& limits) : limits_(limits) {}

    // Fills `model`; false with error() ("PATH: what") for a file that cannot be
    // read or is not glTF that tinygltf accepts.
    bool load(const std::string& path, tinygltf::Model& model);

    const std::string& error() const { return error_; }
    // tinygltf's warnings, each starting with "PATH: ".
    const std::vector<std::string>& warnings() const { return warnings_; }
    // The model file and every external buffer read from disk, by the names
    // they were opened under.
    const std::vector<std::string>& filesRead() const { return filesRead_; }

  private:
    bool parse(const std::vector<unsigned char>& bytes, tinygltf::Model& model);
    bool fail(const std::string& what);

    Limits limits_;
    std::string path_;
    std::string baseDirectory_;  // the model's directory, "" for the current one
    std::string error_;
    std::vector<std::string> warnings_;
    std::vector<std::string> filesRead_;
};
