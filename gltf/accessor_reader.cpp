#include "gltf/accessor_reader.h"

#include <cmath>
#include <cstring>

namespace {
const char* typeName(int type) {
    switch (type) {
        case TINYGLTF_TYPE_SCALAR:
            return "SCALAR";
        case TINYGLTF_TYPE_VEC2:
            return "VEC2";
        case TINYGLTF_TYPE_VEC3:
            return "VEC3";
        case TINYGLTF_TYPE_VEC4:
            return "VEC4";
        case TINYGLTF_TYPE_MAT2:
            return "MAT2";
        case TINYGLTF_TYPE_MAT3:
            return "MAT3";
        case TINYGLTF_TYPE_MAT4:
            return "MAT4";
        default:
            return "unknown";
    }
}

// Bytes of one component, 0 for a type that is none of glTF's.
size_t componentSize(int componentType) {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return 2;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT:
            return 4;
        default:
            return 0;
    }
}

uint32_t unsignedAt(const unsigned char* p, size_t size) {
    if (size == 1) return p[0];
    if (size == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
}  // namespace

bool GltfAccessorReader::fail(int accessor, const std::string& what) {
    error_ = "accessor " + std::to_string(accessor) + " " + what;
    return false;
}

bool GltfAccessorReader::locate(int accessor, int type, Elements& elements) {
    if (accessor < 0 || static_cast<size_t>(accessor) >= model_.accessors.size())
        return fail(accessor, "does not exist: the model has " +
                                  std::to_string(model_.accessors.size()) + " accessors");
    const tinygltf::Accessor& a = model_.accessors[accessor];
    if (a.type != type)
        return fail(accessor, std::string("holds ") + typeName(a.type) + " values where " +
                                  typeName(type) + " are needed");
    if (a.sparse.isSparse) return fail(accessor, "is sparse, which is not supported");
    if (a.bufferView < 0) return fail(accessor, "has no buffer view");
    if (componentSize(a.componentType) == 0)
        return fail(accessor, "has the unknown component type " + std::to_string(a.componentType));
    size_t components = type == TINYGLTF_TYPE_VEC3 ? 3 : 1;
    return locateView(accessor, a, componentSize(a.componentType) * components, elements);
}

// Checks, without any sum or product that could overflow, that the view lies in its
// buffer and that byteOffset + (count - 1) · stride + elementSize <= the view's length.
bool GltfAccessorReader::locateView(int accessor, const tinygltf::Accessor& a, size_t elementSize,
                                    Elements& elements) {
    if (static_cast<size_t>(a.bufferView) >= model_.bufferViews.size())
        return fail(accessor,
                    "names buffer view " + std::to_string(a.bufferView) + ", which does not exist");
    const tinygltf::BufferView& view = model_.bufferViews[a.bufferView];
    if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= model_.buffers.size())
        return fail(accessor, "reads buffer view " + std::to_string(a.bufferView) +
                                  ", whose buffer does not exist");
    size_t bufferSize = model_.buffers[view.buffer].data.size();
    if (view.byteOffset > bufferSize || view.byteLength > bufferSize - view.byteOffset)
        return fail(accessor, "reads buffer view " + std::to_string(a.bufferView) +
                                  ", which lies outside its buffer of " +
                                  std::to_string(bufferSize) + " bytes");
    size_t stride = view.byteStride != 0 ? view.byteStride : elementSize;
    if (stride < elementSize)
        return fail(accessor, "has elements of " + std::to_string(elementSize) +
                                  " bytes, longer than their stride of " + std::to_string(stride));
    if (a.count > 0 &&
        (a.byteOffset > view.byteLength || elementSize > view.byteLength - a.byteOffset ||
         a.count - 1 > (view.byteLength - a.byteOffset - elementSize) / stride))
        return fail(accessor, "reads " + std::to_string(a.count) + " elements of " +
                                  std::to_string(elementSize) +
                                  " bytes, more than its buffer view "
                                  "of " +
                                  std::to_string(view.byteLength) + " bytes holds");
    elements.data = model_.buffers[view.buffer].data.data() + view.byteOffset + a.byteOffset;
    elements.count = a.count;
    elements.size = elementSize;
    elements.stride = stride;
    return true;
}

bool GltfAccessorReader::readPoints(int accessor, std::vector<Vector>& points) {
    Elements e;
    if (!locate(accessor, TINYGLTF_TYPE_VEC3, e)) return false;
    if (model_.accessors[accessor].componentType != TINYGLTF_COMPONENT_TYPE_FLOAT)
        return fail(accessor, "holds points that are not floats, which are not supported");
    points.clear();
    points.reserve(e.count);
    for (size_t i = 0; i < e.count; ++i) {
        float xyz[3];
        std::memcpy(xyz, e.data + i * e.stride, sizeof xyz);
        if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2]))
            return fail(accessor, "holds a coordinate that is not a finite number");
        points.emplace_back(xyz[0], xyz[1], xyz[2]);
    }
    return true;
}

bool GltfAccessorReader::readIndices(int accessor, size_t vertexCount,
                                     std::vector<uint32_t>& indices) {
    Elements e;
    if (!locate(accessor, TINYGLTF_TYPE_SCALAR, e)) return false;
    int type = model_.accessors[accessor].componentType;
    if (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
        type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
        return fail(accessor, "holds indices that are not unsigned integers");
    indices.clear();
    indices.reserve(e.count);
    for (size_t i = 0; i < e.count; ++i) {
        uint32_t index = unsignedAt(e.data + i * e.stride, e.size);
        if (index >= vertexCount)
            return fail(accessor, "holds the index " + std::to_string(index) + ", outside the " +
                                      std::to_string(vertexCount) + " vertices");
        indices.push_back(index);
    }
    return true;
}
