// The ray bundle: the scene placed so that the bundle direction is +z, the
// patches ordered by depth and scan-converted, in that order, into the bundle
// buffer, whose cells remember the last surface met along each line.
//
// The scene itself is never moved for a bundle: each vertex is placed from
// its saved position into the work arrays in one step (translation, rotation
// and projection), and a patch's placed normal is only ever needed for its
// z, the dot product of its normal with the rotation's last column.
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <atomic>
#include <cmath>
#include <vector>

#include "base/fatal_error.h"
#include "solver/bundle_buffer.h"
#include "solver/bundle_estimate.h"
#include "solver/bundle_work.h"
#include "solver/depth_sort.h"
#include "solver/patch_update.h"
#include "solver/solver_state.h"

namespace {

// p' = p · A for a 3 × 3 matrix applied to row vectors.
Vector rotate(const Vector& p, const double a[3][3]) {
    return {a[0][0] * p.x + a[1][0] * p.y + a[2][0] * p.z,
            a[0][1] * p.x + a[1][1] * p.y + a[2][1] * p.z,
            a[0][2] * p.x + a[1][2] * p.y + a[2][2] * p.z};
}

// Rotation about the unit axis k by the angle whose sine is s and cosine c.
void axisRotation(const Vector& k, double s, double c, double a[3][3]) {
    double t = 1.0 - c;
    a[0][0] = c + t * k.x * k.x;
    a[0][1] = t * k.x * k.y + s * k.z;
    a[0][2] = t * k.x * k.z - s * k.y;
    a[1][0] = t * k.x * k.y - s * k.z;
    a[1][1] = c + t * k.y * k.y;
    a[1][2] = t * k.y * k.z + s * k.x;
    a[2][0] = t * k.x * k.z + s * k.y;
    a[2][1] = t * k.y * k.z - s * k.x;
    a[2][2] = c + t * k.z * k.z;
}

void setMatrix(double a[3][3], double d0, double d1, double d2) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = 0.0;
    a[0][0] = d0;
    a[1][1] = d1;
    a[2][2] = d2;
}

// Sets `a` to the rotation taking the unit direction d to +z. Returns false
// when d already is +z (within s² ≤ 1e-6), where nothing is turned.
bool bundleRotation(const Vector& d, double a[3][3]) {
    double s = std::sqrt(d.x * d.x + d.y * d.y);
    double c = d.z;
    if (s * s > 1e-6) {
        axisRotation(Vector(d.y / s, -d.x / s, 0.0), s, c, a);
        return true;
    }
    if (c > 0.0) {
        setMatrix(a, 1.0, 1.0, 1.0);
        return false;
    }
    setMatrix(a, -1.0, 1.0, -1.0);  // a half turn about y
    return true;
}

// How a bundle places the scene: the offset −center, then the rotation
// (when it turns anything), then X = R · (x/E + 1) · 0.5, likewise Y,
// rounded to single precision.
struct Placement {
    Vector offset;
    double a[3][3];
    bool rotates;
    double resolution;
    double extent;

    PlacedVertex place(const Vector& saved) const {
        Vector p = saved + offset;
        if (rotates) p = rotate(p, a);
        float x = static_cast<float>(resolution * (p.x / extent + 1.0) * 0.5);
        float y = static_cast<float>(resolution * (p.y / extent + 1.0) * 0.5);
        return {x, y, scan_detail::toGrid(x), scan_detail::toGrid(y), p.z};
    }
    // z of the rotated normal.
    double normalZ(const Vector& n) const {
        return rotates ? a[0][2] * n.x + a[1][2] * n.y + a[2][2] * n.z : n.z;
    }
};

void placeVertices(const VertexPool& vertices, const Placement& g, BundleWork& work,
                   ThreadPool& pool) {
    work.placed.resize(vertices.size());
    pool.forChunks(vertices.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) work.placed[i] = g.place(vertices[i]->savedPosition);
    });
}

// The vertex indices of every patch's corners, by serial: the views read
// them every bundle, the patch records only when they change.
void listCorners(const std::vector<Patch*>& bySerial, BundleWork& work) {
    work.corners.resize(bySerial.size());
    for (size_t s = 0; s < bySerial.size(); ++s)
        for (int k = 0; k < 3; ++k) work.corners[s][k] = bySerial[s]->vertices[k]->index;
}

// Writes a whole cache line that will not be read again before it has left
// the cache: without first reading it in (a streaming store) where the
// processor has one. The sweeps that write so end with finishLines().
template <class Line>
inline void writeLine(Line* to, const Line& from) {
#if defined(__SSE2__)
    static_assert(sizeof(Line) == 64 && alignof(Line) == 64, "one whole cache line");
    const __m128i* source = reinterpret_cast<const __m128i*>(&from);
    __m128i* target = reinterpret_cast<__m128i*>(to);
    for (int k = 0; k < 4; ++k) _mm_stream_si128(target + k, _mm_loadu_si128(source + k));
#else
    *to = from;
#endif
}

// Makes the streamed lines visible to the other threads, which read them
// after the sweep.
inline void finishLines() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// Keys the patches of serials [first, end) by their nearest placed corner.
void keyPatches(const Placement& g, BundleWork& work, size_t first, size_t end) {
    const PlacedVertex* placed = work.placed.data();
    for (size_t s = first; s < end; ++s) {
        const std::array<int32_t, 3>& c = work.corners[s];
        double nearest = std::min({placed[c[0]].z, placed[c[1]].z, placed[c[2]].z});
        work.order[s] = {depthKey(nearest, g.extent), static_cast<int32_t>(s)};
    }
}

// Puts the patch list in depth order and notes every serial's position. The
// positions are written by serial, so each thread takes a range of serials
// (reading the whole order) rather than of positions: scattered writes from
// two threads into one cache line would pass the line back and forth.
void placeInDepthOrder(const std::vector<Patch*>& bySerial, BundleWork& work,
                       std::vector<Patch*>& patches, ThreadPool& pool) {
    const size_t n = work.order.size();
    work.positionOf.resize(n);
    const int parts = pool.threads();
    pool.run(parts, [&](int part, int) {
        const size_t first = n * part / parts, end = n * (part + 1) / parts;
        for (size_t i = 0; i < n; ++i) {
            size_t s = static_cast<size_t>(work.order[i].index);
            if (s >= first && s < end) work.positionOf[s] = static_cast<int32_t>(i);
        }
        for (size_t i = first; i < end; ++i) patches[i] = bySerial[work.order[i].index];
    });
}

// Views the patches of serials [first, end) at their places in the depth
// order: corners on the grid, normal's z, what they send and the division of
// their sums. Returns whether any of them is left out of bundles by chance.
bool viewPatches(const std::vector<Patch*>& bySerial, const Placement& g, const Exchange* exchange,
                 BundleWork& work, size_t first, size_t end) {
    bool draws = false;
    const PlacedVertex* placed = work.placed.data();
    for (size_t s = first; s < end; ++s) {
        const Patch& p = *bySerial[s];
        const std::array<int32_t, 3>& c = work.corners[s];
        const PlacedVertex &u = placed[c[0]], &v = placed[c[1]], &w = placed[c[2]];
        CellShare share = cellShare({{u.x, v.x, w.x}, {u.y, v.y, w.y}});
        // A NaN corner makes the projected area NaN; such a patch covers
        // nothing, as toGrid would have it.
        GridTriangle corners = std::isnan(share.area) ? GridTriangle{}
                                                      : GridTriangle{{u.gridX, v.gridX, w.gridX},
                                                                     {u.gridY, v.gridY, w.gridY}};
        BundlePatch view{corners, g.normalZ(p.worldNormal), exchange[s].outgoing, packShare(share)};
        writeLine(&work.patches[work.positionOf[s]], view);
        draws = draws || p.material->selectProbability < 1.0;
    }
    finishLines();
    return draws;
}

// Draws, in depth order, which patches take part: a patch whose material is
// sometimes left out draws one number and takes part unless it is above its
// selection probability; one always taking part draws none.
void drawTakingPart(const std::vector<Patch*>& patches, Random& random,
                    std::vector<uint8_t>& takesPart) {
    takesPart.resize(patches.size());
    for (size_t i = 0; i < patches.size(); ++i) {
        double p = patches[i]->material->selectProbability;
        takesPart[i] = p >= 1.0 || !(random.next() / static_cast<double>(Random::kMax) > p);
    }
}

}  // namespace

size_t BundleWork::bytes() const {
    return placed.capacity() * sizeof(PlacedVertex) +
           corners.capacity() * sizeof(std::array<int32_t, 3>) +
           positionOf.capacity() * sizeof(int32_t) +
           (order.capacity() + scratch.capacity()) * sizeof(DepthEntry) +
           patches.capacity() * sizeof(BundlePatch) + takesPart.capacity() + transfer.bytes();
}

Vector SolverState::rotated(const Vector& v) const { return rotate(v, rotation); }

void SolverState::setUpBundle() {
    if (!bundleRotation(direction, rotation)) return;  // already along +z: nothing moves
    workers().forChunks(vertices.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i)
            vertices[i]->position = rotate(vertices[i]->position, rotation);
    });
}

void SolverState::transferBundle() { runBundle(nullptr); }

void SolverState::updateAndTransfer(const Vector& previousDirection, int plannedIterations) {
    PatchUpdateInput update = updateInput(previousDirection, plannedIterations);
    runBundle(&update);
}

// One bundle along `direction`, the patch update first when `update` is
// given: both sweep the patches in serial order, in the same chunks.
void SolverState::runBundle(const PatchUpdateInput* update) {
    if (!bundleBuffer || !bundleBuffer->cells)
        fatalError(-1, "The bundle buffer is missing: no bundle can be transferred.\n");
    checkPatchArrays();
    ThreadPool& pool = workers();
    // With every vertex at the origin there is no window to project into:
    // the patches are updated, and no bundle reaches them.
    if (!(extent > 0.0)) {
        if (update)
            pool.forChunks(patches.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
                ::updatePatches(bySerial_, first, end, *update, terms_);
            });
        resetBundleTerms();
        return;
    }

    BundleWork& work = bundleBuffer->work;
    Placement g;
    g.offset = -center;
    g.rotates = bundleRotation(direction, g.a);
    std::copy(&g.a[0][0], &g.a[0][0] + 9, &rotation[0][0]);
    g.resolution = resolution;
    g.extent = extent;
    placeVertices(vertices, g, work, pool);
    const size_t n = patches.size();
    if (work.corners.size() != n) listCorners(bySerial_, work);
    work.order.resize(n);
    pool.forChunks(n, ThreadPool::kSweepChunk,
                   [&](size_t first, size_t end) { keyPatches(g, work, first, end); });
    sortByDepth(work.order, work.scratch, pool);
    placeInDepthOrder(bySerial_, work, patches, pool);
    work.patches.resize(n);
    std::atomic<bool> draws{false};
    const Exchange* exchange = terms_.exchange.data();
    pool.forChunks(n, ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        if (update) ::updatePatches(bySerial_, first, end, *update, terms_);
        if (viewPatches(bySerial_, g, exchange, work, first, end)) draws = true;
    });
    // The selection draws come first, in depth order, so that the random
    // sequence does not depend on how the bands share out the work.
    if (draws) drawTakingPart(patches, random, work.takesPart);
    transferAlongLines(draws ? work.takesPart.data() : nullptr);
}

void SolverState::transferAlongLines(const uint8_t* takesPart) {
    BundleBuffer& buffer = *bundleBuffer;
    BundleWork& work = buffer.work;
    BandedTransfer::Input in;
    in.side = buffer.side;
    in.count = patches.size();
    in.patches = work.patches.data();
    in.takesPart = takesPart;
    in.cells = buffer.cells.get();
    in.sky = skyRadiance;
    // Down: every cell starts as the sky. Up: a front-facing patch still
    // named by a cell after the scan looks along the line into the open sky.
    if (direction.y < 0.0)
        in.skySide = SkySide::below;
    else if (direction.y > 0.0 && !skyRadiance.isBlack())
        in.skySide = SkySide::above;
    struct Store : BandedTransfer::ResultSink {
        SolverState& solver;
        explicit Store(SolverState& s) : solver(s) {}
        void take(size_t first, size_t end, const Color* sums, const int32_t* cells) override {
            solver.storeResults(first, end, sums, cells);
        }
    } store(*this);
    work.transfer.run(in, workers(), store);
}

// Hands the results of positions [first, end) to the patches' serials: the
// summed radiance becomes the mean over the patch's cells (see
// bundle_estimate.h) times the cosine between its normal and the direction.
// A patch left out (cells −1) gets 0. Each patch's exchange line is written
// whole, its outgoing radiance from the view.
void SolverState::storeResults(size_t first, size_t end, const Color* sums, const int32_t* cells) {
    const BundleWork& work = bundleBuffer->work;
    for (size_t i = first; i < end; ++i) {
        if (i + 8 < end) __builtin_prefetch(&work.patches[i + 8]);
        const BundlePatch& view = work.patches[i];
        Exchange e;
        e.incoming = sums[i - first];
        e.outgoing = view.outgoing;
        e.side = view.normalZ > 0.0 ? 1 : 0;
        const int32_t count = cells[i - first];
        if (count >= 0) {
            double divisor = cellDivisor(count, unpackShare(view.share));
            if (divisor > 0.0) {
                double cosine = std::fabs(view.normalZ);
                for (int c = 0; c < 3; ++c) e.incoming[c] = e.incoming[c] * cosine / divisor;
            }
            e.pixelCount = count;
        }
        writeLine(&terms_.exchange[work.order[i].index], e);
    }
    finishLines();
}
