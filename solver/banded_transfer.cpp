#include "solver/banded_transfer.h"

#include <algorithm>
#include <cstring>

#include "base/fatal_error.h"

namespace {

constexpr int kChunk = 2048;  // patches per chunk of listing and adding

// Sizes a work array whose contents are to be rewritten: one that must
// grow is freed first rather than copied, so the old and the new never
// take memory at once.
template <class T>
void resizeFresh(std::vector<T>& v, size_t n) {
    if (n > v.capacity()) std::vector<T>().swap(v);
    v.resize(n);
}

// Boxes of at most this many cell centres are tested centre by centre: the
// edge functions cost less to set up than a walk along the edges.
constexpr int kTestedCentres = 6;

// The box of the cells in `box` that the triangle covers, tested centre by
// centre: empty when it covers none, one cell when it covers one.
CellBox coveredBox(const GridTriangle& g, const CellBox& box) {
    CentreTest test(g);
    CellBox covered{box.endColumn, box.firstColumn, box.endRow, box.firstRow};
    for (int j = box.firstRow; j < box.endRow; ++j)
        for (int k = box.firstColumn; k < box.endColumn; ++k)
            if (test.covers(k, j)) {
                covered.firstColumn = std::min(covered.firstColumn, k);
                covered.endColumn = std::max(covered.endColumn, k + 1);
                covered.firstRow = std::min(covered.firstRow, j);
                covered.endRow = std::max(covered.endRow, j + 1);
            }
    return covered.empty() ? CellBox{0, 0, 0, 0} : covered;
}

// Cells first .. end − 1 of one row of the buffer.
struct CellRun {
    int32_t* first;
    int32_t* end;
};

// Lists the runs of cells of the entry in rows [firstRow, endRow), rows
// ascending, at most one a row, and returns how many. A box of one cell is
// listed only when the triangle covers it.
int cellRuns(const GridTriangle& corners, const CellBox& box, int firstRow, int endRow, int side,
             int32_t* cells, CellRun* runs) {
    int count = 0;
    auto add = [&](int row, int first, int end) {
        int32_t* cell = cells + static_cast<size_t>(row) * side;
        runs[count++] = {cell + first, cell + end};
    };
    if (box.columns() * box.rows() == 1)
        add(box.firstRow, box.firstColumn, box.endColumn);
    else if (box.columns() * box.rows() <= kTestedCentres)
        CentreTest(corners).forRows(box, firstRow, endRow, add);
    else
        CellTriangle(corners).forRows(firstRow, endRow, side, add);
    return count;
}

// A front-facing patch marks its cells with `id` as the last surface met.
// Returns the number of cells.
int32_t mark(const CellRun* runs, int count, int32_t id) {
    int32_t cells = 0;
    for (const CellRun* run = runs; run != runs + count; ++run) {
        std::fill(run->first, run->end, id);
        cells += static_cast<int32_t>(run->end - run->first);
    }
    return cells;
}

// A gathering (back-facing) patch's pass over its cells. A cell holds 0
// (nothing), −1 (the sky) or n ≥ 1, naming the marking entry n − 1 of
// `sums` and `outgoing`. Along each cell the patch, entry `self`, takes what
// the surface named sends, and the surface what the patch sends, or the
// patch takes the sky; then the cell is cleared, as nothing behind the
// patch sees past it. Cells met one after the other that hold the same
// value form a stretch, which is added at once: a stretch of k cells of
// surface n adds k times n's radiance to the patch and k times the patch's
// to n. The pass over the cells thus only counts. Returns the number of
// cells.
int32_t gather(const CellRun* runs, int count, Color* sums, const Color* outgoing, int32_t self,
               const Color& sky) {
    const Color& out = outgoing[self];
    Color in;
    int32_t value = 0, length = 0;  // the stretch being counted
    auto addStretch = [&] {
        const double k = length;
        if (value >= 1) {
            const Color& met = outgoing[value - 1];
            Color& metSum = sums[value - 1];
            for (int c = 0; c < 3; ++c) {
                in[c] += met[c] * k;
                metSum[c] += out[c] * k;
            }
        } else if (value == -1) {
            for (int c = 0; c < 3; ++c) in[c] += sky[c] * k;
        }
    };
    int32_t cells = 0;
    for (const CellRun* run = runs; run != runs + count; ++run) {
        cells += static_cast<int32_t>(run->end - run->first);
        for (int32_t* cell = run->first; cell != run->end; ++cell) {
            int32_t n = *cell;
            *cell = 0;
            if (n != value) {
                addStretch();
                value = n;
                length = 0;
            }
            ++length;
        }
    }
    addStretch();
    sums[self] = in;
    return cells;
}

// gather() for one cell: the same sums, without the stretches.
void gatherOne(int32_t* cell, Color* sums, const Color* outgoing, int32_t self, const Color& sky) {
    const int32_t n = *cell;
    *cell = 0;
    Color in;
    if (n >= 1) {
        const Color& met = outgoing[n - 1];
        Color& metSum = sums[n - 1];
        const Color& out = outgoing[self];
        for (int c = 0; c < 3; ++c) {
            in[c] += met[c] * 1.0;
            metSum[c] += out[c] * 1.0;
        }
    } else if (n == -1) {
        for (int c = 0; c < 3; ++c) in[c] += sky[c] * 1.0;
    }
    sums[self] = in;
}

}  // namespace

// Everything the tasks use is allocated here, on the calling thread, so that
// running out of memory never happens on another.
void BandedTransfer::run(const Input& in, ThreadPool& pool, ResultSink& out) {
    if (in.side > INT16_MAX) fatalError(-1, "A bundle buffer holds at most 32767 cells a side.\n");
    scratch_.resize(pool.threads());
    for (Scratch& scratch : scratch_) {
        scratch.perBand.resize(bandCount(in.side));
        scratch.chunkSums.resize(kChunk);
        scratch.chunkCells.resize(kChunk);
    }
    listMembers(in, pool);
    int32_t largest = 0;
    for (int b = 0; b < bands_; ++b) largest = std::max(largest, bandStart(b + 1) - bandStart(b));
    for (Scratch& scratch : scratch_) {
        if (scratch.entries.size() < static_cast<size_t>(largest)) {
            resizeFresh(scratch.entries, largest);
            resizeFresh(scratch.outgoing, largest);
        }
    }
    pool.run(bands_, [&](int band, int worker) { workBand(in, band, scratch_[worker]); });
    pool.run(chunks_, [&](int chunk, int worker) { addChunk(in, chunk, scratch_[worker], out); });
}

void BandedTransfer::run(const Input& in, ThreadPool& pool, Result& out) {
    struct Copy : ResultSink {
        Result& result;
        explicit Copy(Result& r) : result(r) {}
        void take(size_t first, size_t end, const Color* sums, const int32_t* cells) override {
            std::copy(sums, sums + (end - first), &result.incoming[first]);
            std::copy(cells, cells + (end - first), &result.cells[first]);
        }
    } copy(out);
    out.incoming.assign(in.count, Color());
    out.cells.assign(in.count, 0);
    run(in, pool, copy);
}

size_t BandedTransfer::bytes() const {
    size_t bytes = box_.capacity() * sizeof(PackedBox) + chunkStart_.capacity() * sizeof(int32_t) +
                   members_.capacity() * sizeof(int32_t) + sums_.capacity() * sizeof(Color) +
                   counts_.capacity() * sizeof(int32_t);
    for (const Scratch& s : scratch_)
        bytes += s.entries.capacity() * sizeof(Entry) + s.outgoing.capacity() * sizeof(Color) +
                 s.perBand.capacity() * sizeof(int32_t) + s.chunkSums.capacity() * sizeof(Color) +
                 s.chunkCells.capacity() * sizeof(int32_t);
    return bytes;
}

// Lists, band by band and in depth order, the patches taking part whose
// rows meet the band: each chunk rounds its patches' corners and counts them
// per band, the counts give each chunk its place in each band's list, and
// each chunk writes its patches there.
void BandedTransfer::listMembers(const Input& in, ThreadPool& pool) {
    bands_ = bandCount(in.side);
    chunks_ = static_cast<int>((in.count + kChunk - 1) / kChunk);
    box_.resize(in.count);
    chunkStart_.assign(static_cast<size_t>(bands_) * chunks_ + 1, 0);
    pool.run(chunks_, [&](int chunk, int worker) { classifyChunk(in, chunk, scratch_[worker]); });
    int32_t total = 0;
    for (int32_t& start : chunkStart_) {
        int32_t count = start;
        start = total;
        total += count;
    }
    resizeFresh(members_, total);
    resizeFresh(sums_, total);
    resizeFresh(counts_, total);
    pool.run(chunks_, [&](int chunk, int worker) { fillChunk(chunk, scratch_[worker]); });
}

// Finds the cells the chunk's patches can hold, narrows boxes of a few cell
// centres to the centres covered (leaving out the many small patches that
// cover none), and counts the chunk's patches per band.
void BandedTransfer::classifyChunk(const Input& in, int chunk, Scratch& scratch) {
    std::fill(scratch.perBand.begin(), scratch.perBand.end(), 0);
    size_t end = std::min(in.count, static_cast<size_t>(chunk + 1) * kChunk);
    for (size_t i = static_cast<size_t>(chunk) * kChunk; i < end; ++i) {
        if (i + 8 < end) __builtin_prefetch(&in.patches[i + 8]);
        const GridTriangle& g = in.patches[i].corners;
        CellBox box = in.takesPartAt(i) ? cellBox(g, in.side) : CellBox{0, 0, 0, 0};
        if (!box.empty() && box.columns() * box.rows() <= kTestedCentres) box = coveredBox(g, box);
        box_[i] = PackedBox(box);
        if (box.empty()) continue;
        for (int b = box.firstRow / kRowsPerBand; b <= (box.endRow - 1) / kRowsPerBand; ++b)
            ++scratch.perBand[b];
    }
    for (int b = 0; b < bands_; ++b)
        chunkStart_[static_cast<size_t>(b) * chunks_ + chunk] = scratch.perBand[b];
}

void BandedTransfer::fillChunk(int chunk, Scratch& scratch) {
    std::vector<int32_t>& next = scratch.perBand;
    for (int b = 0; b < bands_; ++b)
        next[b] = chunkStart_[static_cast<size_t>(b) * chunks_ + chunk];
    int32_t end = std::min(static_cast<int32_t>(box_.size()), (chunk + 1) * kChunk);
    for (int32_t i = chunk * kChunk; i < end; ++i) {
        const CellBox box = box_[i].box();
        if (box.empty()) continue;
        for (int b = box.firstRow / kRowsPerBand; b <= (box.endRow - 1) / kRowsPerBand; ++b)
            members_[next[b]++] = i;
    }
}

// Copies what the band reads of its patches into the worker's scratch, in
// list order: the patches lie scattered over the input arrays, and reading
// them in one plain pass lets the loads overlap, where the band's main loop
// would wait on each.
void BandedTransfer::gatherEntries(const Input& in, int band, Scratch& scratch) const {
    const int32_t start = bandStart(band), count = bandStart(band + 1) - start;
    constexpr int32_t kLookahead = 32;  // patches fetched ahead of their copy
    for (int32_t e = 0; e < count; ++e) {
        if (e + kLookahead < count) {
            int32_t ahead = members_[start + e + kLookahead];
            __builtin_prefetch(&in.patches[ahead]);
            __builtin_prefetch(&box_[ahead]);
        }
        int32_t position = members_[start + e];
        const BundlePatch& patch = in.patches[position];
        scratch.entries[e] = {patch.corners, box_[position].box(), patch.normalZ};
        scratch.outgoing[e] = patch.outgoing;
    }
}

// Marks and gathers the band's rows for its patches in depth order. Writes
// only the band's rows of the buffer and the band's entries.
void BandedTransfer::workBand(const Input& in, int band, Scratch& scratch) {
    const int side = in.side;
    const int firstRow = band * kRowsPerBand, endRow = std::min(side, firstRow + kRowsPerBand);
    int32_t* rows = in.cells + static_cast<size_t>(firstRow) * side;
    int32_t* rowsEnd = in.cells + static_cast<size_t>(endRow) * side;
    // Every cell := −1 (the sky, when the bundle points down) or 0: both
    // are one byte value repeated.
    std::memset(rows, in.skySide == SkySide::below ? 0xff : 0,
                sizeof(int32_t) * static_cast<size_t>(rowsEnd - rows));

    gatherEntries(in, band, scratch);
    const int32_t start = bandStart(band), count = bandStart(band + 1) - start;
    Color* sums = sums_.data() + start;
    std::fill(sums, sums + count, Color());
    CellRun runs[kRowsPerBand];
    const Color* outgoing = scratch.outgoing.data();
    for (int32_t e = 0; e < count; ++e) {
        const Entry& entry = scratch.entries[e];
        if (entry.box.columns() == 1 && entry.box.rows() == 1) {
            // One cell, which the listing found covered: most patches of a
            // finely tessellated scene.
            int32_t* cell =
                in.cells + static_cast<size_t>(entry.box.firstRow) * side + entry.box.firstColumn;
            if (entry.normalZ > 0.0)
                *cell = e + 1;
            else
                gatherOne(cell, sums, outgoing, e, in.sky);
            counts_[start + e] = 1;
            continue;
        }
        int n = cellRuns(entry.corners, entry.box, firstRow, endRow, side, in.cells, runs);
        counts_[start + e] =
            entry.normalZ > 0.0 ? mark(runs, n, e + 1) : gather(runs, n, sums, outgoing, e, in.sky);
    }
    // Marks that no patch gathered look up along the line into the open sky.
    if (in.skySide == SkySide::above)
        for (const int32_t* cell = rows; cell != rowsEnd; ++cell)
            if (*cell >= 1) sums[*cell - 1] += in.sky;
}

// Adds the bands' sums for the chunk's patches, band after band, in the
// worker's scratch, and hands the totals on.
void BandedTransfer::addChunk(const Input& in, int chunk, Scratch& scratch, ResultSink& out) const {
    const size_t first = static_cast<size_t>(chunk) * kChunk;
    const size_t end = std::min(in.count, first + kChunk);
    Color* sums = scratch.chunkSums.data();  // by position − first
    int32_t* cells = scratch.chunkCells.data();
    for (size_t i = first; i < end; ++i) {
        sums[i - first] = Color();
        cells[i - first] = in.takesPartAt(i) ? 0 : -1;
    }
    for (int b = 0; b < bands_; ++b) {
        size_t k = static_cast<size_t>(b) * chunks_ + chunk;
        for (int32_t e = chunkStart_[k]; e < chunkStart_[k + 1]; ++e) {
            sums[members_[e] - first] += sums_[e];
            cells[members_[e] - first] += counts_[e];
        }
    }
    out.take(first, end, sums, cells);
}
