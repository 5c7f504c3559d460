// ray-bundle-render: the window program's computation without a window.
#include <unistd.h>

#include <chrono>
#include <iostream>

#include "app/scene.h"
#include "base/fatal_error.h"
#include "base/run_log.h"
#include "gl/offscreen_context.h"
#include "render/convergence_log.h"
#include "render/final_image.h"
#include "render/interrupt_signals.h"
#include "render/patch_table.h"
#include "render/progress_bar.h"
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

void createContexts(const RenderOptions& o, bool images, Contexts& c) {
    if (!c.itemBuffer.create(kItemBufferSize, kItemBufferSize))
        fail(kNoContext, "no OpenGL context can be created");
    if (images && !(c.image.create(o.width, o.height, true) && c.itemBuffer.makeCurrent()))
        fail(kNoContext, "no floating-point framebuffer of the image size can be made");
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void watchIterations(const RenderOptions& o, ConvergenceLog& log,
                     std::chrono::steady_clock::time_point start) {
    bool bar = !o.quiet && isatty(STDERR_FILENO);
    int total = o.iterations;
    int barStep = total >= 200 ? total / 200 : 1;
    scene.afterIteration = [&o, &log, start, bar, total, barStep](int i) {
        if (!o.convergenceFile.empty() && (i % 20 == 0 || i == total))
            log.record(scene, i, secondsSince(start));
        if (bar && (i % barStep == 0 || i == total))
            std::cerr << progressBarLine(i, total, secondsSince(start));
    };
    muteRunLog(o.quiet || bar);
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
    if (!o.quiet && isatty(STDERR_FILENO)) std::cerr << "\n";
    int done = scene.iteration - 1;
    if (done < o.iterations && done % 20 != 0 && !o.convergenceFile.empty())
        log.record(scene, done, secondsSince(start));
    if (done < o.iterations && !interrupt_signals::caught() && !o.quiet)
        std::cerr << "ray-bundle-render: the time budget ended the run after " << done << " of "
                  << o.iterations << " iterations\n";
    return done;
}

void writeOutput(const RenderOutputs::Output& out, const RenderOptions& o, const Image& image,
                 const ConvergenceLog& log) {
    std::string error;
    bool ok = true;
    switch (out.format) {
        case RenderOutputs::Format::Png:
            ok = writePng(out.path, image, o.exposure, o.srgb, error);
            break;
        case RenderOutputs::Format::Exr:
            ok = writeExr(out.path, image, error);
            break;
        case RenderOutputs::Format::PatchTable:
            ok = writePatchTable(out.path, scene, error);
            break;
        case RenderOutputs::Format::ConvergenceTable:
            ok = log.write(out.path, error);
            break;
    }
    if (!ok) fail(kBadOutput, error);
}

void writeOutputs(const RenderOutputs& outputs, const RenderOptions& o, const ConvergenceLog& log,
                  Contexts& contexts) {
    Image image;
    if (outputs.hasImage()) {
        contexts.image.makeCurrent();
        image = renderFinalImage(scene, o.width, o.height);
    }
    for (const RenderOutputs::Output& out : outputs.outputs()) writeOutput(out, o, image, log);
}
}  // namespace

int main(int argc, char** argv) {
    installOutOfMemoryHandler();
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
    RenderOutputs outputs(options);
    if (!outputs.check(error)) fail(kBadOutput, error);
    Contexts contexts;
    createContexts(options, outputs.hasImage(), contexts);
    ConvergenceLog log;
    auto start = std::chrono::steady_clock::now();
    watchIterations(options, log, start);

    scene.hasGLContext = true;  // the first shot renders its item buffers
    scene.prepareRun(options.sceneFile.c_str(), "");
    scene.hasGLContext = false;  // the preview is drawn once, at the end
    if (!outputs.checkInputs(scene.inputFiles, error)) fail(kBadOutput, error);
    int done = runIterations(options, log, start);
    writeOutputs(outputs, options, log, contexts);
    if (!interrupt_signals::caught()) return 0;
    std::cerr << "ray-bundle-render: interrupted after " << done << " of " << options.iterations
              << " iterations\n";
    return interrupt_signals::exitStatus();
}
