#pragma once

#include <string>

// Ends the program: prints the message on standard error (after flushing
// standard output) and exits with the status. The only place that exits for
// an error.
[[noreturn]] void fatalError(int status, const std::string& message);
// The same for a fixed text; allocates nothing, so it can report a failed
// allocation.
[[noreturn]] void fatalError(int status, const char* message);

// Prints a message on standard error, flushing standard output first, so
// that both streams appear in program order.
void printError(const std::string& message);

// Called by fatalError, after the message, with the exit status instead of
// exiting; it must not return (the fuzzer's handler jumps back to the start
// of its run). Null, the default, exits.
using FatalErrorHandler = void (*)(int status);
void setFatalErrorHandler(FatalErrorHandler handler);

// Makes a failed `new` end the program with status -1 and the message
// "\nOut of memory: the scene is too large for this machine\n" instead of
// aborting. Installed at the start of the programs.
void installOutOfMemoryHandler();
