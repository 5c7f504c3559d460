#include "render/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {}

OutputFile::~OutputFile() {
    if (stream_) std::fclose(stream_);
    if (!committed_ && !temporary_.empty()) std::remove(temporary_.c_str());
}

bool OutputFile::open(std::string& error) {
    std::string pattern = path_ + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    temporary_ = name.data();
    stream_ = fdopen(fd, "wb");
    if (!stream_) {
        close(fd);
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool OutputFile::commit(std::string& error) {
    bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
    ok = std::fclose(stream_) == 0 && ok;
    stream_ = nullptr;
    if (ok) chmod(temporary_.c_str(), 0644);  // mkstemp made it private
    if (!ok || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    committed_ = true;
    return true;
}
