#pragma once

#include <tiny_gltf.h>

#include <cstddef>
#include <string>

// A glTF document in memory, as tinygltf is given it.
struct TinyGltfInput {
    const unsigned char* bytes = nullptr;
    size_t size = 0;
    bool binary = false;  // a whole glTF binary whose chunks have been checked; else JSON text
    const unsigned char* json = nullptr;  // the JSON text (inside `bytes` for a binary)
    size_t jsonSize = 0;
    std::string baseDirectory;    // where external buffers are looked up
    tinygltf::FsCallbacks files;  // how they are found and read
};

// The only call into tinygltf. Parses the document into `model` without
// decoding any image. False with `error` when tinygltf refuses the document,
// when an image's buffer view lies outside its buffer (tinygltf would address
// those bytes unchecked), and when tinygltf or its JSON library throws: every
// exception ends here and none reaches the caller. `warnings` gets
// tinygltf's warnings, one per line.
bool parseWithTinyGltf(const TinyGltfInput& input, tinygltf::Model& model, std::string& error,
                       std::string& warnings);

// The only call into tinygltf's writer. Serialises `model` into `bytes`: a
// glTF binary (GLB) with the first buffer as its BIN chunk when `binary`, else
// JSON text with the buffers embedded as data URIs. False with `error` when
// tinygltf fails or throws (names must be valid UTF-8, or its JSON library
// refuses them), or when a binary would be larger than the 4 GiB its header
// can give (tinygltf would write a wrong length).
bool serializeWithTinyGltf(const tinygltf::Model& model, bool binary, std::string& bytes,
                           std::string& error);
