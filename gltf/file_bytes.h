#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads a whole regular file of at most `limit` bytes into `bytes`. Anything
// else (a missing file, a directory, a device, a pipe, which could block the
// reader for ever, or a larger file) gives false and a reason in `why`:
// "cannot be opened", "is not a regular file", "holds more than N bytes",
// "cannot be read".
bool readFileBytes(const std::string& path, size_t limit, std::vector<unsigned char>& bytes,
                   std::string& why);
