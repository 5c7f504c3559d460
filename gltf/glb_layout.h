#pragma once

#include <cstddef>
#include <string>

// Where the parts of a glTF binary (.glb) lie: a 12-byte header ("glTF",
// version 2, total length), a JSON chunk and an optional BIN chunk, each
// behind an 8-byte chunk header (length, type). Offsets count from the start
// of the file.
struct GlbLayout {
    size_t length = 0;      // the total length that the header gives
    size_t jsonOffset = 0;  // the JSON text
    size_t jsonSize = 0;
    size_t binOffset = 0;  // the binary buffer; binSize is 0 without one
    size_t binSize = 0;

    // Whether `bytes` begins like a glTF binary, with the magic "glTF".
    static bool hasMagic(const unsigned char* bytes, size_t size);

    // Finds the chunks of a glTF binary of `size` bytes and checks that every
    // one lies inside the file; false with a message in `error` otherwise.
    bool read(const unsigned char* bytes, size_t size, std::string& error);
};
