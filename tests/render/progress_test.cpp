// What a run prints about its progress, on a clock the test sets.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "render/progress_reporter.h"

namespace {
// Loading takes 0.5 s, the first shot 1 s, each iteration 0.125 s.
std::string report(ProgressReporter::Style style, int total) {
    std::ostringstream out;
    double t = 0.0;
    ProgressReporter progress(style, out, [&t] { return t; });
    progress.loadingStarted("room.sce");
    t = 0.5;
    progress.loadingFinished(130);
    progress.runClockStarted(true);
    t = 1.5;
    progress.iterationsStarted(total);
    for (int i = 1; i <= total; ++i) {
        t += 0.125;
        progress.iterationFinished(i);
    }
    t += 0.25;
    progress.finished(total, {"room.png (exposure 2)", "room.csv"});
    return out.str();
}
}  // namespace

TEST(ProgressReporter, PlainLinesInALogAndABarOnATerminal) {
    EXPECT_EQ(report(ProgressReporter::Style::Lines, 100),
              "Loading room.sce ... 130 patches, 0.50 s\n"
              "First shot ... 1.00 s\n"
              "iteration = 1, time = 1.125 seconds\n"    // the first
              "iteration = 41, time = 6.125 seconds\n"   // 5 s later
              "iteration = 81, time = 11.125 seconds\n"  // again
              "iteration = 100, time = 13.5 seconds\n"   // the last
              "Done: 100 iterations in 14.25 s; wrote room.png (exposure 2), room.csv\n");

    std::string bar = report(ProgressReporter::Style::Bar, 100);
    // Rate and time left count from the end of the first shot: 8 per second.
    std::string first = "\r[........................]   1%  1/100  8.0 it/s  0:12 left   ";
    std::string last = "\r[########################] 100%  100/100  8.0 it/s  0:00 left   ";
    std::string head = "Loading room.sce ... 130 patches, 0.50 s\nFirst shot ... 1.00 s\n" + first;
    EXPECT_EQ(bar.substr(0, head.size()), head);
    EXPECT_NE(bar.find(last + "\nDone: 100 iterations in 14.25 s;"), std::string::npos) << bar;
    EXPECT_EQ(bar.back(), '\n');

    EXPECT_EQ(report(ProgressReporter::Style::Quiet, 100), "");
}
