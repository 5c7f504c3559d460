#pragma once

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/file_identity.h"
#include "importer/obj_line_reader.h"
#include "importer/obj_model.h"

// Reads a Wavefront OBJ file and the material libraries it names. Only "v",
// "f", "g", "o", "usemtl" and "mtllib" matter; texture coordinates, normals,
// smoothing groups, lines and points are skipped.
class ObjReader {
  public:
    // Fills `model`. False with error() ("FILE:LINE: what") for a file that
    // cannot be opened or a malformed statement.
    bool read(const std::string& path, ObjModel& model);

    const std::string& error() const { return error_; }

    // Things that did not stop the reading: unknown materials, missing
    // libraries, unsupported statements.
    const std::vector<std::string>& warnings() const { return warnings_; }

    // The files read, as named and as found: the OBJ file, then its libraries.
    const std::vector<std::pair<std::string, FileIdentity>>& inputFiles() const {
        return inputFiles_;
    }

    // Unsupported keywords get a warning each up to this many; then one more
    // says that the rest are skipped silently (a binary file has no end of them).
    static constexpr size_t kMaxSkippedWarnings = 10;

  private:
    bool readStatement();
    bool readVertex();
    bool readFace();
    bool readIndex(const std::string& word, int& index);
    bool readLibraries();
    bool readLibrary(const std::string& name);
    void resolveMaterials();
    void warnSkipped(const std::string& keyword);
    ObjModel::Group& currentGroup();
    bool fail(const std::string& message);

    ObjLineReader in_;
    ObjModel* model_ = nullptr;
    std::string path_;
    std::string objectName_;                // after "o"
    std::string groupName_;                 // after "g"
    std::string materialName_ = "default";  // after "usemtl"
    int group_ = -1;                        // index of the current group, -1 after a change
    std::map<std::pair<std::string, std::string>, int> groupIndex_;  // (name, material) to group
    std::map<std::string, std::string> firstUse_;  // material name to "FILE:LINE: " of its usemtl
    std::set<std::string> skipped_;                // unsupported keywords already warned about
    std::unordered_map<std::string, int> materialIndex_;  // name to index in model_->materials
    std::vector<std::pair<std::string, FileIdentity>> inputFiles_;
    std::string error_;
    std::vector<std::string> warnings_;
};
