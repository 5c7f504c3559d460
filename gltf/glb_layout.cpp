#include "gltf/glb_layout.h"

#include <cstdint>

namespace {
const size_t kHeaderSize = 12;
const size_t kChunkHeaderSize = 8;
const uint32_t kJsonChunk = 0x4E4F534A;  // "JSON" read as a little-endian number
const uint32_t kBinChunk = 0x004E4942;   // "BIN\0"

uint32_t word(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

bool GlbLayout::hasMagic(const unsigned char* bytes, size_t size) {
    return size >= 4 && bytes[0] == 'g' && bytes[1] == 'l' && bytes[2] == 'T' && bytes[3] == 'F';
}

bool GlbLayout::read(const unsigned char* bytes, size_t size, std::string& error) {
    if (!hasMagic(bytes, size) || size < kHeaderSize) {
        error = "is not a glTF binary: it is shorter than the 12 bytes of the header";
        return false;
    }
    uint32_t version = word(bytes + 4);
    length = word(bytes + 8);
    if (version != 2) {
        error = "is a glTF binary of version " + std::to_string(version) + "; only 2 is read";
        return false;
    }
    if (length < kHeaderSize) {
        error = "is not a valid glTF binary: its header gives a length of " +
                std::to_string(length) + " bytes";
        return false;
    }
    if (length > size) {
        error = "is cut short: its header gives " + std::to_string(length) +
                " bytes, the file holds " + std::to_string(size);
        return false;
    }
    size_t at = kHeaderSize;
    if (length - at < kChunkHeaderSize || word(bytes + at + 4) != kJsonChunk) {
        error = "is not a valid glTF binary: its first chunk is not JSON";
        return false;
    }
    jsonSize = word(bytes + at);
    jsonOffset = at + kChunkHeaderSize;
    if (jsonSize > length - jsonOffset) {
        error = "is not a valid glTF binary: its JSON chunk of " + std::to_string(jsonSize) +
                " bytes runs past the end";
        return false;
    }
    at = jsonOffset + jsonSize;
    binOffset = binSize = 0;
    if (length - at < kChunkHeaderSize) return true;     // no further chunk
    if (word(bytes + at + 4) != kBinChunk) return true;  // other chunks are ignored
    binSize = word(bytes + at);
    binOffset = at + kChunkHeaderSize;
    if (binSize > length - binOffset) {
        error = "is not a valid glTF binary: its BIN chunk of " + std::to_string(binSize) +
                " bytes runs past the end";
        return false;
    }
    return true;
}
