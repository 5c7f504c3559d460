#pragma once

#include <regex>
#include <string>

// Texts that every run prints, to build expected transcripts from.
namespace transcript {

inline const std::string kBanner =
    "-----------------------------------------\n"
    "| STOCHASTIC ITERATION WITH RAY BUNDLES |\n"
    "-----------------------------------------\n"
    "\n";
inline const std::string kSeparator = "\n================================\n";

inline std::string progress(int n) {
    return "iteration = " + std::to_string(n) + ", time = T seconds            \r";
}

// The iteration loop's output for `count` iterations.
inline std::string rendering(int count) {
    std::string s = kSeparator + "Rendering. Number of iterations: " + std::to_string(count) + "\n";
    for (int i = 1; i <= count; i += 20) s += progress(i);
    return s;
}

// Replaces the elapsed times, which differ from run to run, by "T".
inline std::string maskTimes(const std::string& text) {
    static const std::regex time("time = [0-9.e+-]+ seconds");
    return std::regex_replace(text, time, "time = T seconds");
}

}  // namespace transcript
