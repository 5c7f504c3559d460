#include "importer/input_text.h"

#include <cstdio>

namespace {
// The length of the printable character at text[i]: an ASCII character that
// is not a control, or a whole UTF-8 sequence other than a C1 control; 0 for
// a byte to escape.
size_t printableLength(const std::string& text, size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f) return 1;
    size_t n = c >= 0xc2 && c <= 0xdf   ? 2
               : c >= 0xe0 && c <= 0xef ? 3
               : c >= 0xf0 && c <= 0xf4 ? 4
                                        : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return 0;
    if (c == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0) return 0;  // U+0080..U+009F
    return n;
}
}  // namespace

std::string shownInput(const std::string& text) {
    std::string shown;
    size_t i = 0;
    for (size_t characters = 0; i < text.size() && characters < kShownCharacters; ++characters) {
        size_t n = printableLength(text, i);
        if (n > 0) {
            shown.append(text, i, n);
            i += n;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[i++]));
        shown += escaped;
    }
    return i < text.size() ? shown + "..." : shown;
}
