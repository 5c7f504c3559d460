#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temp_files.h"

// What a run of a program printed and how it ended.
struct ProgramResult {
    std::string out;  // standard output
    std::string err;  // standard error
    int status = -1;  // exit status (0..255), or -1 when killed or timed out
    int signal = 0;   // the signal that ended it, when one did
};

// Runs `program` with `args` in directory `dir`, feeding `input` on standard
// input, and kills it after `timeoutSeconds`.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& dir, const std::string& input = "",
                         int timeoutSeconds = 300);

// A program started in the background, for tests that signal it while it runs.
struct RunningProgram {
    pid_t pid = -1;
    std::string ioBase;  // its standard streams are ioBase + ".in", ".out", ".err"
};

RunningProgram startProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& dir, const std::string& input = "");

// What the program has written to standard error so far.
std::string errorSoFar(const RunningProgram& running);

// Waits for the program to end, killing it after `timeoutSeconds`.
ProgramResult finishProgram(const RunningProgram& running, int timeoutSeconds = 300);
