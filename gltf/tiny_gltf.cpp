// The tinygltf library, compiled here once for the whole program (with the
// settings that gltf/CMakeLists.txt gives every includer), and the two calls
// into it: the reader's and the writer's. tinygltf and nlohmann-json throw exceptions (parse
// errors, and std::out_of_range from tinygltf's own vector accesses); the rest of the program uses
// none, so parseWithTinyGltf and serializeWithTinyGltf catch every one of them. JSON exceptions are
// not switched off with JSON_NOEXCEPTION: the library would then call std::abort where it throws, a
// crash on a hostile file.
#define TINYGLTF_IMPLEMENTATION
#include <cstdint>
#include <exception>
#include <sstream>

#include "gltf/tiny_gltf_call.h"

namespace {
using Json = nlohmann::json;

// Images are not read: the image loader accepts any bytes untouched.
bool skipImage(tinygltf::Image*, const int, std::string*, std::string*, int, int,
               const unsigned char*, int, void*) {
    return true;
}

// The member `name` of `object`, or null when there is none.
const Json* member(const Json& object, const char* name) {
    auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

// The object that `index` (a member of `from`) picks from the array `name` of
// the document, or null when there is none.
const Json* element(const Json& root, const char* name, const Json& from, const char* index) {
    const Json* array = member(root, name);
    const Json* i = member(from, index);
    if (!array || !array->is_array() || !i || !i->is_number_unsigned()) return nullptr;
    uint64_t k = i->get<uint64_t>();
    return k < array->size() && (*array)[k].is_object() ? &(*array)[k] : nullptr;
}

uint64_t unsignedMember(const Json& object, const char* name, uint64_t absent) {
    const Json* value = member(object, name);
    if (!value) return absent;
    return value->is_number_unsigned() ? value->get<uint64_t>() : UINT64_MAX;
}

// tinygltf passes an image's bytes as &buffer.data[view.byteOffset] without
// checking the view against its buffer (whose data, once loaded, has exactly
// the buffer's byteLength). So every image view must name an existing view of
// an existing buffer and lie inside it.
bool imageViewsInBounds(const Json& root, std::string& error) {
    const Json* images = root.is_object() ? member(root, "images") : nullptr;
    if (!images || !images->is_array()) return true;
    for (size_t i = 0; i < images->size(); ++i) {
        const Json& image = (*images)[i];
        if (!image.is_object() || !member(image, "bufferView")) continue;
        const Json* view = element(root, "bufferViews", image, "bufferView");
        const Json* buffer = view ? element(root, "buffers", *view, "buffer") : nullptr;
        uint64_t offset = view ? unsignedMember(*view, "byteOffset", 0) : 0;
        uint64_t length = view ? unsignedMember(*view, "byteLength", UINT64_MAX) : 0;
        uint64_t size = buffer ? unsignedMember(*buffer, "byteLength", 0) : 0;
        if (!buffer || size == 0 || offset > size || length > size - offset) {
            error = "image " + std::to_string(i) + " names a buffer view outside its buffer";
            return false;
        }
    }
    return true;
}

bool parse(const TinyGltfInput& input, tinygltf::Model& model, std::string& error,
           std::string& warnings) {
    const char* text = reinterpret_cast<const char*>(input.json);
    if (!imageViewsInBounds(Json::parse(text, text + input.jsonSize, nullptr, false), error))
        return false;
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(skipImage, nullptr);
    loader.SetFsCallbacks(input.files);
    if (input.binary)
        return loader.LoadBinaryFromMemory(&model, &error, &warnings, input.bytes,
                                           static_cast<unsigned int>(input.size),
                                           input.baseDirectory);
    return loader.LoadASCIIFromString(&model, &error, &warnings, text,
                                      static_cast<unsigned int>(input.jsonSize),
                                      input.baseDirectory);
}
}  // namespace

bool parseWithTinyGltf(const TinyGltfInput& input, tinygltf::Model& model, std::string& error,
                       std::string& warnings) {
    try {
        return parse(input, model, error, warnings);
    } catch (const std::exception& e) {
        error = std::string("tinygltf failed: ") + e.what();
    } catch (...) {
        error = "tinygltf failed";
    }
    return false;
}

namespace {
const char* const kTooLarge =
    "the mesh is larger than a glTF binary can hold (4 GiB): write .gltf or .ply";

bool serialize(const tinygltf::Model& model, bool binary, std::string& bytes, std::string& error) {
    std::ostringstream out;
    tinygltf::TinyGLTF writer;
    if (!writer.WriteGltfSceneToStream(&model, out, false, binary) || !out) {
        error = "tinygltf could not write the model";
        return false;
    }
    bytes = out.str();
    // tinygltf states the length in 32 bits without checking it.
    if (binary && bytes.size() > UINT32_MAX) {
        error = kTooLarge;
        return false;
    }
    return true;
}
}  // namespace

bool serializeWithTinyGltf(const tinygltf::Model& model, bool binary, std::string& bytes,
                           std::string& error) {
    try {
        return serialize(model, binary, bytes, error);
    } catch (const std::exception& e) {
        error = std::string("tinygltf failed: ") + e.what();
    } catch (...) {
        error = "tinygltf failed";
    }
    return false;
}
