#pragma once

#include <string>

// The line a terminal shows while a run goes on: a bar, the iteration, the
// percentage, the speed and the time left.
std::string progressBarLine(int iteration, int total, double seconds);
