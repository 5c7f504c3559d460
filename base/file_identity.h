#pragma once

#include <sys/types.h>

#include <string>

// Which file a name or an open descriptor refers to: its device and inode.
// A name that does not exist yet is told by its directory's device and inode
// and its last component, so that two outputs not yet written can be
// compared too.
struct FileIdentity {
    bool known = false;   // false when nothing could be found out
    dev_t device = 0;     // of the file, or of the directory of a new name
    ino_t inode = 0;      // likewise
    std::string newName;  // the last component of a name that does not exist; else empty

    bool operator==(const FileIdentity& other) const {
        return known && other.known && device == other.device && inode == other.inode &&
               newName == other.newName;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }

    // The file `path` names, following symbolic links; a missing file is a new
    // name in its directory, a missing directory leaves the identity unknown.
    static FileIdentity ofPath(const std::string& path);
    // The file open as `fd`.
    static FileIdentity ofDescriptor(int fd);
};
