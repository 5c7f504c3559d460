#include "render/render_outputs.h"

#include <algorithm>
#include <cctype>

#include "base/output_file.h"

namespace {
bool endsWith(const std::string& path, const std::string& extension) {
    if (path.size() <= extension.size()) return false;
    std::string tail = path.substr(path.size() - extension.size());
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == extension;
}

std::string named(const RenderOutputs::Output& output) { return output.option + " " + output.path; }
}  // namespace

RenderOutputs::RenderOutputs(const RenderOptions& o) : sceneFile_(o.sceneFile) {
    if (!o.pngFile.empty()) outputs_.push_back({"-o", o.pngFile, Format::Png});
    if (!o.exrFile.empty()) outputs_.push_back({"--hdr", o.exrFile, Format::Exr});
    if (!o.patchFile.empty()) outputs_.push_back({"--patches", o.patchFile, Format::PatchTable});
    if (!o.convergenceFile.empty())
        outputs_.push_back({"--convergence", o.convergenceFile, Format::ConvergenceTable});
    if (!o.meshFile.empty()) outputs_.push_back({"--mesh", o.meshFile, Format::Glb});
}

bool RenderOutputs::imageFormat(const std::string& path, Format standard, Format& format) {
    if (path == "-")
        format = standard;
    else if (endsWith(path, ".png"))
        format = Format::Png;
    else if (endsWith(path, ".exr"))
        format = Format::Exr;
    else
        return false;
    return true;
}

bool RenderOutputs::meshFormat(const std::string& path, Format& format) {
    if (path == "-" || endsWith(path, ".glb"))
        format = Format::Glb;
    else if (endsWith(path, ".gltf"))
        format = Format::Gltf;
    else if (endsWith(path, ".ply"))
        format = Format::Ply;
    else
        return false;
    return true;
}

bool RenderOutputs::hasMesh() const {
    for (const Output& output : outputs_)
        if (isMesh(output.format)) return true;
    return false;
}

bool RenderOutputs::hasImage() const {
    for (const Output& output : outputs_)
        if (isImage(output.format)) return true;
    return false;
}

bool RenderOutputs::check(std::string& error) {
    identities_.clear();
    for (Output& output : outputs_) {
        if (isImage(output.format) && !imageFormat(output.path, output.format, output.format)) {
            error = "cannot tell the image format of " + output.path + ": name it .png or .exr";
            return false;
        }
        if (isMesh(output.format) && !meshFormat(output.path, output.format)) {
            error =
                "cannot tell the mesh format of " + output.path + ": name it .glb, .gltf or .ply";
            return false;
        }
    }
    for (const Output& output : outputs_)
        if (!checkOutput(output, error)) return false;
    return checkInputs({{sceneFile_, FileIdentity::ofPath(sceneFile_)}}, error);
}

bool RenderOutputs::checkOutput(const Output& output, std::string& error) {
    OutputFile file(output.path);
    if (!file.check(error)) return false;
    for (size_t i = 0; i < identities_.size(); ++i) {
        if (identities_[i] == file.identity()) {
            error = named(outputs_[i]) + " and " + named(output) + " are the same file";
            return false;
        }
    }
    identities_.push_back(file.identity());
    return true;
}

bool RenderOutputs::checkInputs(const std::vector<Input>& inputs, std::string& error) const {
    for (const Input& input : inputs) {
        if (!input.second.newName.empty()) continue;  // no such file: nothing to overwrite
        for (size_t i = 0; i < identities_.size(); ++i) {
            if (identities_[i] == input.second) {
                error = named(outputs_[i]) + " is the input file " + input.first;
                return false;
            }
        }
    }
    return true;
}
