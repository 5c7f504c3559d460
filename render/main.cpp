// ray-bundle-render: the window program's computation without a window.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <vector>

#include "app/scene.h"
#include "base/fatal_error.h"
#include "base/memory_policy.h"
#include "gl/offscreen_context.h"
#include "render/convergence_log.h"
#include "render/exposure.h"
#include "render/final_image.h"
#include "render/follow_run.h"
#include "render/gltf_mesh.h"
#include "render/interrupt_signals.h"
#include "render/lit_mesh.h"
#include "render/patch_table.h"
#include "render/ply_mesh.h"
#include "render/progress_reporter.h"
#include "render/render_options.h"
#include "render/render_outputs.h"

namespace {
const int kItemBufferSize = 560;  // the window the item buffer renders into
const int kBadOutput = 2;         // bad options, or an output that cannot be written
const int kNoContext = 3;

[[noreturn]] void fail(int status, const std::string& error) {
    std::cerr << "ray-bundle-render: " << error << "\n";
    std::exit(status);
}

// Both contexts are made before the run, so that a missing one costs no work.
struct Contexts {
    OffscreenContext itemBuffer;  // current during the run
    OffscreenContext image;       // floating point, of the image size; made for images only
};

// The final image is rendered for the image outputs, and for a mesh whose
// exposure is the automatic one, which is the image's.
bool rendersImage(const RenderOptions& o, const RenderOutputs& outputs) {
    return outputs.hasImage() || (outputs.hasMesh() && !o.fixedExposure && !o.linear);
}

FinalImageStyle finalImageStyle(const RenderOptions& o) { return {o.creaseDegrees, o.antialias}; }

void createContexts(const RenderOptions& o, bool images, Contexts& c) {
    if (!c.itemBuffer.create(kItemBufferSize, kItemBufferSize))
        fail(kNoContext, "no OpenGL context can be created");
    if (!images) return;
    if (!c.image.create(o.width, o.height, true))
        fail(kNoContext, "no floating-point framebuffer of the image size can be made");
    std::string error;
    if (!canRenderFinalImage(o.width, o.height, finalImageStyle(o), error)) fail(kNoContext, error);
    if (!c.itemBuffer.makeCurrent()) fail(kNoContext, "no OpenGL context can be created");
}

// The PNG's exposure: as given, 1 for the window's linear values, or automatic.
double pngExposure(const RenderOptions& o, const Image& image) {
    if (o.fixedExposure) return o.exposure;
    return o.linear ? 1.0 : automaticExposure(image);
}

// The files a finished run wrote, for its summary.
std::vector<std::string> writtenFiles(const RenderOutputs& outputs, double exposure) {
    std::vector<std::string> written;
    char remark[64];
    std::snprintf(remark, sizeof remark, " (exposure %.3g)", exposure);
    for (const RenderOutputs::Output& out : outputs.outputs()) {
        bool exposed =
            out.format == RenderOutputs::Format::Png || RenderOutputs::isMesh(out.format);
        written.push_back(exposed ? out.path + remark : out.path);
    }
    return written;
}

ProgressReporter::Style progressStyle(const RenderOptions& o) {
    if (o.quiet) return ProgressReporter::Style::Quiet;
    return isatty(STDERR_FILENO) ? ProgressReporter::Style::Bar : ProgressReporter::Style::Lines;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The run ends early after a first SIGINT or SIGTERM, or once the time budget
// is used up; the convergence table then ends with the last iteration done.
int runIterations(const RenderOptions& o, ConvergenceLog& log,
                  std::chrono::steady_clock::time_point start) {
    interrupt_signals::catchSignals();
    scene.stopRequested = [&o, start] {
        return interrupt_signals::caught() != 0 ||
               (o.timeBudget > 0.0 && secondsSince(start) >= o.timeBudget);
    };
    scene.iterate(o.iterations);
    int done = scene.iteration - 1;
    if (done < o.iterations && done % 20 != 0 && !o.convergenceFile.empty())
        log.record(scene, done, secondsSince(start));
    if (done < o.iterations && !interrupt_signals::caught() && !o.quiet)
        std::cerr << "ray-bundle-render: the time budget ended the run after " << done << " of "
                  << o.iterations << " iterations\n";
    return done;
}

// What the outputs are made of.
struct Results {
    Image image;
    double exposure = 1.0;  // the PNG's, and the mesh's
    LitMesh mesh;
};

bool writeOutput(const RenderOutputs::Output& out, const RenderOptions& o, const Results& r,
                 const ConvergenceLog& log, std::string& error) {
    using Format = RenderOutputs::Format;
    switch (out.format) {
        case Format::Png:
            return writePng(out.path, r.image, r.exposure, !o.linear, error);
        case Format::Exr:
            return writeExr(out.path, r.image, error);
        case Format::PatchTable:
            return writePatchTable(out.path, scene, error);
        case Format::ConvergenceTable:
            return log.write(out.path, error);
        case Format::Glb:
        case Format::Gltf:
            return writeGltfMesh(out.path, r.mesh, out.format == Format::Glb, error);
        case Format::Ply:
            return writePlyMesh(out.path, r.mesh, error);
    }
    return true;
}

// Writes every requested output; returns the PNG's exposure.
double writeOutputs(const RenderOutputs& outputs, const RenderOptions& o, const ConvergenceLog& log,
                    Contexts& contexts) {
    Results r;
    r.exposure = o.fixedExposure ? o.exposure : 1.0;
    if (rendersImage(o, outputs)) {
        contexts.image.makeCurrent();
        std::string error;
        if (!renderFinalImage(scene, o.width, o.height, finalImageStyle(o), r.image, error))
            fail(kNoContext, error);
        r.exposure = pngExposure(o, r.image);
    }
    if (outputs.hasMesh()) r.mesh = buildLitMesh(scene, o.creaseDegrees, r.exposure);
    std::string error;
    for (const RenderOutputs::Output& out : outputs.outputs())
        if (!writeOutput(out, o, r, log, error)) fail(kBadOutput, error);
    return r.exposure;
}
}  // namespace

int main(int argc, char** argv) {
    installOutOfMemoryHandler();
    returnLargeBlocksToTheSystem();
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(argc, argv, options, error)) {
        std::cerr << "ray-bundle-render: " << error << "\nTry 'ray-bundle-render --help'.\n";
        return kBadOutput;
    }
    if (options.help) {
        std::cout << renderUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "ray-bundle-render " << RAY_BUNDLE_VERSION << "\n";
        return 0;
    }
    RenderOutputs outputs(options);
    if (!outputs.check(error)) fail(kBadOutput, error);
    Contexts contexts;
    createContexts(options, rendersImage(options, outputs), contexts);
    auto start = std::chrono::steady_clock::now();
    ConvergenceLog log;
    ProgressReporter progress(progressStyle(options), std::cerr);
    followRun(scene, options, progress, log);

    if (options.threads > 0) scene.threadCount = options.threads;
    progress.loadingStarted(options.sceneFile);
    scene.hasGLContext = true;  // the first shot renders its item buffers
    scene.prepareRun(options.sceneFile.c_str(), "");
    scene.hasGLContext = false;  // the preview is drawn once, at the end
    if (!outputs.checkInputs(scene.inputFiles, error)) fail(kBadOutput, error);
    progress.iterationsStarted(options.iterations);
    int done = runIterations(options, log, start);
    double exposure = writeOutputs(outputs, options, log, contexts);
    progress.finished(done, writtenFiles(outputs, exposure));
    if (!interrupt_signals::caught()) return 0;
    std::cerr << "ray-bundle-render: interrupted after " << done << " of " << options.iterations
              << " iterations\n";
    return interrupt_signals::exitStatus();
}
