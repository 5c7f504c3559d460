#pragma once

#include <cstdio>
#include <string>

#include "base/file_identity.h"

// A file a program writes, written so that nothing else is destroyed:
// - "-" is standard output, written as it is;
// - a regular file, or a name that does not exist yet, is written under a
//   temporary name beside it and renamed into place only when complete, so a
//   failed or interrupted write leaves the old file (an existing file keeps
//   its mode and owner);
// - a symbolic link is followed: its target is written, the link stays;
// - any other file that can be written (a character device such as
//   /dev/null, a named pipe) is written directly;
// - a directory or a block device is refused.
// Every write, the flush and the close are checked.
class OutputFile {
  public:
    explicit OutputFile(std::string path);
    ~OutputFile();  // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Finds out, without writing anything, whether the output can be
    // written: false with `error` ("cannot write PATH: why") when not.
    bool check(std::string& error);
    // The file the output goes to, once checked (for standard output, what
    // it is open to).
    const FileIdentity& identity() const { return identity_; }
    const std::string& path() const { return path_; }

    // Checks, then opens the stream: false with `error` set when that fails.
    bool open(std::string& error);
    FILE* stream() const { return stream_; }
    // Flushes and closes (standard output is only flushed) and renames the
    // temporary file into place; false with `error` set when any write failed.
    bool commit(std::string& error);
    // Opens, writes `bytes` and commits: an output made whole in memory.
    bool writeAll(const std::string& bytes, std::string& error);

  private:
    enum class Kind { StandardOutput, Replaced, Direct };

    bool resolve(std::string& error);
    bool probeFolder(std::string& error) const;
    bool openTemporary(std::string& error);
    bool openDirect(std::string& error);
    bool fail(std::string& error, int code) const;
    bool fail(std::string& error, const std::string& why) const;

    std::string path_;      // as given
    std::string resolved_;  // symbolic links followed
    Kind kind_ = Kind::Replaced;
    bool exists_ = false;     // resolved_ names an existing file
    unsigned int mode_ = 0;   // of the existing file
    unsigned int owner_ = 0;  // user and group of the existing file
    unsigned int group_ = 0;
    bool checked_ = false;
    FileIdentity identity_;
    std::string temporary_;
    int temporarySlot_ = -1;  // in the table removeTemporaryOutputs() empties
    FILE* stream_ = nullptr;
    bool committed_ = false;
};

// Removes the temporary files of the outputs being written. Safe to call
// from a signal handler, so that a program killed while it writes leaves
// nothing behind.
void removeTemporaryOutputs();

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of the outputs
// being written before they end the program as usual.
void removeTemporaryOutputsOnSignals();
