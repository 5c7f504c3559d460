#include "tests/support/program_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {
[[noreturn]] void execChild(const std::string& program, const std::vector<std::string>& args,
                            const std::string& dir, const std::string& ioBase) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    int in = open((ioBase + ".in").c_str(), O_RDONLY);
    int out = open((ioBase + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open((ioBase + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}
}  // namespace

RunningProgram startProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& dir, const std::string& input) {
    RunningProgram running;
    running.ioBase = makeTempDir() + "/io";
    writeFile(running.ioBase + ".in", input);
    running.pid = fork();
    if (running.pid == 0) execChild(program, args, dir, running.ioBase);
    return running;
}

std::string errorSoFar(const RunningProgram& running) { return readFile(running.ioBase + ".err"); }

ProgramResult finishProgram(const RunningProgram& running, int timeoutSeconds) {
    ProgramResult result;
    int waitStatus = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (waitpid(running.pid, &waitStatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(running.pid, SIGKILL);
            waitpid(running.pid, &waitStatus, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(waitStatus)) result.status = WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) result.signal = WTERMSIG(waitStatus);
    result.out = readFile(running.ioBase + ".out");
    result.err = readFile(running.ioBase + ".err");
    return result;
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& dir, const std::string& input, int timeoutSeconds) {
    return finishProgram(startProgram(program, args, dir, input), timeoutSeconds);
}
