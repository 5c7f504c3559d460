#include "render/progress_bar.h"

#include <cmath>
#include <cstdio>

std::string clockText(double seconds) {
    long s = seconds > 0.0 && seconds < 3.6e9 ? std::lround(seconds) : 0;
    char text[40];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

std::string progressBarLine(int iteration, int total, double seconds) {
    const int kWidth = 24;
    double fraction = total > 0 ? static_cast<double>(iteration) / total : 1.0;
    int filled = static_cast<int>(fraction * kWidth);
    std::string bar(filled, '#');
    bar += std::string(kWidth - filled, '.');
    double rate = seconds > 0.0 ? iteration / seconds : 0.0;
    std::string left = rate > 0.0 ? clockText((total - iteration) / rate) : "?";
    char text[160];
    std::snprintf(text, sizeof text, "\r[%s] %3d%%  %d/%d  %.1f it/s  %s left   ", bar.c_str(),
                  static_cast<int>(fraction * 100.0), iteration, total, rate, left.c_str());
    return text;
}
