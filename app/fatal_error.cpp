#include "app/fatal_error.h"

#include <cstdlib>
#include <iostream>

void printError(const std::string& message) { std::cerr << message; }

void fatalError(int status, const std::string& message) {
    printError(message);
    std::cout.flush();
    std::exit(status);
}
