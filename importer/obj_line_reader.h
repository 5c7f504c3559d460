#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "base/file_identity.h"

// Reads an OBJ or MTL file statement by statement: one line split into blank-separated
// words, with "#" comments removed and lines ending in a backslash joined to the next.
// Only regular files are read (a device or a pipe might never end), a UTF-8 byte-order
// mark at the start is skipped, and a statement may hold at most kMaxStatementBytes.
class ObjLineReader {
  public:
    static constexpr size_t kMaxStatementBytes = 1 << 20;

    ObjLineReader() = default;
    ~ObjLineReader();
    ObjLineReader(const ObjLineReader&) = delete;
    ObjLineReader& operator=(const ObjLineReader&) = delete;

    // False with error() ("FILE: cannot be opened...") when the file cannot be
    // opened or is not a regular file.
    bool open(const std::string& path);
    const FileIdentity& identity() const { return identity_; }

    // Moves to the next line that holds a statement; false at the end of the file, or
    // with error() set when a statement is too long or the file cannot be read.
    bool next();
    const std::string& error() const { return error_; }

    const std::vector<std::string>& words() const { return words_; }

    // The text after the first word, blanks trimmed: names may hold blanks.
    std::string rest() const;

    // "FILE:LINE: ", the start of every message about the current statement.
    std::string where() const;

    // Word `i` as a finite number; false with a message in `error` when it is missing or
    // not a number.
    bool number(size_t i, double& value, std::string& error) const;

  private:
    bool readLine(std::string& line);
    bool readStatement();

    FILE* file_ = nullptr;
    FileIdentity identity_;
    std::string path_;
    std::string text_;                // the statement, comment removed
    std::vector<std::string> words_;  // text_ split at blanks
    int line_ = 0;                    // line of the statement's first line, from 1
    int linesRead_ = 0;
    std::string error_;
};
