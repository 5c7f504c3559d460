#include "gltf/gltf_loader.h"

#include <sys/stat.h>

#include <algorithm>

#include "gltf/file_bytes.h"
#include "gltf/glb_layout.h"
#include "gltf/tiny_gltf_call.h"

namespace {
// How deeply arrays and objects nest in JSON text (brackets inside strings do
// not count). For text that is not JSON it is an upper bound of what a parser
// would build.
int nestingDepth(const unsigned char* text, size_t size) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = text[i];
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

// tinygltf's messages, one per line, without blank lines.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string directoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

struct FileContext {
    std::string baseDirectory;
    size_t limit;
    std::vector<std::string>* read;  // the external files read so far
};

// tinygltf looks for an external buffer beside the model and then in the current
// directory; only the first is taken, so a model never reads a stray file of the
// same name.
bool fileExists(const std::string& path, void* context) {
    const FileContext& files = *static_cast<const FileContext*>(context);
    if (path.compare(0, files.baseDirectory.size(), files.baseDirectory) != 0) return false;
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

std::string keepPath(const std::string& path, void*) { return path; }

bool readFile(std::vector<unsigned char>* out, std::string* err, const std::string& path,
              void* context) {
    const FileContext& files = *static_cast<const FileContext*>(context);
    std::string why;
    if (readFileBytes(path, files.limit, *out, why)) {
        files.read->push_back(path);
        return true;
    }
    if (err) *err = why;
    return false;
}

bool refuseWrite(std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
    if (err) *err = "the reader writes no files";
    return false;
}
}  // namespace

bool GltfLoader::fail(const std::string& what) {
    error_ = path_ + ": " + what;
    return false;
}

bool GltfLoader::load(const std::string& path, tinygltf::Model& model) {
    path_ = path;
    error_.clear();
    warnings_.clear();
    filesRead_ = {path};
    baseDirectory_ = directoryOf(path);
    std::vector<unsigned char> bytes;
    std::string why;
    if (!readFileBytes(path, limits_.fileBytes, bytes, why)) return fail(why);
    return parse(bytes, model);
}

bool GltfLoader::parse(const std::vector<unsigned char>& bytes, tinygltf::Model& model) {
    TinyGltfInput input;
    input.bytes = bytes.data();
    input.size = bytes.size();
    input.json = bytes.data();
    input.jsonSize = bytes.size();
    input.binary = GlbLayout::hasMagic(bytes.data(), bytes.size());
    if (input.binary) {
        GlbLayout layout;
        std::string why;
        if (!layout.read(bytes.data(), bytes.size(), why)) return fail(why);
        input.size = layout.length;
        input.json = bytes.data() + layout.jsonOffset;
        input.jsonSize = layout.jsonSize;
    }
    if (input.jsonSize > limits_.jsonBytes)
        return fail("its JSON holds more than " + std::to_string(limits_.jsonBytes) +
                    " bytes, the most that is read");
    if (nestingDepth(input.json, input.jsonSize) > limits_.jsonDepth)
        return fail("its JSON nests arrays and objects more than " +
                    std::to_string(limits_.jsonDepth) + " deep");
    FileContext files{baseDirectory_, limits_.fileBytes, &filesRead_};
    input.baseDirectory = baseDirectory_;
    input.files = tinygltf::FsCallbacks{fileExists, keepPath, readFile, refuseWrite, &files};
    std::string error, warnings;
    bool parsed = parseWithTinyGltf(input, model, error, warnings);
    for (const std::string& w : lines(warnings)) warnings_.push_back(path_ + ": " + w);
    if (parsed) return true;
    std::string joined;
    for (const std::string& e : lines(error)) joined += (joined.empty() ? "" : "; ") + e;
    return fail(joined.empty() ? "is not valid glTF" : joined);
}
