#include "render/convergence_log.h"

#include <cmath>

#include "app/scene.h"
#include "base/output_file.h"

double ConvergenceLog::meanRadiance(const Scene& s) {
    double weighted = 0.0;
    double area = 0.0;
    for (const Patch* p : s.patches) {
        const Color& c = s.eyeRadianceSum(*p);
        weighted += p->area * (c[0] + c[1] + c[2]) / 3.0;
        area += p->area;
    }
    return area > 0.0 ? weighted / area * s.displayScale : 0.0;
}

double ConvergenceLog::rmsChange(const Scene& s) {
    bool hasPrevious = previous_.size() == 3 * s.patches.size();
    previous_.resize(3 * s.patches.size());
    double change = 0.0;
    double size = 0.0;
    for (size_t i = 0; i < s.patches.size(); ++i) {
        const Patch& p = *s.patches[i];
        for (int k = 0; k < 3; ++k) {
            double radiance = s.eyeRadianceSum(p)[k] * s.displayScale;
            double d = radiance - previous_[3 * i + k];
            change += p.area * d * d;
            size += p.area * radiance * radiance;
            previous_[3 * i + k] = radiance;
        }
    }
    return hasPrevious && size > 0.0 ? std::sqrt(change / size) : -1.0;
}

void ConvergenceLog::record(const Scene& s, int iteration, double seconds) {
    rows_.push_back({iteration, seconds, meanRadiance(s), rmsChange(s)});
}

bool ConvergenceLog::write(const std::string& path, std::string& error) const {
    OutputFile file(path);
    if (!file.open(error)) return false;
    std::fprintf(file.stream(),
                 "iteration,seconds,mean_radiance,relative_change,relative_rms_change\n");
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& r = rows_[i];
        std::fprintf(file.stream(), "%d,%.3f,%.9g,", r.iteration, r.seconds, r.mean);
        double previous = i > 0 ? rows_[i - 1].mean : 0.0;
        if (i > 0 && previous != 0.0)
            std::fprintf(file.stream(), "%.6g", std::fabs(r.mean - previous) / previous);
        if (r.rmsChange >= 0.0)
            std::fprintf(file.stream(), ",%.6g\n", r.rmsChange);
        else
            std::fprintf(file.stream(), ",\n");
    }
    return file.commit(error);
}
