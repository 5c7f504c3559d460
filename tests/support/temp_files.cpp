#include "tests/support/temp_files.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

pid_t ownerProcess = 0;  // the process that made the directory removes it
// Never destroyed, so that it is still there when the exit handler runs.
const std::string* madeDirectory = nullptr;

void removeTempDirectory() {
    if (getpid() != ownerProcess || !madeDirectory) return;  // a death test's child leaves it alone
    std::error_code ignored;
    std::filesystem::remove_all(*madeDirectory, ignored);
}

}  // namespace

std::string tempDirectory() {
    static const std::string directory = [] {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "ray_bundle_XXXXXX").string();
        if (error || !mkdtemp(pattern.data())) {
            ADD_FAILURE() << "cannot make a temp directory from " << pattern;
            return pattern;
        }
        pattern = std::filesystem::absolute(pattern).string();
        madeDirectory = new std::string(pattern);
        ownerProcess = getpid();
        std::atexit(removeTempDirectory);
        return pattern;
    }();
    return directory;
}

std::string makeTempDir() {
    std::string pattern = tempDirectory() + "/dir-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        ADD_FAILURE() << "cannot make a directory from " << pattern;
        return tempDirectory();
    }
    return name.data();
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    out.close();
    if (!out) ADD_FAILURE() << "cannot write " << path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

std::string writeTempFile(const std::string& name, const std::string& contents) {
    const std::string path = tempDirectory() + "/" + name;
    writeFile(path, contents);
    return path;
}
