// Marking and gathering along the cells of a bundle.
#include "solver/bundle_cells.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "solver/scan_converter.h"

namespace {
using CellSpan = BundleWork::CellSpan;
using Terms = BundleWork::Terms;

// Spans ahead of the one being worked on whose cells are fetched early: the
// buffer is larger than the nearer caches and a patch's spans lie on
// different rows, so each span would otherwise wait for memory.
constexpr size_t kLookahead = 16;

// Whether the patch takes part in this bundle; draws only for materials that
// are sometimes left out.
bool takesPart(double selectProbability, Random& random) {
    if (selectProbability >= 1.0) return true;
    return !(random.next() / static_cast<double>(Random::kMax) > selectProbability);
}

// The spans of one round with the cells they point into.
struct SpanList {
    const CellSpan* spans;
    size_t count;
    int32_t* cells;

    void fetchAhead(size_t k) const {
        if (k + kLookahead < count) __builtin_prefetch(cells + spans[k + kLookahead].first, 1);
    }
};

// A front-facing patch marks its cells, spans k to end − 1, as the last
// surface met. Widens `marked` to take in the cells.
void mark(const SpanList& list, size_t k, size_t end, int32_t id,
          std::pair<int32_t, int32_t>& marked) {
    for (; k != end; ++k) {
        list.fetchAhead(k);
        const CellSpan& span = list.spans[k];
        std::fill(list.cells + span.first, list.cells + span.end, id);
        marked.first = std::min(marked.first, span.first);
        marked.second = std::max(marked.second, span.end);
    }
}

// A back-facing patch exchanges radiance with the surface each cell names,
// or takes the sky's, and then hides what lies behind it. Its own sum, and
// that of the surface met, stay in registers while the cells name the same
// surface; every sum still receives its terms one by one, in cell order.
void gather(const SpanList& list, size_t k, size_t end, Terms* terms, size_t position,
            const Color& sky) {
    const double out0 = terms[position].outgoing[0], out1 = terms[position].outgoing[1],
                 out2 = terms[position].outgoing[2];
    double in0 = terms[position].incoming[0], in1 = terms[position].incoming[1],
           in2 = terms[position].incoming[2];
    int32_t held = 0;  // identifier of the surface whose sum is held
    double heldIn0 = 0.0, heldIn1 = 0.0, heldIn2 = 0.0;
    double heldOut0 = 0.0, heldOut1 = 0.0, heldOut2 = 0.0;
    for (; k != end; ++k) {
        list.fetchAhead(k);
        int32_t* cell = list.cells + list.spans[k].first;
        int32_t* stop = list.cells + list.spans[k].end;
        for (; cell != stop; ++cell) {
            int32_t n = *cell;
            *cell = 0;
            if (n >= 1) {
                if (n != held) {
                    if (held >= 1) terms[held - 1].incoming = Color(heldIn0, heldIn1, heldIn2);
                    held = n;
                    const Terms& q = terms[n - 1];
                    heldIn0 = q.incoming[0], heldIn1 = q.incoming[1], heldIn2 = q.incoming[2];
                    heldOut0 = q.outgoing[0], heldOut1 = q.outgoing[1], heldOut2 = q.outgoing[2];
                }
                in0 += heldOut0, in1 += heldOut1, in2 += heldOut2;
                heldIn0 += out0, heldIn1 += out1, heldIn2 += out2;
            } else if (n == -1) {
                in0 += sky[0], in1 += sky[1], in2 += sky[2];
            }
        }
    }
    if (held >= 1) terms[held - 1].incoming = Color(heldIn0, heldIn1, heldIn2);
    terms[position].incoming = Color(in0, in1, in2);
}

// Selection test and scan conversion of the patches from position `first`
// on, into work.spans, until the spans would outgrow work.spanBudget. Sets
// work.spanStart and work.pixelCounts for those positions and returns the
// position after the last one converted.
size_t convertToSpans(BundleWork& work, int side, Random& random, size_t first) {
    size_t n = work.viewsInOrder.size();
    size_t used = 0;
    size_t i = first;
    // A triangle has a span on at most every row.
    for (; i < n && (used == 0 || used + side <= work.spanBudget); ++i) {
        const BundleWork::PatchView& view = work.viewsInOrder[i];
        work.spanStart[i] = static_cast<int32_t>(used);
        work.pixelCounts[i] = -1;
        if (!takesPart(view.selectProbability, random)) continue;
        if (work.spans.size() < used + side)
            work.spans.resize(std::max(used + side, 2 * work.spans.size()));
        CellSpan* out = work.spans.data() + used;
        int32_t count = 0;
        scanTriangle(view.corners, side, [&](int row, int firstCell, int endCell) {
            out->first = row * side + firstCell;
            out->end = row * side + endCell;
            ++out;
            count += endCell - firstCell;
        });
        used = static_cast<size_t>(out - work.spans.data());
        work.pixelCounts[i] = count;
    }
    work.spanStart[i] = static_cast<int32_t>(used);
    return i;
}

// Marks and gathers the spans of positions first .. end − 1, which
// convertToSpans has just made. Widens `marked` to the cells marked.
void exchangeAlongSpans(BundleWork& work, int32_t* cells, const Color& sky, size_t first,
                        size_t end, std::pair<int32_t, int32_t>& marked) {
    SpanList list{work.spans.data(), static_cast<size_t>(work.spanStart[end]), cells};
    for (size_t k = 0; k < kLookahead && k < list.count; ++k)
        __builtin_prefetch(cells + list.spans[k].first, 1);
    for (size_t i = first; i < end; ++i) {
        size_t k = work.spanStart[i], kEnd = work.spanStart[i + 1];
        if (k == kEnd) continue;
        if (work.viewsInOrder[i].normalZ > 0.0)
            mark(list, k, kEnd, static_cast<int32_t>(i + 1), marked);
        else
            gather(list, k, kEnd, work.terms.data(), i, sky);
    }
}
}  // namespace

std::pair<int32_t, int32_t> scanPatches(BundleWork& work, int side, Random& random, int32_t* cells,
                                        const Color& sky) {
    size_t n = work.viewsInOrder.size();
    work.pixelCounts.resize(n);
    work.spanStart.resize(n + 1);
    std::pair<int32_t, int32_t> marked(INT32_MAX, 0);
    for (size_t first = 0; first < n;) {
        size_t end = convertToSpans(work, side, random, first);
        exchangeAlongSpans(work, cells, sky, first, end, marked);
        first = end;
    }
    return marked;
}

void addSkyToNamedCells(BundleWork& work, const int32_t* cells, std::pair<int32_t, int32_t> range,
                        const Color& sky) {
    for (int32_t c = range.first; c < range.second; ++c)
        if (cells[c] >= 1) work.terms[cells[c] - 1].incoming += sky;
}
