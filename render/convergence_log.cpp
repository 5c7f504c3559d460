#include "render/convergence_log.h"

#include <cmath>

#include "app/scene.h"
#include "base/output_file.h"

double ConvergenceLog::meanRadiance(const Scene& s) {
    double weighted = 0.0;
    double area = 0.0;
    for (const Patch* p : s.patches) {
        const Color& c = p->eyeRadianceSum;
        weighted += p->area * (c[0] + c[1] + c[2]) / 3.0;
        area += p->area;
    }
    return area > 0.0 ? weighted / area * s.displayScale : 0.0;
}

void ConvergenceLog::record(const Scene& s, int iteration, double seconds) {
    rows_.push_back({iteration, seconds, meanRadiance(s)});
}

bool ConvergenceLog::write(const std::string& path, std::string& error) const {
    OutputFile file(path);
    if (!file.open(error)) return false;
    std::fprintf(file.stream(), "iteration,seconds,mean_radiance,relative_change\n");
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& r = rows_[i];
        std::fprintf(file.stream(), "%d,%.3f,%.9g,", r.iteration, r.seconds, r.mean);
        double previous = i > 0 ? rows_[i - 1].mean : 0.0;
        if (i > 0 && previous != 0.0)
            std::fprintf(file.stream(), "%.6g\n", std::fabs(r.mean - previous) / previous);
        else
            std::fprintf(file.stream(), "\n");
    }
    return file.commit(error);
}
