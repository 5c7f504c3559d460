#pragma once

#include <string>

// Ends the program: prints the message on standard error (after flushing
// standard output) and exits with the status. The only place that exits for
// an error.
[[noreturn]] void fatalError(int status, const std::string& message);

// Prints a message on standard error, flushing standard output first, so
// that both streams appear in program order.
void printError(const std::string& message);
