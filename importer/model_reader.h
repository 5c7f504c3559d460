#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/file_identity.h"
#include "importer/model_view.h"
#include "importer/obj_model.h"

// Reads a model of any format the converter knows (modelFormatOf): OBJ with
// its MTL materials through ObjReader, glTF through GltfReader.
class ModelReader {
  public:
    // Fills `model` and `view` (which stays empty for OBJ); false with error().
    bool read(const std::string& path, ObjModel& model, ModelView& view);

    const std::string& error() const { return error_; }
    const std::vector<std::string>& warnings() const { return warnings_; }
    // Every file read: the model, its material libraries or external buffers.
    const std::vector<std::pair<std::string, FileIdentity>>& inputFiles() const {
        return inputFiles_;
    }

  private:
    std::string error_;
    std::vector<std::string> warnings_;
    std::vector<std::pair<std::string, FileIdentity>> inputFiles_;
};
