#include "solver/patch_terms.h"

namespace {
// Exactly n zero values: a scene of a million patches keeps no spare room.
template <class T>
void zeroes(std::vector<T>& v, size_t n) {
    std::vector<T>(n).swap(v);
}

template <class T>
size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}
}  // namespace

void PatchTerms::reset(size_t patches) {
    zeroes(exchange, patches);
    zeroes(diffuseEstimate, patches);
    zeroes(eyeRadianceSum, patches);
    zeroes(eyeDirect, 0);
    zeroes(directOutgoing, 0);
}

void PatchTerms::grow(size_t patches) {
    exchange.resize(patches);
    diffuseEstimate.resize(patches);
    eyeRadianceSum.resize(patches);
    if (!eyeDirect.empty()) {
        eyeDirect.resize(patches);
        directOutgoing.resize(patches);
    }
}

void PatchTerms::holdConstants(size_t patches) {
    zeroes(eyeDirect, patches);
    zeroes(directOutgoing, patches);
}

size_t PatchTerms::bytes() const {
    return bytesOf(exchange) + bytesOf(diffuseEstimate) + bytesOf(eyeRadianceSum) +
           bytesOf(eyeDirect) + bytesOf(directOutgoing);
}
