#pragma once

#include <fstream>
#include <string>
#include <vector>

// Reads an OBJ or MTL file statement by statement: one line split into blank-separated
// words, with "#" comments removed and lines ending in a backslash joined to the next.
class ObjLineReader {
  public:
    // False when the file cannot be opened.
    bool open(const std::string& path);

    // Moves to the next line that holds a statement; false at the end of the file.
    bool next();

    const std::vector<std::string>& words() const { return words_; }

    // The text after the first word, blanks trimmed: names may hold blanks.
    std::string rest() const;

    // "FILE:LINE: ", the start of every message about the current statement.
    std::string where() const;

    // Word `i` as a finite number; false with a message in `error` when it is missing or
    // not a number.
    bool number(size_t i, double& value, std::string& error) const;

  private:
    std::ifstream in_;
    std::string path_;
    std::string text_;                // the statement, comment removed
    std::vector<std::string> words_;  // text_ split at blanks
    int line_ = 0;                    // line of the statement's first line, from 1
    int linesRead_ = 0;
};
