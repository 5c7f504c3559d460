#pragma once

#include <string>

// Text from an input file as messages show it: at most kShownCharacters
// characters (then "..."), and every byte that could steer a terminal (control
// characters, bytes that are not UTF-8) written as \xHH.
constexpr size_t kShownCharacters = 80;
std::string shownInput(const std::string& text);

// The same in single quotes.
inline std::string quotedInput(const std::string& text) { return "'" + shownInput(text) + "'"; }
