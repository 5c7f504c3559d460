// ray-bundle-render: the window program's computation without a window.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "app/scene.h"
#include "base/fatal_error.h"
#include "gl/offscreen_context.h"
#include "render/convergence_log.h"
#include "render/exposure.h"
#include "render/final_image.h"
#include "render/follow_run.h"
#include "render/output_file.h"
#include "render/patch_table.h"
#include "render/progress_reporter.h"
#include "render/render_options.h"

namespace {
const int kItemBufferSize = 560;  // the window the item buffer renders into

[[noreturn]] void failOutput(const std::string& error) {
    std::cerr << "ray-bundle-render: " << error << "\n";
    std::exit(2);
}

// Finds unwritable outputs before a long run rather than after it.
void checkOutputsWritable(const RenderOptions& o) {
    for (const std::string& path : {o.pngFile, o.exrFile, o.patchFile, o.convergenceFile}) {
        if (path.empty()) continue;
        OutputFile probe(path);
        std::string error;
        if (!probe.open(error)) failOutput(error);
    }
}

// The PNG's exposure: as given, 1 for the window's linear values, or automatic.
double pngExposure(const RenderOptions& o, const Image& image) {
    if (o.fixedExposure) return o.exposure;
    return o.linear ? 1.0 : automaticExposure(image);
}

// Writes every requested output; returns the PNG's exposure.
double writeOutputs(const RenderOptions& o, const ConvergenceLog& log) {
    std::string error;
    double exposure = 1.0;
    if (!o.pngFile.empty() || !o.exrFile.empty()) {
        OffscreenContext imageContext;
        if (!imageContext.create(o.width, o.height, true))
            failOutput("no floating-point framebuffer of the image size can be made");
        Image image = renderFinalImage(scene, o.width, o.height);
        exposure = pngExposure(o, image);
        if (!o.pngFile.empty() && !writePng(o.pngFile, image, exposure, !o.linear, error))
            failOutput(error);
        if (!o.exrFile.empty() && !writeExr(o.exrFile, image, error)) failOutput(error);
    }
    if (!o.patchFile.empty() && !writePatchTable(o.patchFile, scene, error)) failOutput(error);
    if (!o.convergenceFile.empty() && !log.write(o.convergenceFile, error)) failOutput(error);
    return exposure;
}

// The files a finished run wrote, for its summary.
std::vector<std::string> writtenFiles(const RenderOptions& o, double exposure) {
    std::vector<std::string> written;
    char remark[64];
    std::snprintf(remark, sizeof remark, " (exposure %.3g)", exposure);
    if (!o.pngFile.empty()) written.push_back(o.pngFile + remark);
    for (const std::string& path : {o.exrFile, o.patchFile, o.convergenceFile})
        if (!path.empty()) written.push_back(path);
    return written;
}

ProgressReporter::Style progressStyle(const RenderOptions& o) {
    if (o.quiet) return ProgressReporter::Style::Quiet;
    return isatty(STDERR_FILENO) ? ProgressReporter::Style::Bar : ProgressReporter::Style::Lines;
}
}  // namespace

int main(int argc, char** argv) {
    installOutOfMemoryHandler();
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(argc, argv, options, error)) {
        std::cerr << "ray-bundle-render: " << error << "\nTry 'ray-bundle-render --help'.\n";
        return 2;
    }
    if (options.help) {
        std::cout << renderUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "ray-bundle-render " << RAY_BUNDLE_VERSION << "\n";
        return 0;
    }
    checkOutputsWritable(options);
    OffscreenContext context;
    if (!context.create(kItemBufferSize, kItemBufferSize)) {
        std::cerr << "ray-bundle-render: no OpenGL context can be created\n";
        return 3;
    }
    ConvergenceLog log;
    ProgressReporter progress(progressStyle(options), std::cerr);
    followRun(scene, options, progress, log);

    progress.loadingStarted(options.sceneFile);
    scene.hasGLContext = true;  // the first shot renders its item buffers
    scene.prepareRun(options.sceneFile.c_str(), "");
    scene.hasGLContext = false;  // the preview is drawn once, at the end
    progress.iterationsStarted(options.iterations);
    scene.iterate(options.iterations);
    double exposure = writeOutputs(options, log);
    progress.finished(writtenFiles(options, exposure));
    return 0;
}
