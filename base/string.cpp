#include "base/string.h"

int String::compare(const String& other) const {
    const std::string& a = text_;
    const std::string& b = other.text_;
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

String& String::append(const char* text) {
    if (text) text_ += text;
    return *this;
}

bool String::containsDot() const { return text_.find('.') != std::string::npos; }
