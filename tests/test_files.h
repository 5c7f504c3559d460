#pragma once

#include <string>

// Writes `contents` to a file called `name` in this process's own temporary
// directory (made on first use under the system temp folder) and returns the
// file's absolute path. Writing the same name again replaces the file.
std::string writeTempFile(const std::string& name, const std::string& contents);

// The absolute path of this process's temporary directory.
std::string tempDirectory();
