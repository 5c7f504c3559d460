#pragma once

#include <string>

// Reading the values of command-line options.
namespace option_text {
// A finite decimal real that fills the whole text.
bool parseDouble(const std::string& text, double& value);
// A decimal integer from low to high that fills the whole text.
bool parseInt(const std::string& text, int low, int high, int& value);
// The option's name without an "=value" part ("--size=9" gives "--size").
std::string optionName(const std::string& arg);
}  // namespace option_text
