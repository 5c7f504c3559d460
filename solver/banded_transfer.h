#pragma once

// The marking and gathering of one bundle, cut into bands of buffer rows and
// shared among threads, with a result that does not depend on how many.
//
// The buffer's rows are cut into bands of kRowsPerBand rows, a number fixed
// by the resolution alone. Each band takes, in depth order, the patches whose
// rows meet it, and marks and gathers its own rows only, summing into sums
// of its own, one per patch it holds. The bands' sums are then added per
// patch, band after band, in band order: the same additions in the same
// order whatever thread worked on which band, so the result is the same bit
// for bit for any number of threads.
//
// A band lists the depth positions of its patches, its cells name a patch by
// its place in that list plus 1, and its sums are kept per list entry. A
// patch is listed once per band its rows meet; one whose bounding box holds
// no cell centre is listed in none, and one whose box holds a few centres
// (at most six) is tested centre by centre while it is listed and its box
// narrowed to the centres it covers: a patch that covers none is listed
// nowhere, one that covers one cell is worked as that cell alone.
//
// Listing and adding run in parallel too, over fixed chunks of the depth
// order: a band's list is the chunks' lists one after the other, and each
// patch's sums are added by the chunk that holds it, in band order.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/color.h"
#include "solver/scan_converter.h"
#include "solver/thread_pool.h"

// The cells of a bundle a patch can hold, in 16 bits a side (a buffer side
// is below 32768).
struct PackedBox {
    int16_t firstColumn = 0, endColumn = 0, firstRow = 0, endRow = 0;

    PackedBox() = default;
    explicit PackedBox(const CellBox& b)
        : firstColumn(static_cast<int16_t>(b.firstColumn)),
          endColumn(static_cast<int16_t>(b.endColumn)),
          firstRow(static_cast<int16_t>(b.firstRow)),
          endRow(static_cast<int16_t>(b.endRow)) {}
    CellBox box() const { return {firstColumn, endColumn, firstRow, endRow}; }
};

// A patch as one bundle sees it: one cache line, so that the solver, which
// writes these in depth order from patches taken in serial order, moves
// one line per patch.
struct alignas(64) BundlePatch {
    GridTriangle corners;  // projected onto the buffer, on the 1/256-cell grid
    double normalZ;        // z of the placed normal: > 0 marks, else gathers
    Color outgoing;        // bundleOutgoing: what it sends along the lines
    double share;          // how its sums are divided (packShare, bundle_estimate.h)
};

// Where the sky is seen along the bundle's lines, if anywhere.
enum class SkySide {
    none,
    below,  // the bundle points down: a gathering patch with nothing in front sees the sky
    above,  // the bundle points up: a marking patch that nothing gathers sees the sky
};

// 32 rows: at resolution 1000, 32 bands of 125 KiB of cells each, which stay
// in a core's cache while the band is worked; enough bands for a few threads
// to share out evenly, and few enough that most patches meet one band.
constexpr int kRowsPerBand = 32;

inline int bandCount(int side) { return (side + kRowsPerBand - 1) / kRowsPerBand; }

class BandedTransfer {
  public:
    // The patches of one bundle, by position in the depth order.
    struct Input {
        int side = 0;  // cells per row, and rows
        size_t count = 0;
        const BundlePatch* patches = nullptr;
        const uint8_t* takesPart = nullptr;  // 0: left out of this bundle; null: all take part
        int32_t* cells = nullptr;            // the buffer, side × side
        Color sky;
        SkySide skySide = SkySide::none;

        bool takesPartAt(size_t position) const { return !takesPart || takesPart[position]; }
    };
    // Takes the results, a chunk of consecutive positions at a time, on
    // any of the threads (chunks do not overlap): for positions [first,
    // end), sums[i − first] is the radiance met, summed over the patch's
    // cells, and cells[i − first] the cells it covered (−1 for a patch left
    // out).
    class ResultSink {
      public:
        virtual void take(size_t first, size_t end, const Color* sums, const int32_t* cells) = 0;

      protected:
        ~ResultSink() = default;
    };
    // The same results in arrays of their own, by position, sized by run().
    struct Result {
        std::vector<Color> incoming;
        std::vector<int32_t> cells;
    };

    void run(const Input& in, ThreadPool& pool, ResultSink& out);
    void run(const Input& in, ThreadPool& pool, Result& out);

    // Entries over all bands in the last run: the patches listed, counted
    // once per band.
    size_t entries() const { return members_.size(); }
    // Bytes held between runs.
    size_t bytes() const;

  private:
    // What a band reads of one of its patches.
    struct Entry {
        GridTriangle corners;
        CellBox box;
        double normalZ;
    };
    // A worker's copy of its band's entries, in list order (sized for the
    // largest band), its count of a chunk's patches per band, and the sums
    // of the chunk it adds up.
    struct Scratch {
        std::vector<Entry> entries;
        std::vector<Color> outgoing;
        std::vector<int32_t> perBand;
        std::vector<Color> chunkSums;
        std::vector<int32_t> chunkCells;
    };
    void listMembers(const Input& in, ThreadPool& pool);
    void classifyChunk(const Input& in, int chunk, Scratch& scratch);
    void fillChunk(int chunk, Scratch& scratch);
    // Where band `band`'s entries start (for bands_, where they end).
    int32_t bandStart(int band) const { return chunkStart_[static_cast<size_t>(band) * chunks_]; }
    void gatherEntries(const Input& in, int band, Scratch& scratch) const;
    void workBand(const Input& in, int band, Scratch& scratch);
    void addChunk(const Input& in, int chunk, Scratch& scratch, ResultSink& out) const;

    int bands_ = 0, chunks_ = 0;
    // By depth position.
    // The cells it can hold; empty when listed nowhere.
    std::vector<PackedBox> box_;
    // Band by band, and within a band chunk by chunk: where each chunk's
    // patches start in the band's list (then where the next chunk's do).
    std::vector<int32_t> chunkStart_;
    // By entry, band after band, each band's patches in depth order.
    std::vector<int32_t> members_;  // depth position
    std::vector<Color> sums_;       // the band's sum for the patch
    std::vector<int32_t> counts_;   // the band's cells of the patch
    std::vector<Scratch> scratch_;  // one per worker
};
