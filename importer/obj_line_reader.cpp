#include "importer/obj_line_reader.h"

#include <cmath>
#include <cstdlib>

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

bool ObjLineReader::open(const std::string& path) {
    path_ = path;
    in_.open(path, std::ios::binary);
    return static_cast<bool>(in_);
}

bool ObjLineReader::next() {
    std::string line;
    while (std::getline(in_, line)) {
        line_ = ++linesRead_;
        text_.clear();
        // Join continued lines.
        for (;;) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line.back() != '\\') break;
            line.back() = ' ';
            text_ += line;
            if (!std::getline(in_, line)) {
                line.clear();
                break;
            }
            ++linesRead_;
        }
        text_ += line;
        removeComment(text_);
        words_ = splitWords(text_);
        if (!words_.empty()) return true;
    }
    return false;
}

std::string ObjLineReader::rest() const {
    size_t keyword = text_.find(words_.front());
    return trimmed(text_.substr(keyword + words_.front().size()));
}

std::string ObjLineReader::where() const { return path_ + ":" + std::to_string(line_) + ": "; }

bool ObjLineReader::number(size_t i, double& value, std::string& error) const {
    if (i >= words_.size()) {
        error = where() + "a number is missing after '" + words_.back() + "'";
        return false;
    }
    const std::string& word = words_[i];
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) {
        error = where() + "'" + word + "' is not a number";
        return false;
    }
    return true;
}
