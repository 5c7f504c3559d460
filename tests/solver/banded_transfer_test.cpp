// The banded transfer against a cell-by-cell transfer written straight from
// the rules, bit for bit, with one thread and with several.
#include "solver/banded_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "app/scene.h"
#include "tests/support/box_scene.h"
#include "tests/support/cell_reference.h"

namespace {

// The arrays a BandedTransfer::Input points into.
struct Patches {
    int side = 0;
    std::vector<BundlePatch> patches;
    std::vector<uint8_t> takesPart;
    std::vector<int32_t> cells;
    Color sky;

    BandedTransfer::Input input(SkySide skySide) {
        cells.assign(static_cast<size_t>(side) * side, 12345);  // whatever the last bundle left
        BandedTransfer::Input in;
        in.side = side;
        in.count = patches.size();
        in.patches = patches.data();
        in.takesPart = takesPart.data();
        in.cells = cells.data();
        in.sky = sky;
        in.skySide = skySide;
        return in;
    }
};

Color randomColor(std::mt19937_64& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    return Color(unit(rng), unit(rng), unit(rng));
}

// Triangles from a fifth of a cell to 80 cells across, anywhere, facing
// either way (some exactly edge-on), a fifth of them left out.
Patches soup(std::mt19937_64& rng, int side, int count) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Patches p;
    p.side = side;
    for (int i = 0; i < count; ++i) {
        double reach = 0.2 * std::pow(200.0, unit(rng));
        double cx = unit(rng) * (side - 1), cy = unit(rng) * (side - 1);
        ProjectedTriangle t;
        auto coordinate = [&](double centre) {
            double v = std::clamp(centre + reach * (2 * unit(rng) - 1), 0.0, side - 1.0);
            return static_cast<float>(i % 2 ? v : std::floor(4 * v) / 4);
        };
        for (int c = 0; c < 3; ++c) t.x[c] = coordinate(cx), t.y[c] = coordinate(cy);
        double normalZ = i % 17 == 0 ? 0.0 : 2 * unit(rng) - 1;
        p.patches.push_back({toGrid(t), normalZ, randomColor(rng), 0.0});
        p.takesPart.push_back(unit(rng) < 0.8);
    }
    p.sky = randomColor(rng);
    return p;
}

// A closed cube of 12 n² patches as the solver places it along a random
// direction, in depth order (nearest corner, then serial).
Patches cubeView(std::mt19937_64& rng, int n, int resolution) {
    auto scene = std::make_unique<Scene>();
    Scene& s = *scene;
    box_scene::addClosedCube(s, 0.1 * n, n, &s.materials[0]);
    box_scene::prepareSolver(s);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double z = 2 * unit(rng) - 1, r = std::sqrt(1 - z * z), phi = 6.283185307179586 * unit(rng);
    s.direction = Vector(r * std::cos(phi), r * std::sin(phi), z);
    s.translate(-s.center);
    s.setUpBundle();
    std::vector<const Patch*> order(s.patches.begin(), s.patches.end());
    auto depth = [](const Patch* p) {
        return std::min(
            {p->vertices[0]->position.z, p->vertices[1]->position.z, p->vertices[2]->position.z});
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](const Patch* a, const Patch* b) { return depth(a) < depth(b); });
    Patches p;
    p.side = resolution + 1;
    for (const Patch* patch : order) {
        ProjectedTriangle t;
        for (int i = 0; i < 3; ++i) {
            const Vector& v = patch->vertices[i]->position;
            t.x[i] = static_cast<float>(resolution * (v.x / s.extent + 1.0) * 0.5);
            t.y[i] = static_cast<float>(resolution * (v.y / s.extent + 1.0) * 0.5);
        }
        p.patches.push_back({toGrid(t), s.rotated(patch->worldNormal).z, randomColor(rng), 0.0});
        p.takesPart.push_back(p.takesPart.size() % 23 != 5);
    }
    p.sky = randomColor(rng);
    return p;
}

// Cell by cell, band by band: each band's cells start as the sky or empty;
// the patches taking part, in depth order, test every cell of their box in
// the band's rows, row by row, and mark it or gather from it (a stretch of
// cells holding one value at once); marks left in the band see the sky
// above; the band's sums are then added to the patches' in band order.
BandedTransfer::Result referenceTransfer(const BandedTransfer::Input& in) {
    BandedTransfer::Result out;
    out.incoming.assign(in.count, Color());
    out.cells.assign(in.count, 0);
    std::vector<int32_t> cells(static_cast<size_t>(in.side) * in.side);
    for (int band = 0; band < bandCount(in.side); ++band) {
        int r0 = band * kRowsPerBand, r1 = std::min(in.side, r0 + kRowsPerBand);
        std::fill(cells.begin() + r0 * in.side, cells.begin() + r1 * in.side,
                  in.skySide == SkySide::below ? -1 : 0);
        std::vector<Color> sums(in.count);
        for (size_t p = 0; p < in.count; ++p) {
            if (!in.takesPart[p]) continue;
            const GridTriangle& t = in.patches[p].corners;
            int k0 = std::max(0, (std::min({t.x[0], t.x[1], t.x[2]}) >> 8) - 1);
            int k1 = std::min(in.side, (std::max({t.x[0], t.x[1], t.x[2]}) >> 8) + 2);
            int j0 = std::max(r0, (std::min({t.y[0], t.y[1], t.y[2]}) >> 8) - 1);
            int j1 = std::min(r1, (std::max({t.y[0], t.y[1], t.y[2]}) >> 8) + 2);
            // A gathering patch adds each stretch of cells holding one value
            // at once, when the value changes and after its last cell.
            int32_t value = 0, length = 0;
            auto addStretch = [&] {
                if (value >= 1) {
                    sums[p] += in.patches[value - 1].outgoing * length;
                    sums[value - 1] += in.patches[p].outgoing * length;
                }
                if (value == -1) sums[p] += in.sky * length;
            };
            for (int j = j0; j < j1; ++j) {
                for (int k = k0; k < k1; ++k) {
                    if (!cell_reference::inside(t, k, j)) continue;
                    ++out.cells[p];
                    int32_t& cell = cells[static_cast<size_t>(j) * in.side + k];
                    if (in.patches[p].normalZ > 0.0) {
                        cell = static_cast<int32_t>(p) + 1;
                        continue;
                    }
                    if (cell != value) {
                        addStretch();
                        value = cell, length = 0;
                    }
                    ++length;
                    cell = 0;
                }
            }
            addStretch();
        }
        if (in.skySide == SkySide::above)
            for (int c = r0 * in.side; c < r1 * in.side; ++c)
                if (cells[c] >= 1) sums[cells[c] - 1] += in.sky;
        for (size_t p = 0; p < in.count; ++p) out.incoming[p] += sums[p];
    }
    for (size_t p = 0; p < in.count; ++p)
        if (!in.takesPart[p]) out.cells[p] = -1;
    return out;
}

void expectSameBits(const BandedTransfer::Result& a, const BandedTransfer::Result& b) {
    ASSERT_EQ(a.incoming.size(), b.incoming.size());
    ASSERT_EQ(a.cells, b.cells);
    for (size_t i = 0; i < a.incoming.size(); ++i)
        ASSERT_EQ(std::memcmp(&a.incoming[i], &b.incoming[i], sizeof(Color)), 0)
            << "patch " << i << ": " << a.incoming[i][0] << " " << b.incoming[i][0];
}

}  // namespace

// Loose triangles on buffers whose last band has 1, 1 and 2 rows, and closed
// cubes seen along random directions (patches sharing edges and corners),
// with the sky below, above or nowhere: the same bits as the reference with
// 1, 2 and 3 threads, and a buffer holding no cell of the last bundle.
TEST(BandedTransfer, MatchesTheCellByCellTransferForAnyNumberOfThreads) {
    std::mt19937_64 rng(31);
    std::vector<Patches> scenes = {soup(rng, 33, 300),     soup(rng, 97, 400),
                                   soup(rng, 130, 400),    cubeView(rng, 5, 200),
                                   cubeView(rng, 12, 200), cubeView(rng, 40, 1000)};
    ThreadPool one(1), two(2), three(3);
    BandedTransfer transfer;
    int exchanged = 0;
    for (Patches& p : scenes) {
        for (SkySide sky : {SkySide::none, SkySide::below, SkySide::above}) {
            BandedTransfer::Result expected = referenceTransfer(p.input(sky));
            for (ThreadPool* pool : {&one, &two, &three}) {
                BandedTransfer::Result result;
                transfer.run(p.input(sky), *pool, result);
                ASSERT_NO_FATAL_FAILURE(expectSameBits(result, expected))
                    << p.patches.size() << " patches, " << pool->threads() << " threads";
            }
            for (const Color& c : expected.incoming) exchanged += !c.isBlack();
        }
    }
    EXPECT_GT(exchanged, 10000);
}
