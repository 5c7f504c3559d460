#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_files.h"

// What a run of a program printed and how it ended.
struct ProgramResult {
    std::string out;  // standard output
    std::string err;  // standard error
    int status = -1;  // exit status (0..255), or -1 when killed or timed out
};

// Runs `program` with `args` in directory `dir`, feeding `input` on standard
// input, and kills it after `timeoutSeconds`.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& dir, const std::string& input = "",
                         int timeoutSeconds = 300);
