#pragma once

#include <string>
#include <vector>

#include "importer/obj_line_reader.h"
#include "importer/obj_model.h"

// Reads a material library (MTL): "newmtl", the colours Kd, Ks and Ke and the
// exponent Ns. Everything else (Ka, d, illum, texture maps) is skipped.
class MtlReader {
  public:
    // False when the file cannot be opened.
    bool open(const std::string& path);

    // Appends the library's materials; a name already present keeps its first
    // definition. False with error() for a malformed statement.
    bool read(std::vector<ObjModel::Material>& materials);

    const std::string& error() const { return error_; }

  private:
    bool readStatement(ObjModel::Material& material);
    bool readColor(double color[3]);

    ObjLineReader in_;
    std::string error_;
};
