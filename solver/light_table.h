#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The light lists of all patches in one shared table: for the patch of
// serial s, entries start(s) .. start(s + 1) − 1, each a light-table index
// and its geometric factor (solver/first_shot.cpp), in the order they were
// added. The table holds only the entries that exist: a scene without
// lights, or before its first shot, keeps no per-patch array at all.
class LightTable {
  public:
    // One patch's light list.
    struct List {
        const int16_t* lights = nullptr;  // indices into the scene's light table
        const double* factors = nullptr;
        int count = 0;
    };

    // Adds an entry to the list of the patch of `serial`, after those it
    // has; it shows in the lists once `build` has run.
    void add(int32_t serial, int light, double factor);
    // Files the entries added since the last build into the lists of
    // `patchCount` patches.
    void build(size_t patchCount);
    void clear();

    List of(int32_t serial) const {
        if (start_.empty()) return {};
        uint32_t first = start_[serial];
        return {&lights_[first], &factors_[first], static_cast<int>(start_[serial + 1] - first)};
    }
    size_t entryCount() const { return lights_.size(); }
    // Changes whenever the lists do (build, clear).
    uint64_t generation() const { return generation_; }
    // Bytes held by the table.
    size_t bytes() const;

  private:
    struct Added {
        int32_t serial;
        int16_t light;
        double factor;
    };
    std::vector<uint32_t> start_;  // by serial, one more than the patches; empty without entries
    std::vector<int16_t> lights_;
    std::vector<double> factors_;
    std::vector<Added> added_;  // waiting for build
    uint64_t generation_ = 0;
};
