#pragma once

// Shared by the two parts of direction_study.
#include <cmath>
#include <vector>

struct StudyOptions {
    int seeds = 8;                    // --seeds: runs of each kind
    int iterations = 8000;            // --iterations: length of those runs
    int referenceRuns = 4;            // --reference-runs
    int referenceIterations = 32000;  // --reference-iterations
    int longRuns = 4;                 // --long-runs: the bias study's long runs per kind
    int threads = 1;                  // --threads
};

// The mean and the sample standard deviation.
inline void meanAndSpread(const std::vector<double>& v, double& mean, double& spread) {
    mean = 0.0;
    for (double x : v) mean += x / v.size();
    double var = 0.0;
    for (double x : v) var += (x - mean) * (x - mean) / (v.size() - 1.0);
    spread = std::sqrt(var);
}

// The bias tests' scenes at long runs (direction_bias_study.cpp).
int biasStudy(const StudyOptions& o);
