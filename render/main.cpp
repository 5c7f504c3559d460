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
#include "render/output_file.h"
#include "render/patch_table.h"
#include "render/progress_bar.h"
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

void writeOutputs(const RenderOptions& o, const ConvergenceLog& log) {
    std::string error;
    if (!o.pngFile.empty() || !o.exrFile.empty()) {
        OffscreenContext imageContext;
        if (!imageContext.create(o.width, o.height, true))
            failOutput("no floating-point framebuffer of the image size can be made");
        Image image = renderFinalImage(scene, o.width, o.height);
        if (!o.pngFile.empty() && !writePng(o.pngFile, image, o.exposure, o.srgb, error))
            failOutput(error);
        if (!o.exrFile.empty() && !writeExr(o.exrFile, image, error)) failOutput(error);
    }
    if (!o.patchFile.empty() && !writePatchTable(o.patchFile, scene, error)) failOutput(error);
    if (!o.convergenceFile.empty() && !log.write(o.convergenceFile, error)) failOutput(error);
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
    checkOutputsWritable(options);
    OffscreenContext context;
    if (!context.create(kItemBufferSize, kItemBufferSize)) {
        std::cerr << "ray-bundle-render: no OpenGL context can be created\n";
        return 3;
    }
    ConvergenceLog log;
    auto start = std::chrono::steady_clock::now();
    watchIterations(options, log, start);

    if (options.threads > 0) scene.threadCount = options.threads;
    scene.hasGLContext = true;  // the first shot renders its item buffers
    scene.prepareRun(options.sceneFile.c_str(), "");
    scene.hasGLContext = false;  // the preview is drawn once, at the end
    scene.iterate(options.iterations);
    if (!options.quiet && isatty(STDERR_FILENO)) std::cerr << "\n";
    writeOutputs(options, log);
    return 0;
}
