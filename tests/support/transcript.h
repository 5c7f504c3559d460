#pragma once

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
    const std::string head = "time = ", tail = " seconds";
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(head, from)) != std::string::npos;) {
        size_t end = at + head.size();
        while (end < text.size() &&
               std::string("0123456789.e+-").find(text[end]) != std::string::npos)
            ++end;
        bool timed = end > at + head.size() && text.compare(end, tail.size(), tail) == 0;
        out += text.substr(from, at - from) + (timed ? head + "T" : text.substr(at, end - at));
        from = end;
    }
    return out + text.substr(from);
}

}  // namespace transcript
