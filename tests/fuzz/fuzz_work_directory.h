#pragma once

// What the fuzzers share: the directory their inputs are written to, which
// is the current directory only while an input is read (so that files an
// input names are found beside it, while libFuzzer's own paths stay relative
// to where it was started), and crash files kept where the fuzzer was started.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz_work_directory {

inline std::string path;                // the work directory
inline std::vector<std::string> files;  // names written there, removed at exit
inline int workFd = -1;
inline int startFd = -1;

inline void removeFiles() {
    if (path.empty()) return;
    for (const std::string& name : files) std::remove((path + "/" + name).c_str());
    rmdir(path.c_str());
}

inline void enter(int fd) {
    if (fchdir(fd) != 0) {
        std::perror("fuzzer: fchdir");
        std::abort();
    }
}

// Crash and timeout files go where the fuzzer was started, not into the work
// directory: adds -artifact_prefix=<start directory>/ unless an artifact path
// is given. libFuzzer reads its flags after this initialisation.
inline void keepArtifactsInStartDirectory(int* argc, char*** argv) {
    for (int i = 1; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        if (arg.rfind("-artifact_prefix=", 0) == 0 || arg.rfind("-exact_artifact_path=", 0) == 0)
            return;
    }
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) return;
    static std::string prefix = std::string("-artifact_prefix=") + cwd + "/";
    std::free(cwd);
    static std::vector<char*> arguments;
    arguments.assign(*argv, *argv + *argc);
    arguments.push_back(&prefix[0]);
    arguments.push_back(nullptr);
    *argc += 1;
    *argv = arguments.data();
}

// Makes the work directory, in which the files `names` will be written.
inline void create(int* argc, char*** argv, const std::vector<std::string>& names) {
    keepArtifactsInStartDirectory(argc, argv);
    char pattern[] = "/tmp/ray-bundle-fuzz-XXXXXX";
    startFd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (startFd < 0 || !mkdtemp(pattern)) {
        std::perror("fuzzer: no work directory");
        std::exit(1);
    }
    path = pattern;
    files = names;
    workFd = open(pattern, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::atexit(removeFiles);
}

}  // namespace fuzz_work_directory
