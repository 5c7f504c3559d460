// Cost of reading a scene file: tokens, vertex placement, merging and the
// subdivision of polygons into patches.
//
// Scenes: one object whose vertex list is a square lattice of k × k cells of
// side 10, each cell divided 10 × 10 (window width 0.5, tessellation 10), so
// the object ends with (10 k + 1)² vertices and twice as many patches; grid
// points of neighbouring cells coincide and merge. The quadrilateral scenes
// make about 250,000, 500,000 and 1,000,000 vertices (500,000 to 2,000,000
// patches); the triangle scene splits every cell into two triangles and makes
// about 500,000 patches. The cube is the benchmarks' million-patch scene as
// a file: 54 quadrilaterals divided 100 × 100, 1,080,000 patches.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/scene.h"
#include "base/memory_policy.h"
#include "tests/support/temp_files.h"

namespace {

// The programs' allocation policy (base/memory_policy.h), from the start.
struct AllocationPolicy {
    AllocationPolicy() { returnLargeBlocksToTheSystem(); }
} allocationPolicy;

constexpr int kDivisions = 10;
constexpr double kCellSide = 10.0;

// The lattice of (k + 1)² corner points in the plane y = 0.
std::string latticeVertices(int k) {
    std::ostringstream out;
    out << "  vrtxPstn\n";
    for (int i = 0; i <= k; ++i)
        for (int j = 0; j <= k; ++j)
            out << "    " << i * kCellSide << " 0 " << j * kCellSide << "\n";
    out << "  end\n";
    return out.str();
}

std::string latticePolygons(int k, bool triangles) {
    std::ostringstream out;
    out << "  cmplxPly\n";
    auto index = [k](int i, int j) { return i * (k + 1) + j; };
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < k; ++j) {
            int a = index(i, j), b = index(i + 1, j), c = index(i + 1, j + 1), d = index(i, j + 1);
            if (triangles)
                out << "    plygn " << a << " " << b << " " << d << " end plygn " << b << " " << c
                    << " " << d << " end\n";
            else
                out << "    plygn " << a << " " << b << " " << c << " " << d << " end\n";
        }
    out << "  end\n";
    return out.str();
}

// Writes the scene file of a lattice into the temporary directory, which
// goes with the process, and returns its path.
std::string sceneFile(int k, bool triangles) {
    std::string name =
        "loading_" + std::to_string(k) + (triangles ? "_triangles" : "_quads") + ".sce";
    std::ostringstream scene;
    scene << "nmdMtrl grey lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end end\n"
          << "plnrMsh lattice mtrlNm grey end tessellate " << kDivisions << "\n"
          << latticeVertices(k) << latticePolygons(k, triangles) << "end\n";
    return writeTempFile(name, scene.str());
}

// The inside of a closed cube of side 30 k, each face k × k quadrilaterals
// of side 30 divided 100 × 100 (tessellation 100): 120,000 k² patches,
// emitting, in one object whose faces' grid points merge along the edges.
std::string cubeFile(int k) {
    const double side = 30.0 * k, h = side / 2;
    // Origin and the two edge directions of each face, normals inward.
    const int faces[6][3][3] = {
        {{-1, -1, -1}, {1, 0, 0}, {0, 1, 0}}, {{-1, -1, 1}, {0, 1, 0}, {1, 0, 0}},
        {{-1, -1, -1}, {0, 1, 0}, {0, 0, 1}}, {{1, -1, -1}, {0, 0, 1}, {0, 1, 0}},
        {{-1, -1, -1}, {0, 0, 1}, {1, 0, 0}}, {{-1, 1, -1}, {1, 0, 0}, {0, 0, 1}}};
    std::ostringstream vertices, polygons;
    int count = 0;
    for (const auto& f : faces)
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j) {
                polygons << "    plygn";
                for (int c : {0, 1, 3, 2}) {  // (i, j), (i+1, j), (i+1, j+1), (i, j+1)
                    int di = c & 1, dj = c >> 1;
                    vertices << "   ";
                    for (int a = 0; a < 3; ++a)
                        vertices << " "
                                 << f[0][a] * h + (i + di) * 30.0 * f[1][a] +
                                        (j + dj) * 30.0 * f[2][a];
                    vertices << "\n";
                    polygons << " " << count++;
                }
                polygons << " end\n";
            }
    std::ostringstream scene;
    scene << "nmdMtrl glow pLmnr lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end\n"
          << "  spctrl 0 1 0 1 0 1 end end\nend\n"
          << "plnrMsh cube mtrlNm glow end tessellate 100\n  vrtxPstn\n"
          << vertices.str() << "  end\n  cmplxPly\n"
          << polygons.str() << "  end\nend\n";
    return writeTempFile("loading_cube_" + std::to_string(k) + ".sce", scene.str());
}

// Keeps the status lines of the loader off the console while it runs.
class QuietErrorStream {
  public:
    QuietErrorStream() : saved_(dup(2)) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        close(null);
    }
    ~QuietErrorStream() {
        dup2(saved_, 2);
        close(saved_);
    }

  private:
    int saved_;
};

void loadScene(benchmark::State& state, const std::string& path) {
    long vertices = 0, patches = 0;
    QuietErrorStream quiet;
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Scene>();
        state.ResumeTiming();
        s->readSceneFile(path.c_str());
        state.PauseTiming();
        vertices += s->vertexCount();
        patches += s->patchCount();
        s.reset();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    state.counters["vertices"] = static_cast<double>(vertices / state.iterations());
    state.counters["patches"] = static_cast<double>(patches / state.iterations());
    state.counters["vertices/s"] =
        benchmark::Counter(static_cast<double>(vertices), benchmark::Counter::kIsRate);
    state.counters["patches/s"] =
        benchmark::Counter(static_cast<double>(patches), benchmark::Counter::kIsRate);
}

void BM_LoadQuadrilaterals(benchmark::State& state) {
    loadScene(state, sceneFile(static_cast<int>(state.range(0)), false));
}
void BM_LoadTriangles(benchmark::State& state) {
    loadScene(state, sceneFile(static_cast<int>(state.range(0)), true));
}
void BM_LoadCube(benchmark::State& state) {
    loadScene(state, cubeFile(static_cast<int>(state.range(0))));
}

}  // namespace

// k = 50, 71, 100: about 250,000, 500,000 and 1,000,000 vertices.
BENCHMARK(BM_LoadQuadrilaterals)->Arg(50)->Arg(71)->Arg(100)->Unit(benchmark::kMillisecond);
// k = 50: about 500,000 patches.
BENCHMARK(BM_LoadTriangles)->Arg(50)->Unit(benchmark::kMillisecond);
// k = 3: 1,080,000 patches, 540,000 vertices.
BENCHMARK(BM_LoadCube)->Arg(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
