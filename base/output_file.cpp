#include "base/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {
// Temporary files being written, for removeTemporaryOutputs(): fixed storage,
// so that a signal handler can read it.
constexpr int kSlots = 16;
constexpr size_t kNameBytes = 4096;
char temporaryNames[kSlots][kNameBytes];
volatile sig_atomic_t slotInUse[kSlots];

int holdTemporary(const std::string& name) {
    if (name.size() >= kNameBytes) return -1;  // written all the same, only not removed on signals
    for (int i = 0; i < kSlots; ++i) {
        if (slotInUse[i]) continue;
        std::memcpy(temporaryNames[i], name.c_str(), name.size() + 1);
        slotInUse[i] = 1;
        return i;
    }
    return -1;
}

void releaseTemporary(int slot) {
    if (slot >= 0) slotInUse[slot] = 0;
}

void removeAndEnd(int signalNumber) {
    removeTemporaryOutputs();
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);  // delivered with the default action when the handler returns
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string readLink(const std::string& path) {
    std::vector<char> target(4096);
    ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) {
        if (n >= 0) errno = ENAMETOOLONG;
        return std::string();
    }
    return std::string(target.data(), static_cast<size_t>(n));
}

// The permissions a new file gets: 0666 less the process's umask.
mode_t newFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}
}  // namespace

void removeTemporaryOutputs() {
    for (int i = 0; i < kSlots; ++i)
        if (slotInUse[i]) unlink(temporaryNames[i]);
}

void removeTemporaryOutputsOnSignals() {
    for (int s : {SIGINT, SIGTERM, SIGHUP}) signal(s, removeAndEnd);
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {}

OutputFile::~OutputFile() {
    if (stream_ && stream_ != stdout) std::fclose(stream_);
    if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
    releaseTemporary(temporarySlot_);
}

bool OutputFile::fail(std::string& error, int code) const {
    return fail(error, code != 0 ? std::strerror(code) : "a write failed");
}

bool OutputFile::fail(std::string& error, const std::string& why) const {
    error = "cannot write " + path_ + ": " + why;
    return false;
}

bool OutputFile::check(std::string& error) {
    if (checked_) return true;
    if (path_ == "-") {
        kind_ = Kind::StandardOutput;
        identity_ = FileIdentity::ofDescriptor(STDOUT_FILENO);
    } else {
        if (!resolve(error)) return false;
        identity_ = FileIdentity::ofPath(resolved_);
        if (kind_ == Kind::Replaced && !probeFolder(error)) return false;
    }
    checked_ = true;
    return true;
}

// Follows symbolic links to the file that is written and tells how to write it.
bool OutputFile::resolve(std::string& error) {
    resolved_ = path_;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status;
        if (lstat(resolved_.c_str(), &status) != 0) {
            if (errno != ENOENT) return fail(error, errno);
            kind_ = Kind::Replaced;  // a new name
            return true;
        }
        if (S_ISLNK(status.st_mode)) {
            std::string target = readLink(resolved_);
            if (target.empty()) return fail(error, errno);
            resolved_ = target[0] == '/' ? target : folderOf(resolved_) + target;
            continue;
        }
        if (S_ISDIR(status.st_mode)) return fail(error, EISDIR);
        if (S_ISBLK(status.st_mode)) return fail(error, "it is a block device");
        if (access(resolved_.c_str(), W_OK) != 0) return fail(error, errno);
        exists_ = true;
        mode_ = status.st_mode & 07777;
        owner_ = status.st_uid;
        group_ = status.st_gid;
        kind_ = S_ISREG(status.st_mode) ? Kind::Replaced : Kind::Direct;
        return true;
    }
    return fail(error, ELOOP);
}

// Makes and removes a temporary file beside the destination: where that
// fails, the real write would fail too.
bool OutputFile::probeFolder(std::string& error) const {
    OutputFile probe(path_);
    probe.resolved_ = resolved_;
    probe.exists_ = exists_;
    return probe.openTemporary(error);
}

bool OutputFile::open(std::string& error) {
    if (!check(error)) return false;
    if (kind_ == Kind::StandardOutput) {
        stream_ = stdout;
        return true;
    }
    return kind_ == Kind::Direct ? openDirect(error) : openTemporary(error);
}

bool OutputFile::openTemporary(std::string& error) {
    std::string name = resolved_.substr(folderOf(resolved_).size(), 200);
    std::string pattern = folderOf(resolved_) + name + ".tmp-XXXXXX";
    std::vector<char> chars(pattern.begin(), pattern.end());
    chars.push_back('\0');
    int fd = mkostemp(chars.data(), O_CLOEXEC);
    if (fd < 0) return fail(error, errno);
    temporary_ = chars.data();
    temporarySlot_ = holdTemporary(temporary_);
    // The new file looks like the one it replaces, or like any new file.
    // Only root may keep another owner: the file then belongs to the writer.
    if (exists_ && fchown(fd, owner_, group_) != 0) errno = 0;
    fchmod(fd, exists_ ? static_cast<mode_t>(mode_) : newFileMode());
    stream_ = fdopen(fd, "wb");
    if (stream_) return true;
    int code = errno;
    close(fd);
    return fail(error, code);
}

bool OutputFile::openDirect(std::string& error) {
    int fd = ::open(resolved_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fail(error, errno);
    stream_ = fdopen(fd, "wb");
    if (stream_) return true;
    int code = errno;
    close(fd);
    return fail(error, code);
}

bool OutputFile::commit(std::string& error) {
    if (!stream_) return fail(error, EBADF);
    bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
    int code = errno;  // of the failed write, when one failed
    if (stream_ != stdout && std::fclose(stream_) != 0 && ok) {
        ok = false;
        code = errno;
    }
    stream_ = nullptr;
    if (ok && !temporary_.empty() && std::rename(temporary_.c_str(), resolved_.c_str()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) return fail(error, code);
    committed_ = true;
    releaseTemporary(temporarySlot_);
    temporarySlot_ = -1;
    return true;
}

bool OutputFile::writeAll(const std::string& bytes, std::string& error) {
    if (!open(error)) return false;
    std::fwrite(bytes.data(), 1, bytes.size(), stream_);
    return commit(error);
}
