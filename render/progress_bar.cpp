#include "render/progress_bar.h"

#include <cstdio>

std::string progressBarLine(int iteration, int total, double seconds) {
    const int kWidth = 30;
    double fraction = total > 0 ? static_cast<double>(iteration) / total : 1.0;
    int filled = static_cast<int>(fraction * kWidth);
    std::string bar(filled, '#');
    bar += std::string(kWidth - filled, '.');
    double rate = seconds > 0.0 ? iteration / seconds : 0.0;
    double left = rate > 0.0 ? (total - iteration) / rate : 0.0;
    char text[160];
    std::snprintf(text, sizeof text, "\r[%s] %3d%%  iteration %d/%d  %.1f it/s  %.0f s left ",
                  bar.c_str(), static_cast<int>(fraction * 100.0), iteration, total, rate, left);
    return text;
}
