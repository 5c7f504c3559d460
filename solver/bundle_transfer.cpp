// The ray bundle: the scene turned so that the bundle direction is +z, the
// patches ordered by depth and scan-converted, in that order, into the bundle
// buffer, whose cells remember the last surface met along each line.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "base/fatal_error.h"
#include "solver/bundle_buffer.h"
#include "solver/bundle_estimate.h"
#include "solver/bundle_work.h"
#include "solver/depth_sort.h"
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

// Projects every placed vertex onto the bundle buffer:
// X = R · (x/E + 1) · 0.5, likewise Y, rounded to single precision, and
// rounds that to the grid of the scan conversion, once for all the patches
// that share the vertex.
void projectVertices(const VertexPool& vertices, int resolution, double extent, BundleWork& work,
                     ThreadPool& pool) {
    work.projectedX.resize(vertices.size());
    work.projectedY.resize(vertices.size());
    work.gridX.resize(vertices.size());
    work.gridY.resize(vertices.size());
    pool.forChunks(vertices.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) {
            const Vector& p = vertices[i]->position;
            float x = static_cast<float>(resolution * (p.x / extent + 1.0) * 0.5);
            float y = static_cast<float>(resolution * (p.y / extent + 1.0) * 0.5);
            work.projectedX[i] = x;
            work.projectedY[i] = y;
            work.gridX[i] = scan_detail::toGrid(x);
            work.gridY[i] = scan_detail::toGrid(y);
        }
    });
}

// A patch's corners on the grid, from its vertices'. A NaN corner makes the
// projected area NaN; such a patch covers nothing, as toGrid would have it.
GridTriangle gridCorners(const BundleWork& work, const Vertex* const* v, const CellShare& share) {
    if (std::isnan(share.area)) return GridTriangle{};
    const std::vector<int32_t>& x = work.gridX;
    const std::vector<int32_t>& y = work.gridY;
    return {{x[v[0]->index], x[v[1]->index], x[v[2]->index]},
            {y[v[0]->index], y[v[1]->index], y[v[2]->index]}};
}

// Lists the patches by serial, which run from 0 to n − 1.
void indexBySerial(const std::vector<Patch*>& patches, std::vector<Patch*>& bySerial) {
    bySerial.assign(patches.size(), nullptr);
    for (Patch* p : patches) bySerial[p->serial] = p;
}

// Patch records are large and the transfer reads or writes only a few of
// their fields: fetching those of a record some patches ahead keeps the
// sweeps over the records from waiting for memory.
constexpr size_t kPatchLookahead = 8;

void fetchViewedFields(const Patch* p) {
    __builtin_prefetch(&p->vertices);
    __builtin_prefetch(&p->serial);
    __builtin_prefetch(&p->bundleOutgoing);
    __builtin_prefetch(&p->material);
}

void fetchResultFields(Patch* p) {
    __builtin_prefetch(&p->pixelCount, 1);
    __builtin_prefetch(&p->bundleIncoming, 1);
    __builtin_prefetch(&p->side, 1);
}

// What a sweep over the records found: whether every patch stood at the
// index of its serial, and whether any is left out of bundles by chance.
struct ViewSweep {
    bool bySerial = true;
    bool draws = false;
};

// Reads what the transfer needs of the patches of serials [first, end),
// sweeping the records in the order of bySerial, and keys the depth order.
ViewSweep viewPatches(BundleWork& work, size_t first, size_t end) {
    bool bySerial = true, draws = false;
    for (size_t s = first; s < end; ++s) {
        if (s + kPatchLookahead < end) fetchViewedFields(work.bySerial[s + kPatchLookahead]);
        const Patch& p = *work.bySerial[s];
        bySerial = bySerial && p.serial == static_cast<int32_t>(s);
        const Vertex* const* v = p.vertices;
        const std::vector<float>& x = work.projectedX;
        const std::vector<float>& y = work.projectedY;
        CellShare share = cellShare({{x[v[0]->index], x[v[1]->index], x[v[2]->index]},
                                     {y[v[0]->index], y[v[1]->index], y[v[2]->index]}});
        double selectProbability = p.material->selectProbability;
        draws = draws || selectProbability < 1.0;
        work.views[s] = {gridCorners(work, v, share), share, p.normal.z, selectProbability,
                         p.bundleOutgoing};
        double depth = std::min({v[0]->position.z, v[1]->position.z, v[2]->position.z});
        work.order[s] = {depthKey(depth), static_cast<int32_t>(s)};
    }
    return {bySerial, draws};
}

ViewSweep viewAllPatches(BundleWork& work, ThreadPool& pool) {
    size_t n = work.bySerial.size();
    work.views.resize(n);
    work.order.resize(n);
    std::atomic<bool> bySerial{true}, draws{false};
    pool.forChunks(n, ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        ViewSweep chunk = viewPatches(work, first, end);
        if (!chunk.bySerial) bySerial = false;
        if (chunk.draws) draws = true;
    });
    return {bySerial, draws};
}

// Views the patches and sorts work.order ascending by nearest depth, equal
// depths by serial. bySerial is kept from one bundle to the next and rebuilt
// when it is stale. Returns whether any patch is left out of bundles by
// chance.
bool orderByDepth(std::vector<Patch*>& patches, BundleWork& work, ThreadPool& pool) {
    ViewSweep sweep;
    if (work.bySerial.size() == patches.size()) sweep = viewAllPatches(work, pool);
    if (work.bySerial.size() != patches.size() || !sweep.bySerial) {
        indexBySerial(patches, work.bySerial);
        sweep = viewAllPatches(work, pool);
    }
    sortByDepth(work.order, work.scratch, pool);
    return sweep.draws;
}

// Puts the patch list in depth order and lays the views out in that order,
// so that the transfer reads them one after the other and finds a patch by
// its position.
void arrangeInDepthOrder(std::vector<Patch*>& patches, BundleWork& work, ThreadPool& pool) {
    size_t n = work.order.size();
    work.viewsInOrder.resize(n);
    work.positionOf.resize(n);
    pool.forChunks(n, ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i) {
            int32_t s = work.order[i].index;
            patches[i] = work.bySerial[s];
            work.viewsInOrder[i] = work.views[s];
            work.positionOf[s] = static_cast<int32_t>(i);
        }
    });
}

// Writes the results of serials [first, end) to the patches that took part:
// the summed radiance becomes the mean over the patch's cells (see
// bundle_estimate.h) times the cosine between its normal and the direction.
void storeResults(const BundleWork& work, size_t first, size_t end) {
    for (size_t s = first; s < end; ++s) {
        if (s + kPatchLookahead < end) {
            fetchResultFields(work.bySerial[s + kPatchLookahead]);
            int32_t ahead = work.positionOf[s + kPatchLookahead];
            __builtin_prefetch(&work.result.incoming[ahead]);
            __builtin_prefetch(&work.result.cells[ahead]);
        }
        int32_t i = work.positionOf[s];
        int32_t count = work.result.cells[i];
        if (count < 0) continue;  // left out of this bundle
        Patch& p = *work.bySerial[s];
        const BundlePatch& view = work.views[s];
        p.side = view.normalZ > 0.0 ? 1 : 0;
        p.pixelCount = count;
        Color in = work.result.incoming[i];
        double divisor = cellDivisor(count, view.share);
        if (divisor > 0.0) {
            double cosine = std::fabs(view.normalZ);
            for (int c = 0; c < 3; ++c) in[c] = in[c] * cosine / divisor;
        }
        p.bundleIncoming = in;
    }
}

}  // namespace

void SolverState::setUpBundle() {
    double s = std::sqrt(direction.x * direction.x + direction.y * direction.y);
    double c = direction.z;
    if (s * s > 1e-6) {
        axisRotation(Vector(direction.y / s, -direction.x / s, 0.0), s, c, rotation);
    } else if (c > 0.0) {
        setMatrix(rotation, 1.0, 1.0, 1.0);  // already along +z: nothing moves
        return;
    } else {
        setMatrix(rotation, -1.0, 1.0, -1.0);  // a half turn about y
    }
    ThreadPool& pool = workers();
    pool.forChunks(vertices.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i)
            vertices[i]->position = rotate(vertices[i]->position, rotation);
    });
    const std::vector<Patch*>& records = patchRecords();
    pool.forChunks(records.size(), ThreadPool::kSweepChunk, [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i)
            records[i]->normal = rotate(records[i]->normal, rotation);
    });
}

void SolverState::transferBundle() {
    if (!bundleBuffer || !bundleBuffer->cells)
        fatalError(-1, "The bundle buffer is missing: no bundle can be transferred.\n");
    // With every vertex at the origin there is no window to project into.
    if (!(extent > 0.0)) return;

    BundleBuffer& buffer = *bundleBuffer;
    BundleWork& work = buffer.work;
    ThreadPool& pool = workers();
    projectVertices(vertices, resolution, extent, work, pool);
    bool draws = orderByDepth(patches, work, pool);
    arrangeInDepthOrder(patches, work, pool);
    // The selection draws come first, in depth order, so that the random
    // sequence does not depend on how the bands share out the work.
    if (draws)
        drawTakingPart(work.viewsInOrder.data(), patches.size(), random, work.takesPart);
    else
        work.takesPart.assign(patches.size(), 1);
    BandedTransfer::Input in;
    in.side = buffer.side;
    in.count = patches.size();
    in.patches = work.viewsInOrder.data();
    in.takesPart = work.takesPart.data();
    in.cells = buffer.cells.get();
    in.sky = skyRadiance;
    // Down: every cell starts as the sky. Up: a front-facing patch still
    // named by a cell after the scan looks along the line into the open sky.
    if (direction.y < 0.0)
        in.skySide = SkySide::below;
    else if (direction.y > 0.0 && !skyRadiance.isBlack())
        in.skySide = SkySide::above;
    work.transfer.run(in, pool, work.result);
    pool.forChunks(patches.size(), ThreadPool::kSweepChunk,
                   [&](size_t first, size_t end) { storeResults(work, first, end); });
}
