#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// What a run tells the person who started it: a line for loading and one for
// the first shot with their times, then the iterations, then a one-line
// summary. On a terminal the iterations show as a bar that redraws itself
// (with a rate and a time left measured from the iterations since the first
// shot); in a log they are plain lines "iteration = N, time = T seconds"
// (T from the start of the first shot, as the window program counts), at
// most one every five seconds. Quiet prints nothing.
class ProgressReporter {
  public:
    enum class Style { Quiet, Bar, Lines };
    // `clock` gives seconds from any fixed origin; the default is a steady clock.
    ProgressReporter(Style style, std::ostream& out, std::function<double()> clock = nullptr);

    void loadingStarted(const std::string& sceneName);
    void loadingFinished(int patchCount);
    // The run clock starts; the first shot follows when `firstShot` is set.
    void runClockStarted(bool firstShot);
    void iterationsStarted(int total);
    void iterationFinished(int iteration);
    // `done` iterations were run (fewer than planned when the run was
    // stopped); `written` names the files written, each perhaps with a remark.
    void finished(int done, const std::vector<std::string>& written);

    static constexpr double kLineInterval = 5.0;  // seconds between plain lines
    static constexpr double kBarInterval = 0.2;   // seconds between redraws of the bar

  private:
    double now() const { return clock_(); }

    Style style_;
    std::ostream& out_;
    std::function<double()> clock_;
    double start_ = 0.0;  // construction: the summary's time counts from here
    double loadingStart_ = 0.0;
    double runClock_ = 0.0;
    double iterationsStart_ = 0.0;
    double lastLine_ = 0.0;  // when the bar or the last plain line was printed
    bool firstShot_ = false;
    int total_ = 0;
};
