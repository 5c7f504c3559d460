#pragma once

#include <cstdio>
#include <string>

// A file written under a temporary name beside its destination and renamed
// into place only when complete, so a failed write leaves no partial file.
class OutputFile {
  public:
    explicit OutputFile(std::string path);
    ~OutputFile();  // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the temporary file; false with `error` set when it cannot be made.
    bool open(std::string& error);
    FILE* stream() const { return stream_; }
    const std::string& temporaryPath() const { return temporary_; }
    // Closes and renames; false with `error` set when that fails.
    bool commit(std::string& error);

  private:
    std::string path_;
    std::string temporary_;
    FILE* stream_ = nullptr;
    bool committed_ = false;
};
