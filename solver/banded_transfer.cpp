#include "solver/banded_transfer.h"

#include <algorithm>

namespace {

constexpr int kChunk = 8192;  // patches per chunk of listing and adding

// Boxes of at most this many cell centres are tested centre by centre: the
// edge functions cost less to set up than a walk along the edges.
constexpr int kTestedCentres = 6;

// A gathering (back-facing) patch's pass over its cells. A cell holds 0
// (nothing), −1 (the sky) or n ≥ 1, naming the marking patch whose sum is
// sums[n − 1] and whose outgoing radiance is outgoing[n − 1]. Along each
// cell the patch takes what the surface named sends, and the surface what
// the patch sends, or the patch takes the sky; then the cell is cleared, as
// nothing behind the patch sees past it. The patch's own sum, and that of
// the surface met, stay in registers while the cells name the same surface;
// every sum still receives its terms one by one, in cell order.
struct Gatherer {
    Color* sums;
    const Color* outgoing;
    Color sky;
    Color own, ownOut;  // the patch's running sum and its outgoing radiance
    int32_t held = 0;   // cell value of the surface whose sum is held
    Color heldSum, heldOut;

    void cell(int32_t* cell) {
        int32_t n = *cell;
        *cell = 0;
        if (n >= 1) {
            if (n != held) hold(n);
            for (int c = 0; c < 3; ++c) own.c[c] += heldOut.c[c], heldSum.c[c] += ownOut.c[c];
        } else if (n == -1) {
            own += sky;
        }
    }
    void span(int32_t* cell, int32_t* stop) {
        for (; cell != stop; ++cell) this->cell(cell);
    }
    void hold(int32_t n) {
        if (held >= 1) sums[held - 1] = heldSum;
        held = n;
        heldSum = sums[n - 1];
        heldOut = outgoing[n - 1];
    }
    // Stores the sums held; `self` is the patch's own index in `sums`.
    void finish(int32_t self) {
        if (held >= 1) sums[held - 1] = heldSum;
        sums[self] = own;
    }
};

// Calls cellAction(cell) for every cell of the entry in rows [firstRow,
// endRow), rows ascending and cells ascending within a row.
template <class CellAction>
void forCells(const GridTriangle& corners, const CellBox& box, int firstRow, int endRow, int side,
              int32_t* cells, CellAction&& cellAction) {
    int j0 = std::max(firstRow, box.firstRow), j1 = std::min(endRow, box.endRow);
    if (box.columns() * box.rows() == 1) {
        // Listed only when it covers its one centre.
        cellAction(cells + static_cast<size_t>(box.firstRow) * side + box.firstColumn);
    } else if (box.columns() * box.rows() <= kTestedCentres) {
        CentreTest test(corners);
        for (int j = j0; j < j1; ++j) {
            int32_t* row = cells + static_cast<size_t>(j) * side;
            for (int k = box.firstColumn; k < box.endColumn; ++k)
                if (test.covers(k, j)) cellAction(row + k);
        }
    } else {
        CellTriangle(corners).forRows(j0, j1, side, [&](int row, int first, int end) {
            int32_t* cell = cells + static_cast<size_t>(row) * side;
            for (int32_t *c = cell + first, *stop = cell + end; c != stop; ++c) cellAction(c);
        });
    }
}

}  // namespace

void drawTakingPart(const BundlePatch* patches, size_t count, Random& random,
                    std::vector<uint8_t>& takesPart) {
    takesPart.resize(count);
    for (size_t i = 0; i < count; ++i) {
        double p = patches[i].selectProbability;
        takesPart[i] = p >= 1.0 || !(random.next() / static_cast<double>(Random::kMax) > p);
    }
}

void BandedTransfer::run(const Input& in, ThreadPool& pool, Result& out) {
    scratch_.resize(pool.threads());
    listMembers(in, pool);
    pool.run(bands_, [&](int band, int worker) { workBand(in, band, scratch_[worker]); });
    out.incoming.resize(in.count);
    out.cells.resize(in.count);
    pool.run(chunks_, [&](int chunk, int) { addChunk(in, chunk, out); });
}

// Lists, band by band and in depth order, the patches taking part whose
// rows meet the band: each chunk rounds its patches' corners and counts them
// per band, the counts give each chunk its place in each band's list, and
// each chunk writes its patches there.
void BandedTransfer::listMembers(const Input& in, ThreadPool& pool) {
    bands_ = bandCount(in.side);
    chunks_ = static_cast<int>((in.count + kChunk - 1) / kChunk);
    grid_.resize(in.count);
    box_.resize(in.count);
    chunkStart_.assign(static_cast<size_t>(bands_) * chunks_ + 1, 0);
    pool.run(chunks_, [&](int chunk, int worker) { classifyChunk(in, chunk, scratch_[worker]); });
    int32_t total = 0;
    for (int32_t& start : chunkStart_) {
        int32_t count = start;
        start = total;
        total += count;
    }
    members_.resize(total);
    sums_.resize(total);
    counts_.resize(total);
    pool.run(chunks_, [&](int chunk, int) { fillChunk(chunk); });
}

// Rounds the corners of the chunk's patches to the grid, finds the cells
// they can hold, settles those that can hold one cell only, and counts the
// chunk's patches per band.
void BandedTransfer::classifyChunk(const Input& in, int chunk, Scratch& scratch) {
    scratch.perBand.assign(bands_, 0);
    size_t end = std::min(in.count, static_cast<size_t>(chunk + 1) * kChunk);
    for (size_t i = static_cast<size_t>(chunk) * kChunk; i < end; ++i) {
        GridTriangle g = toGrid(in.patches[i].corners);
        CellBox box = cellBox(g, in.side);
        bool listed =
            in.takesPart[i] && !box.empty() &&
            (box.columns() * box.rows() > 1 || CentreTest(g).covers(box.firstColumn, box.firstRow));
        grid_[i] = g;
        box_[i] = listed ? box : CellBox{0, 0, 0, 0};
        if (!listed) continue;
        for (int b = box.firstRow / kRowsPerBand; b <= (box.endRow - 1) / kRowsPerBand; ++b)
            ++scratch.perBand[b];
    }
    for (int b = 0; b < bands_; ++b)
        chunkStart_[static_cast<size_t>(b) * chunks_ + chunk] = scratch.perBand[b];
}

void BandedTransfer::fillChunk(int chunk) {
    std::vector<int32_t> next(bands_);
    for (int b = 0; b < bands_; ++b)
        next[b] = chunkStart_[static_cast<size_t>(b) * chunks_ + chunk];
    int32_t end = std::min(static_cast<int32_t>(grid_.size()), (chunk + 1) * kChunk);
    for (int32_t i = chunk * kChunk; i < end; ++i) {
        const CellBox& box = box_[i];
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
    const int32_t start = chunkStart_[static_cast<size_t>(band) * chunks_];
    const int32_t count = chunkStart_[static_cast<size_t>(band + 1) * chunks_] - start;
    scratch.entries.resize(count);
    scratch.outgoing.resize(count);
    for (int32_t e = 0; e < count; ++e) {
        int32_t position = members_[start + e];
        scratch.entries[e] = {grid_[position], box_[position], in.patches[position].normalZ};
        scratch.outgoing[e] = in.patches[position].outgoing;
    }
}

// Marks and gathers the band's rows for its patches in depth order. Writes
// only the band's rows of the buffer and the band's entries.
void BandedTransfer::workBand(const Input& in, int band, Scratch& scratch) {
    const int side = in.side;
    const int firstRow = band * kRowsPerBand, endRow = std::min(side, firstRow + kRowsPerBand);
    int32_t* rows = in.cells + static_cast<size_t>(firstRow) * side;
    int32_t* rowsEnd = in.cells + static_cast<size_t>(endRow) * side;
    std::fill(rows, rowsEnd, in.skySide == SkySide::below ? -1 : 0);

    gatherEntries(in, band, scratch);
    const int32_t start = chunkStart_[static_cast<size_t>(band) * chunks_];
    const int32_t count = static_cast<int32_t>(scratch.entries.size());
    Color* sums = sums_.data() + start;
    std::fill(sums, sums + count, Color());
    for (int32_t e = 0; e < count; ++e) {
        const Entry& entry = scratch.entries[e];
        int32_t covered = 0;
        if (entry.normalZ > 0.0) {
            forCells(entry.corners, entry.box, firstRow, endRow, side, in.cells,
                     [&](int32_t* cell) { *cell = e + 1, ++covered; });
        } else {
            Gatherer g{
                sums,   scratch.outgoing.data(), in.sky, Color(), scratch.outgoing[e], 0, Color(),
                Color()};
            forCells(entry.corners, entry.box, firstRow, endRow, side, in.cells,
                     [&](int32_t* cell) { g.cell(cell), ++covered; });
            g.finish(e);
        }
        counts_[start + e] = covered;
    }
    // Marks that no patch gathered look up along the line into the open sky.
    if (in.skySide == SkySide::above)
        for (const int32_t* cell = rows; cell != rowsEnd; ++cell)
            if (*cell >= 1) sums[*cell - 1] += in.sky;
}

// Adds the bands' sums for the chunk's patches, band after band.
void BandedTransfer::addChunk(const Input& in, int chunk, Result& out) const {
    size_t end = std::min(in.count, static_cast<size_t>(chunk + 1) * kChunk);
    for (size_t i = static_cast<size_t>(chunk) * kChunk; i < end; ++i) {
        out.incoming[i] = Color();
        out.cells[i] = in.takesPart[i] ? 0 : -1;
    }
    for (int b = 0; b < bands_; ++b) {
        size_t k = static_cast<size_t>(b) * chunks_ + chunk;
        for (int32_t e = chunkStart_[k]; e < chunkStart_[k + 1]; ++e) {
            out.incoming[members_[e]] += sums_[e];
            out.cells[members_[e]] += counts_[e];
        }
    }
}
