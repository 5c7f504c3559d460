#pragma once

#include <string>
#include <vector>

class Scene;

// Records how a run converges, at chosen iterations: the area-weighted mean
// radiance of the scene (mean of the three channels), its relative change
// since the previous row, and the relative root-mean-square change of the
// per-patch radiance since the previous row (area-weighted, over all three
// channels), which keeps falling while the picture still settles even when
// the mean is already flat.
class ConvergenceLog {
  public:
    void record(const Scene& s, int iteration, double seconds);
    bool write(const std::string& path, std::string& error) const;

    static double meanRadiance(const Scene& s);

  private:
    // sqrt(Σ area·|L − L_previous|² / Σ area·|L|²) over the patches; negative
    // when there is no previous row or no radiance.
    double rmsChange(const Scene& s);

    struct Row {
        int iteration;
        double seconds;
        double mean;
        double rmsChange;
    };
    std::vector<Row> rows_;
    std::vector<double> previous_;  // the last row's radiance, three channels per patch
};
