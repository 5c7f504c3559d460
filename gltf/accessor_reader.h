#pragma once

#include <tiny_gltf.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/vector.h"

// Reads the values of a model's accessors after checking every bound first:
// the accessor, its buffer view and its buffer exist, the view lies inside
// the buffer, and every element the accessor reads lies inside the view. So
// no count or offset of the file, however large, reads outside the loaded
// bytes or sizes an allocation beyond them. Sparse accessors and accessors
// without a buffer view are refused.
class GltfAccessorReader {
  public:
    explicit GltfAccessorReader(const tinygltf::Model& model) : model_(model) {}

    // The points of a VEC3 accessor of floats; false with error() when it cannot
    // be read or holds a number that is not finite.
    bool readPoints(int accessor, std::vector<Vector>& points);

    // The values of a SCALAR accessor of unsigned bytes, shorts or ints; false with
    // error() when it cannot be read or a value is `vertexCount` or more.
    bool readIndices(int accessor, size_t vertexCount, std::vector<uint32_t>& indices);

    // "accessor N ...": why the last read failed.
    const std::string& error() const { return error_; }

  private:
    // The accessor's elements: `count` of `size` bytes, `stride` apart from `data`.
    struct Elements {
        const unsigned char* data = nullptr;
        size_t count = 0;
        size_t size = 0;
        size_t stride = 0;
    };

    bool locate(int accessor, int type, Elements& elements);
    bool locateView(int accessor, const tinygltf::Accessor& a, size_t elementSize,
                    Elements& elements);
    bool fail(int accessor, const std::string& what);

    const tinygltf::Model& model_;
    std::string error_;
};
