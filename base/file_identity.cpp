#include "base/file_identity.h"

#include <sys/stat.h>

#include <cerrno>

namespace {
FileIdentity fromStatus(const struct stat& status) {
    FileIdentity id;
    id.known = true;
    id.device = status.st_dev;
    id.inode = status.st_ino;
    return id;
}
}  // namespace

FileIdentity FileIdentity::ofPath(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) == 0) return fromStatus(status);
    if (errno != ENOENT) return FileIdentity();
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (stat(folder.c_str(), &status) != 0) return FileIdentity();
    FileIdentity id = fromStatus(status);
    id.newName = slash == std::string::npos ? path : path.substr(slash + 1);
    return id;
}

FileIdentity FileIdentity::ofDescriptor(int fd) {
    struct stat status;
    return fstat(fd, &status) == 0 ? fromStatus(status) : FileIdentity();
}
