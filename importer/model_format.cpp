#include "importer/model_format.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace {
std::string lowerExtension(const std::string& path) {
    size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return "";
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The first bytes of the file, without waiting on a pipe; empty when it cannot be read.
std::string firstBytes(const std::string& path, size_t count) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return "";
    std::string bytes(count, '\0');
    ssize_t n = read(fd, &bytes[0], count);
    close(fd);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return bytes;
}
}  // namespace

ModelFormat modelFormatOf(const std::string& path) {
    std::string extension = lowerExtension(path);
    if (extension == "gltf" || extension == "glb") return ModelFormat::Gltf;
    if (extension == "obj") return ModelFormat::Obj;
    std::string start = firstBytes(path, 256);
    if (start.compare(0, 4, "glTF") == 0) return ModelFormat::Gltf;
    size_t text = start.find_first_not_of(" \t\r\n");
    return text != std::string::npos && start[text] == '{' ? ModelFormat::Gltf : ModelFormat::Obj;
}
