#include "importer/model_reader.h"

#include "importer/gltf_reader.h"
#include "importer/model_format.h"
#include "importer/obj_reader.h"

bool ModelReader::read(const std::string& path, ObjModel& model, ModelView& view) {
    bool read = false;
    if (modelFormatOf(path) == ModelFormat::Gltf) {
        GltfReader reader;
        read = reader.read(path, model, view);
        error_ = reader.error();
        warnings_ = reader.warnings();
        inputFiles_.clear();
        for (const std::string& file : reader.filesRead())
            inputFiles_.emplace_back(file, FileIdentity::ofPath(file));
    } else {
        ObjReader reader;
        read = reader.read(path, model);
        error_ = reader.error();
        warnings_ = reader.warnings();
        inputFiles_ = reader.inputFiles();
    }
    return read;
}
