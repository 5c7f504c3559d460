#include "importer/obj_line_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "importer/input_text.h"

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Cuts the text at a "#" that starts a word.
void removeComment(std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '#' && (i == 0 || isBlank(text[i - 1]))) {
            text.resize(i);
            return;
        }
    }
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

std::string trimmed(const std::string& text) {
    size_t start = 0, end = text.size();
    while (start < end && isBlank(text[start])) ++start;
    while (end > start && isBlank(text[end - 1])) --end;
    return text.substr(start, end - start);
}
}  // namespace

ObjLineReader::~ObjLineReader() {
    if (file_) std::fclose(file_);
}

bool ObjLineReader::open(const std::string& path) {
    path_ = path;
    file_ = std::fopen(path.c_str(), "rbe");
    struct stat status;
    if (!file_ || fstat(fileno(file_), &status) != 0) {
        error_ = shownInput(path) + ": cannot be opened";
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error_ = shownInput(path) + ": cannot be opened: not a regular file";
        return false;
    }
    identity_ = FileIdentity::ofDescriptor(fileno(file_));
    return true;
}

bool ObjLineReader::next() {
    while (readStatement()) {
        removeComment(text_);
        words_ = splitWords(text_);
        if (!words_.empty()) return true;
    }
    return false;
}

// The next line, with the lines that a backslash joins to it, into text_;
// false at the end of the file or with error_ set.
bool ObjLineReader::readStatement() {
    text_.clear();
    std::string line;
    if (!readLine(line)) return false;
    line_ = linesRead_;
    for (;;) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.back() != '\\') break;
        line.back() = ' ';
        text_ += line;
        if (!readLine(line)) {
            if (!error_.empty()) return false;
            line.clear();
            break;
        }
    }
    text_ += line;
    return true;
}

// One line without its line feed; false at the end of the file, or with
// error_ set when the statement grows too long or the file cannot be read.
bool ObjLineReader::readLine(std::string& line) {
    line.clear();
    if (!file_) return false;
    int c;
    while ((c = getc_unlocked(file_)) != EOF && c != '\n') {
        if (text_.size() + line.size() >= kMaxStatementBytes) {
            error_ = shownInput(path_) + ":" + std::to_string(linesRead_ + 1) +
                     ": the line is longer than " + std::to_string(kMaxStatementBytes) + " bytes";
            return false;
        }
        line.push_back(static_cast<char>(c));
    }
    if (c == EOF && std::ferror(file_)) {
        error_ = shownInput(path_) + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    if (c == EOF && line.empty()) return false;
    if (++linesRead_ == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // BOM
    return true;
}

std::string ObjLineReader::rest() const {
    size_t keyword = text_.find(words_.front());
    return trimmed(text_.substr(keyword + words_.front().size()));
}

std::string ObjLineReader::where() const {
    return shownInput(path_) + ":" + std::to_string(line_) + ": ";
}

bool ObjLineReader::number(size_t i, double& value, std::string& error) const {
    if (i >= words_.size()) {
        error = where() + "a number is missing after " + quotedInput(words_.back());
        return false;
    }
    const std::string& word = words_[i];
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) {
        error = where() + quotedInput(word) + " is not a number";
        return false;
    }
    return true;
}
