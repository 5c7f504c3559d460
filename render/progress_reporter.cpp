#include "render/progress_reporter.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "render/progress_bar.h"

namespace {
double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string secondsText(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}
}  // namespace

ProgressReporter::ProgressReporter(Style style, std::ostream& out, std::function<double()> clock)
    : style_(style), out_(out), clock_(clock ? std::move(clock) : steadySeconds) {
    start_ = now();
}

void ProgressReporter::loadingStarted(const std::string& sceneName) {
    loadingStart_ = now();
    if (style_ != Style::Quiet) out_ << "Loading " << sceneName << " ... " << std::flush;
}

void ProgressReporter::loadingFinished(int patchCount) {
    if (style_ != Style::Quiet)
        out_ << patchCount << (patchCount == 1 ? " patch, " : " patches, ")
             << secondsText(now() - loadingStart_) << "\n";
}

void ProgressReporter::runClockStarted(bool firstShot) {
    runClock_ = now();
    firstShot_ = firstShot;
    if (firstShot_ && style_ != Style::Quiet) out_ << "First shot ... " << std::flush;
}

void ProgressReporter::iterationsStarted(int total) {
    iterationsStart_ = now();
    total_ = total;
    if (firstShot_ && style_ != Style::Quiet)
        out_ << secondsText(iterationsStart_ - runClock_) << "\n";
}

void ProgressReporter::iterationFinished(int i) {
    double t = now();
    if (style_ == Style::Bar && (i == 1 || i == total_ || t - lastLine_ >= kBarInterval)) {
        out_ << progressBarLine(i, total_, t - iterationsStart_) << std::flush;
        lastLine_ = t;
    } else if (style_ == Style::Lines &&
               (i == 1 || i == total_ || t - lastLine_ >= kLineInterval)) {
        // Whole milliseconds, printed as the window program prints its time.
        long ms = std::lround((t - runClock_) * 1000.0);
        out_ << "iteration = " << i << ", time = " << static_cast<double>(ms) * 0.001
             << " seconds\n";
        lastLine_ = t;
    }
}

void ProgressReporter::finished(int done, const std::vector<std::string>& written) {
    if (style_ == Style::Quiet) return;
    if (style_ == Style::Bar && total_ > 0) out_ << "\n";
    out_ << "Done: " << done << (done == 1 ? " iteration in " : " iterations in ")
         << secondsText(now() - start_) << "; ";
    if (written.empty())
        out_ << "no file written (none was asked for: -o, --hdr, --patches, "
                "--convergence, --mesh)";
    for (size_t k = 0; k < written.size(); ++k) out_ << (k == 0 ? "wrote " : ", ") << written[k];
    out_ << "\n";
}
