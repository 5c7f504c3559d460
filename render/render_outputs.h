#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/file_identity.h"
#include "render/render_options.h"

// The files a run writes, checked before it starts: each can be written, an
// image's or a mesh's name tells its format, and no two outputs, and no
// output and an input, are the same file.
class RenderOutputs {
  public:
    enum class Format { Png, Exr, PatchTable, ConvergenceTable, Glb, Gltf, Ply };
    struct Output {
        std::string option;  // as the command line names it: "-o", "--hdr", ...
        std::string path;
        Format format;
    };
    // An input file as the scene reader opened it.
    using Input = std::pair<std::string, FileIdentity>;

    explicit RenderOutputs(const RenderOptions& options);

    // Formats, writability, outputs apart from each other and from the scene
    // file; false with `error` set at the first fault.
    bool check(std::string& error);
    // No output is one of `inputs` (the files the scene reader opened).
    bool checkInputs(const std::vector<Input>& inputs, std::string& error) const;

    const std::vector<Output>& outputs() const { return outputs_; }
    bool hasImage() const;
    bool hasMesh() const;
    static bool isImage(Format format) { return format == Format::Png || format == Format::Exr; }
    static bool isMesh(Format format) {
        return format == Format::Glb || format == Format::Gltf || format == Format::Ply;
    }

    // The format of an image output named `path`: PNG for ".png", OpenEXR for
    // ".exr" (in any case), `standard` for "-" (standard output). False for
    // any other name.
    static bool imageFormat(const std::string& path, Format standard, Format& format);
    // The format of a mesh output named `path`: glTF binary for ".glb" and for
    // "-", glTF text for ".gltf", PLY for ".ply" (in any case). False for any
    // other name.
    static bool meshFormat(const std::string& path, Format& format);

  private:
    bool checkOutput(const Output& output, std::string& error);

    std::vector<Output> outputs_;
    std::vector<FileIdentity> identities_;  // of the outputs checked so far
    std::string sceneFile_;
};
