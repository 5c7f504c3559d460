#pragma once

#include <string>
#include <vector>

class Scene;

// Records how a run converges: the area-weighted mean radiance of the scene
// (mean of the three channels) at chosen iterations.
class ConvergenceLog {
  public:
    void record(const Scene& s, int iteration, double seconds);
    bool write(const std::string& path, std::string& error) const;

    static double meanRadiance(const Scene& s);

  private:
    struct Row {
        int iteration;
        double seconds;
        double mean;
    };
    std::vector<Row> rows_;
};
