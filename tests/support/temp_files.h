#pragma once

#include <string>

// Temporary files of a test process. Everything lives in one directory per
// process, made on first use under the system temp folder and removed with
// all its contents when the process that made it exits.

// The absolute path of this process's temporary directory.
std::string tempDirectory();

// A fresh empty directory inside it, for one test or one program run.
std::string makeTempDir();

// Writes `contents` to a file called `name` in the temporary directory and
// returns the file's absolute path. Writing the same name again replaces it.
std::string writeTempFile(const std::string& name, const std::string& contents);

// Writes a file anywhere (creating or replacing it).
void writeFile(const std::string& path, const std::string& contents);

// The whole contents of a file, empty when it cannot be read.
std::string readFile(const std::string& path);
