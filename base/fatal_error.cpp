#include "base/fatal_error.h"

#include <cstdlib>
#include <iostream>
#include <new>

namespace {
FatalErrorHandler fatalErrorHandler = nullptr;

const char* const kOutOfMemory = "\nOut of memory: the scene is too large for this machine\n";

void onOutOfMemory() {
    // A failure while reporting this one throws and aborts instead of recursing.
    std::set_new_handler(nullptr);
    fatalError(-1, kOutOfMemory);
}
}  // namespace

void printError(const std::string& message) { std::cerr << message; }

void fatalError(int status, const std::string& message) { fatalError(status, message.c_str()); }

void fatalError(int status, const char* message) {
    std::cerr << message;
    std::cout.flush();
    if (fatalErrorHandler) fatalErrorHandler(status);
    std::exit(status);
}

void setFatalErrorHandler(FatalErrorHandler handler) { fatalErrorHandler = handler; }

void installOutOfMemoryHandler() { std::set_new_handler(onOutOfMemory); }
