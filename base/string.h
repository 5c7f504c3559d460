#pragma once

#include <string>

// The text value of file, material and object names. Names compare exactly and
// case-sensitively, byte by byte.
class String {
  public:
    String() = default;
    String(const char* text) : text_(text ? text : "") {}  // NOLINT: implicit by design

    const char* c_str() const { return text_.c_str(); }
    int length() const { return static_cast<int>(text_.size()); }
    bool empty() const { return text_.empty(); }

    // -1, 0 or 1 as the first differing byte (as unsigned) is smaller or larger.
    int compare(const String& other) const;
    bool operator==(const String& other) const { return compare(other) == 0; }
    bool operator!=(const String& other) const { return compare(other) != 0; }

    // Joins any amount of text; there is no length limit.
    String& append(const char* text);
    bool containsDot() const;

  private:
    std::string text_;
};
