#pragma once

#include <string>

// The line a terminal shows while a run goes on, starting with a carriage
// return: a bar, the percentage, the iteration, the speed and the time left,
// both from the `seconds` spent on the `iteration` iterations done.
std::string progressBarLine(int iteration, int total, double seconds);

// "m:ss", or "h:mm:ss" from an hour on.
std::string clockText(double seconds);
