#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "importer/obj_line_reader.h"
#include "importer/obj_model.h"

// Reads a material library (MTL): "newmtl", the colours Kd, Ks and Ke and the
// exponent Ns. Everything else (Ka, d, illum, texture maps) is skipped.
class MtlReader {
  public:
    // False when the file cannot be opened or is not a regular file.
    bool open(const std::string& path);
    const FileIdentity& identity() const { return in_.identity(); }

    // Appends the library's materials to `materials`, whose names `index`
    // maps to their places; a name already present keeps its first
    // definition. False with error() for a malformed statement or a negative
    // value.
    bool read(std::vector<ObjModel::Material>& materials,
              std::unordered_map<std::string, int>& index);

    const std::string& error() const { return error_; }

  private:
    bool readStatement(ObjModel::Material& material);
    bool readColor(double color[3]);
    bool readValue(size_t i, double& value);

    ObjLineReader in_;
    std::string error_;
};
