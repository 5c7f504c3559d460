#include "solver/light_table.h"

#include "base/fatal_error.h"

void LightTable::add(int32_t serial, int light, double factor) {
    added_.push_back({serial, static_cast<int16_t>(light), factor});
}

// A counting sort by serial of the entries there are and those added: each
// patch's list keeps its order, the new entries after the old.
void LightTable::build(size_t patchCount) {
    if (added_.empty()) return;
    size_t total = lights_.size() + added_.size();
    if (total > UINT32_MAX) fatalError(-1, "The light lists do not fit in memory.\n");
    std::vector<uint32_t> start(patchCount + 1, 0);
    for (size_t s = 0; s < patchCount && !start_.empty(); ++s)
        start[s + 1] = start_[s + 1] - start_[s];
    for (const Added& a : added_) ++start[a.serial + 1];
    for (size_t s = 0; s < patchCount; ++s) start[s + 1] += start[s];
    std::vector<uint32_t> next(start.begin(), start.end() - 1);
    std::vector<int16_t> lights(total);
    std::vector<double> factors(total);
    for (size_t s = 0; s < patchCount && !start_.empty(); ++s)
        for (uint32_t e = start_[s]; e < start_[s + 1]; ++e) {
            lights[next[s]] = lights_[e];
            factors[next[s]++] = factors_[e];
        }
    for (const Added& a : added_) {
        lights[next[a.serial]] = a.light;
        factors[next[a.serial]++] = a.factor;
    }
    start_.swap(start);
    lights_.swap(lights);
    factors_.swap(factors);
    added_.clear();
    added_.shrink_to_fit();
    ++generation_;
}

void LightTable::clear() {
    uint64_t next = generation_ + 1;
    *this = LightTable();
    generation_ = next;
}

size_t LightTable::bytes() const {
    return start_.capacity() * sizeof(uint32_t) + lights_.capacity() * sizeof(int16_t) +
           factors_.capacity() * sizeof(double) + added_.capacity() * sizeof(Added);
}
