#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// Binary mesh files store numbers little-endian whatever the machine.
namespace little_endian {
inline void append(std::vector<unsigned char>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

inline void append(std::vector<unsigned char>& out, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    append(out, bits);
}
}  // namespace little_endian
