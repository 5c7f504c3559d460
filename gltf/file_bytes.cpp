#include "gltf/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
// Reads up to bytes.size() bytes; a file that shrank meanwhile keeps what was there.
bool readAll(int fd, std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return true;
}
}  // namespace

bool readFileBytes(const std::string& path, size_t limit, std::vector<unsigned char>& bytes,
                   std::string& why) {
    bytes.clear();
    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = "cannot be opened";
        return false;
    }
    struct stat status;
    bool ok = false;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        why = "is not a regular file";
    } else if (static_cast<unsigned long long>(status.st_size) > limit) {
        why = "holds more than " + std::to_string(limit) + " bytes, the most that is read";
    } else {
        bytes.resize(static_cast<size_t>(status.st_size));
        ok = readAll(fd, bytes);
        if (!ok) why = "cannot be read";
    }
    close(fd);
    if (!ok) bytes.clear();
    return ok;
}
