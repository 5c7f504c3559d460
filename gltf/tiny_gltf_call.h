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
