// The headless renderer run as a program: its outputs, statuses and messages,
// and that it computes the very numbers of the window program's code path.
#include <OpenEXR/ImfCRgbaFile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "app/scene.h"
#include "base/run_log.h"
#include "gl/offscreen_context.h"
#include "render/patch_table.h"
#include "tests/support/gl_context_test.h"
#include "tests/support/png_file.h"
#include "tests/support/program_runner.h"

namespace {
const std::string kRenderer = RAY_BUNDLE_RENDERER;

// A closed cube whose inward faces emit E = 0.3 and reflect with albedo 0.5:
// everywhere inside, the radiance is E / (1 - a) = 0.6. The eye sits at its
// centre. 192 emitting patches switch the first shot off.
const char* const kGlowingCube =
    "cmr inside 0 0 0  0 0 1  0 1 0  1 1 1 0 0 0 end\n"
    "nmdMtrl glow pLmnr lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end\n"
    "  spctrl 0 0.3 0 0.3 0 0.3 end end end\n"
    "plnrMsh cube tessellate 4\n"
    "  vrtxPstn -5 -5 -5 -5 -5 5 -5 5 -5 -5 5 5 5 -5 -5 5 -5 5 5 5 -5 5 5 5 end\n"
    "  cmplxPly plygn 0 2 3 1 end plygn 5 7 6 4 end plygn 1 5 4 0 end\n"
    "    plygn 2 6 7 3 end plygn 0 4 6 2 end plygn 3 7 5 1 end end\n"
    "end\n";
const double kCubeRadiance = 0.6;

// A small lit scene: a floor and a tilted panel under a point light and a sky.
const char* const kLitScene =
    "cmr view 0 60 -300 0 0 1 0 1 0 1 0.8 0.8 0 0 0 end\n"
    "nmdMtrl white lmbrtn spctrl 0 0.7 0 0.6 0 0.5 1 0.2 8 end end end\n"
    "pointlight 60000 0 90 0 end\n"
    "sky 0.1 0.05 0.02 end\n"
    "plnrMsh floor tessellate 6\n"
    "  vrtxPstn -100 0 -100 -100 0 100 100 0 100 100 0 -100 end\n"
    "  cmplxPly plygn 0 1 2 3 end end end\n"
    "plnrMsh panel tessellate 3\n"
    "  vrtxPstn -40 0 60 40 0 60 40 70 40 end cmplxPly plygn 0 1 2 end end end\n";

// A floor of albedo 0.5 lit by a point light of power 1000 at height 50, and
// `lamps` emitting patches far above it facing away, so dim (1e-6) that the
// little of their light that travels with the bundles does not count.
std::string pointLightScene(int lamps) {
    std::string s =
        "cmr view 0 100 -300 0 0 1 0 1 0 1 0.8 0.8 0 0 0 end\n"
        "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0 0 0 0 0 1 end end\n"
        "  spctrl 0 0.000001 0 0.000001 0 0.000001 end end end\n"
        "nmdMtrl white lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end end\n"
        "pointlight 1000 0 50 0 end\n"
        "plnrMsh lamps mtrlNm lamp end tessellate 1 vrtxPstn";
    for (int i = 0; i < lamps / 2; ++i) {
        std::string x = std::to_string(-130 + 10 * i), x5 = std::to_string(-125 + 10 * i);
        s += " " + x + " 300 0 " + x + " 300 5 " + x5 + " 300 5 " + x5 + " 300 0";
    }
    s += " end cmplxPly";
    for (int i = 0; i < lamps / 2; ++i) {
        int b = 4 * i;
        s += " plygn " + std::to_string(b) + " " + std::to_string(b + 1) + " " +
             std::to_string(b + 2) + " " + std::to_string(b + 3) + " end";
    }
    return s +
           " end end\nplnrMsh floor mtrlNm white end tessellate 20\n"
           "  vrtxPstn -100 0 -100 -100 0 100 100 0 100 100 0 -100 end\n"
           "  cmplxPly plygn 0 1 2 3 end end end\n";
}

// A floor patch of a patch table: centre x and z, area, radiance in channel 0.
struct FloorPatch {
    double x, z, area, radiance;
};

std::vector<FloorPatch> floorPatches(const std::string& table) {
    std::istringstream in(table);
    std::string line, field;
    std::vector<FloorPatch> floor;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (line.find(",white,") == std::string::npos) continue;
        std::istringstream row(line);
        std::vector<double> v;
        while (std::getline(row, field, ',')) v.push_back(std::atof(field.c_str()));
        floor.push_back({v[2], v[4], v[8], v[9]});
    }
    return floor;
}

std::string sceneIn(const std::string& dir, const char* text) {
    writeFile(dir + "/scene.sce", text);
    return dir + "/scene.sce";
}

// A lamp, a square of side 20 centred on the origin facing -z, seen head-on
// from 100 units away through a window of 0.5 × 0.5 at distance 1: it spans
// 0.4 of the image height.
const char* const kLamp =
    "cmr view 0 0 -100  0 0 1  0 1 0  1 0.5 0.5 0 0 0 end\n"
    "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0 0 0 0 0 1 end end spctrl 0 1 0 1 0 1 end end end\n"
    "plnrMsh lamp mtrlNm lamp end tessellate 1\n"
    "  vrtxPstn -10 -10 0  -10 10 0  10 10 0  10 -10 0 end cmplxPly plygn 0 1 2 3 end end end\n";

struct Exr {
    int width = 0;
    int height = 0;
    std::vector<double> rgb;
};

Exr readExr(const std::string& path) {
    Exr e;
    ImfInputFile* in = ImfOpenInputFile(path.c_str());
    if (!in) return e;
    int xMin, yMin, xMax, yMax;
    ImfHeaderDataWindow(ImfInputHeader(in), &xMin, &yMin, &xMax, &yMax);
    e.width = xMax - xMin + 1;
    e.height = yMax - yMin + 1;
    std::vector<ImfRgba> pixels(static_cast<size_t>(e.width) * e.height);
    ImfInputSetFrameBuffer(in, pixels.data(), 1, e.width);
    ImfInputReadPixels(in, 0, e.height - 1);
    ImfCloseInputFile(in);
    for (const ImfRgba& p : pixels)
        for (ImfHalf h : {p.r, p.g, p.b}) e.rgb.push_back(static_cast<double>(ImfHalfToFloat(h)));
    return e;
}

// The pixel box of the pixels brighter than half the brightest: left, top,
// right, bottom edges (exclusive right and bottom).
std::vector<int> litBox(const Exr& e) {
    double brightest = 0.0;
    for (double v : e.rgb) brightest = std::max(brightest, v);
    std::vector<int> box = {e.width, e.height, 0, 0};
    for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < e.width; ++x)
            if (e.rgb[3 * (static_cast<size_t>(y) * e.width + x)] > brightest / 2) {
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                       std::max(box[3], y + 1)};
            }
    return box;
}

// Replaces every number directly before " s" or " seconds" by "T".
std::string maskSeconds(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t end = i;
        while (end < text.size() &&
               (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.'))
            ++end;
        bool timed = end > i && (text.compare(end, 2, " s") == 0);
        out += timed ? "T" : text.substr(i, std::max<size_t>(end - i, 1));
        i = std::max(end, i + 1);
    }
    return out;
}
}  // namespace

TEST(Renderer, HelpAndBadOptions) {
    std::string dir = makeTempDir();
    ProgramResult help = runProgram(kRenderer, {"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("-n, --iterations N"), std::string::npos);
    EXPECT_EQ(help.err, "");

    ProgramResult bad = runProgram(kRenderer, {"x.sce", "--bogus"}, dir);
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err,
              "ray-bundle-render: unknown option --bogus\n"
              "Try 'ray-bundle-render --help'.\n");
    ProgramResult kind = runProgram(kRenderer, {"x.sce", "--directions", "halton"}, dir);
    EXPECT_EQ(kind.status, 2);
    EXPECT_EQ(kind.err,
              "ray-bundle-render: invalid value 'halton' for --directions\n"
              "Try 'ray-bundle-render --help'.\n");
    EXPECT_NE(help.out.find("--directions KIND"), std::string::npos);
    ProgramResult none = runProgram(kRenderer, {}, dir);
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err,
              "ray-bundle-render: no scene file given\n"
              "Try 'ray-bundle-render --help'.\n");
    ProgramResult obj = runProgram(kRenderer, {"chair.obj", "-qn20"}, dir);
    EXPECT_EQ(obj.status, 2);
    EXPECT_EQ(obj.err,
              "ray-bundle-render: chair.obj is an OBJ model, not a scene file: convert it first "
              "with obj2sce (obj2sce chair.obj -o chair.sce)\n"
              "Try 'ray-bundle-render --help'.\n");
    ProgramResult version = runProgram(kRenderer, {"--version"}, dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("ray-bundle-render ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.back(), '\n');
}

TEST(Renderer, MissingSceneKeepsTheProgramsMessageAndStatus) {
    ProgramResult r = runProgram(kRenderer, {"missing.sce", "-n", "1"}, makeTempDir());
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.err.find("\nFile missing.sce cannot be opened!\n"), std::string::npos);
}

TEST(Renderer, GlowingCubeImagesShowTheAnalyticRadiance) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kGlowingCube);
    ProgramResult r = runProgram(kRenderer,
                                 {sceneFile, "-q", "-n", "300", "--linear", "-o", dir + "/c.png",
                                  "--hdr", dir + "/c.exr", "--size", "64x48"},
                                 dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    int width = 0, height = 0;
    std::vector<unsigned char> pixels = readPng(dir + "/c.png", &width, &height);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    for (unsigned char v : pixels) EXPECT_NEAR(v, kCubeRadiance * 255, 0.06 * kCubeRadiance * 255);

    ImfInputFile* exr = ImfOpenInputFile((dir + "/c.exr").c_str());
    ASSERT_NE(exr, nullptr);
    std::vector<ImfRgba> hdr(64 * 48);
    ImfInputSetFrameBuffer(exr, hdr.data(), 1, 64);
    ImfInputReadPixels(exr, 0, 47);
    ImfCloseInputFile(exr);
    for (const ImfRgba& p : hdr)
        for (ImfHalf h : {p.r, p.g, p.b})
            EXPECT_NEAR(ImfHalfToFloat(h), kCubeRadiance, 0.06 * kCubeRadiance);
}

TEST(Renderer, PatchAndConvergenceTables) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kGlowingCube);
    ProgramResult r = runProgram(kRenderer,
                                 {sceneFile, "-q", "-n", "200", "--patches", dir + "/p.csv",
                                  "--convergence", dir + "/c.csv"},
                                 dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream table(readFile(dir + "/p.csv"));
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line,
              "serial,material,center_x,center_y,center_z,normal_x,normal_y,normal_z,area,"
              "red,green,blue");
    for (const char* negativeZero : {",-0,", ",-0\n"})
        EXPECT_EQ(readFile(dir + "/p.csv").find(negativeZero), std::string::npos);
    int rows = 0;
    while (std::getline(table, line)) {
        std::istringstream row(line);
        std::string serial, material, field;
        std::getline(row, serial, ',');
        std::getline(row, material, ',');
        EXPECT_EQ(std::stoi(serial), rows);
        EXPECT_EQ(material, "glow");
        std::vector<double> v;
        while (std::getline(row, field, ',')) v.push_back(std::stod(field));
        ASSERT_EQ(v.size(), 10u);
        EXPECT_DOUBLE_EQ(std::fabs(v[3]) + std::fabs(v[4]) + std::fabs(v[5]), 1.0);
        EXPECT_DOUBLE_EQ(v[6], 100.0 / 32);  // a face of 10 x 10 in 32 patches
        ++rows;
    }
    EXPECT_EQ(rows, 192);

    std::istringstream log(readFile(dir + "/c.csv"));
    std::getline(log, line);
    EXPECT_EQ(line, "iteration,seconds,mean_radiance,relative_change,relative_rms_change");
    std::vector<int> iterations;
    std::vector<double> rmsChange;
    while (std::getline(log, line)) {
        iterations.push_back(std::stoi(line));
        std::string last = line.substr(line.rfind(',') + 1);
        rmsChange.push_back(last.empty() ? -1.0 : std::stod(last));
    }
    EXPECT_EQ(iterations, (std::vector<int>{20, 40, 60, 80, 100, 120, 140, 160, 180, 200}));
    EXPECT_EQ(rmsChange[0], -1.0);  // nothing to compare the first row with
    EXPECT_LT(rmsChange.back(), rmsChange[1] / 3) << "the estimate settles";
}

// With either kind of directions; the sobol directions and a seed give
// other numbers than the default.
TEST(Renderer, RunsGiveIdenticalFilesForAnyNumberOfThreads) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLitScene);
    for (std::string kind : {"random", "sobol"})
        for (const char* threads : {"1", "3"}) {
            std::string out = dir + "/" + kind + threads;
            std::vector<std::string> args = {sceneFile,   "-q",        "-n", "40",
                                             "--threads", threads,     "-o", out + ".png",
                                             "--patches", out + ".csv"};
            if (kind == "sobol") args.insert(args.end(), {"--directions", "sobol", "--seed", "3"});
            ASSERT_EQ(runProgram(kRenderer, args, dir).status, 0) << kind;
        }
    for (std::string kind : {"random", "sobol"}) {
        EXPECT_EQ(readFile(dir + "/" + kind + "1.png"), readFile(dir + "/" + kind + "3.png"));
        EXPECT_EQ(readFile(dir + "/" + kind + "1.csv"), readFile(dir + "/" + kind + "3.csv"));
    }
    EXPECT_NE(readFile(dir + "/random1.csv"), readFile(dir + "/sobol1.csv"));
}

TEST(Renderer, SameNumbersAsTheWindowProgramsCodePath) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLitScene);
    ASSERT_EQ(
        runProgram(kRenderer, {sceneFile, "-q", "-n", "100", "--patches", dir + "/r.csv"}, dir)
            .status,
        0);
    // The defaults given: the same.
    ASSERT_EQ(runProgram(kRenderer,
                         {sceneFile, "-q", "-n", "100", "--directions", "random", "--seed", "0",
                          "--patches", dir + "/d.csv"},
                         dir)
                  .status,
              0);
    EXPECT_EQ(readFile(dir + "/r.csv"), readFile(dir + "/d.csv"));

    OffscreenContext context;
    if (!context.create(560, 560)) SKIP_WITHOUT_GL_CONTEXT("no offscreen OpenGL context");
    auto s = std::make_unique<Scene>();
    s->hasGLContext = true;  // preview and item buffer, as in the window
    muteRunLog(true);
    s->prepareRun(sceneFile.c_str(), "");
    s->iterate(100);
    muteRunLog(false);
    std::string error;
    ASSERT_TRUE(writePatchTable(dir + "/w.csv", *s, error)) << error;
    EXPECT_EQ(readFile(dir + "/r.csv"), readFile(dir + "/w.csv"));
}

TEST(Renderer, DefaultPngIsTheExposedSrgbEncodedImage) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLitScene);
    ProgramResult r = runProgram(kRenderer,
                                 {sceneFile, "-q", "-n", "40", "-o", dir + "/d.png", "--hdr",
                                  dir + "/d.exr", "--size", "96x64"},
                                 dir);
    ASSERT_EQ(r.status, 0) << r.err;
    Exr hdr = readExr(dir + "/d.exr");
    std::vector<unsigned char> png = readPng(dir + "/d.png");
    ASSERT_EQ(png.size(), hdr.rgb.size());
    // The 99th percentile of the luminance of the lit pixels goes to 0.9.
    std::vector<double> lit;
    for (size_t i = 0; i < hdr.rgb.size(); i += 3) {
        double y = 0.2126 * hdr.rgb[i] + 0.7152 * hdr.rgb[i + 1] + 0.0722 * hdr.rgb[i + 2];
        if (y > 0) lit.push_back(y);
    }
    // Lamps seen directly, 10 times the 90th percentile or more, do not count.
    std::sort(lit.begin(), lit.end());
    double lamps = 10 * lit[static_cast<size_t>(std::ceil(0.9 * lit.size())) - 1];
    lit.erase(std::lower_bound(lit.begin(), lit.end(), lamps), lit.end());
    double exposure = 0.9 / lit[static_cast<size_t>(std::ceil(0.99 * lit.size())) - 1];
    double expected = 0.0, written = 0.0;
    for (size_t i = 0; i < png.size(); ++i) {
        double v = std::min(1.0, exposure * hdr.rgb[i]);
        expected += 255 * (v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055);
        written += png[i];
    }
    EXPECT_NEAR(written / expected, 1.0, 0.02);
    EXPECT_GT(written / png.size(), 60) << "the picture is not dark";
}

TEST(Renderer, AWideImageShowsASquareLampSquare) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLamp);
    ProgramResult r = runProgram(
        kRenderer, {sceneFile, "-qn", "2", "--hdr", dir + "/w.exr", "--size", "128x64"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<int> box = litBox(readExr(dir + "/w.exr"));
    double side = 0.4 * 64;  // pixels, across and down
    EXPECT_NEAR(box[2] - box[0], side, 1.0);
    EXPECT_NEAR(box[3] - box[1], side, 1.0);
    EXPECT_NEAR(box[0] + box[2], 128, 1.0);  // centred
    EXPECT_NEAR(box[1] + box[3], 64, 1.0);
}

TEST(Renderer, CameraOptionsMoveTheLampWhereTheProjectionSays) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLamp);
    const Vector eye(30, 20, -80), target(5, 0, 0), up(0, 1, 0);
    const double fov = 30, width = 96, height = 64;
    ProgramResult r =
        runProgram(kRenderer,
                   {sceneFile, "-qn2", "--hdr", dir + "/c.exr", "--size", "96x64", "--eye",
                    "30,20,-80", "--look-at=5,0,0", "--up", "0,1,0", "--fov", "30"},
                   dir);
    ASSERT_EQ(r.status, 0) << r.err;
    // A pinhole camera: the corners' pixel box.
    Vector f = normalized(target - eye), s = normalized(cross(f, up)), u = cross(s, f);
    double t = std::tan(fov / 2 * 3.14159265358979323846 / 180);
    std::vector<double> box = {1e9, 1e9, -1e9, -1e9};
    for (Vector corner :
         {Vector(-10, -10, 0), Vector(-10, 10, 0), Vector(10, 10, 0), Vector(10, -10, 0)}) {
        Vector d = corner - eye;
        double x = (dot(d, s) / dot(d, f) / (t * width / height) + 1) / 2 * width;
        double y = (1 - dot(d, u) / dot(d, f) / t) / 2 * height;
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    }
    std::vector<int> seen = litBox(readExr(dir + "/c.exr"));
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(seen[k], box[k], 1.0) << "edge " << k;

    ProgramResult none = runProgram(kRenderer, {sceneFile, "-q", "--look-at", "0,0,-100"}, dir);
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err,
              "ray-bundle-render: --look-at 0,0,-100 is the eye itself: the camera has no "
              "direction\n");
}

TEST(Renderer, ProgressWithoutATerminalIsOneLinePerReport) {
    std::string dir = makeTempDir();
    sceneIn(dir, kLitScene);
    ProgramResult r = runProgram(kRenderer, {"scene.sce", "-n", "3", "--patches", "p.csv"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(maskSeconds(r.err),
              "Loading scene.sce ... 81 patches, T s\n"
              "First shot ... T s\n"
              "iteration = 1, time = T seconds\n"
              "iteration = 3, time = T seconds\n"
              "Done: 3 iterations in T s; wrote p.csv\n");
}

TEST(Renderer, PointLightsLightTheFloorBesideTooManyEmittersForTheFirstShot) {
    std::string dir = makeTempDir();
    std::vector<FloorPatch> floors[2];
    for (int run = 0; run < 2; ++run) {
        writeFile(dir + "/scene.sce", pointLightScene(run == 0 ? 24 : 26));  // 26: no first shot
        ProgramResult r =
            runProgram(kRenderer, {"scene.sce", "-q", "-n", "20", "--patches", "p.csv"}, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        floors[run] = floorPatches(readFile(dir + "/p.csv"));
    }
    ASSERT_EQ(floors[0].size(), 800u);
    ASSERT_EQ(floors[1].size(), 800u);
    for (size_t i = 0; i < floors[0].size(); ++i)
        EXPECT_NEAR(floors[1][i].radiance, floors[0][i].radiance, 1e-6 * floors[0][i].radiance);

    // The light reflected by the 8 x 8 cells under the light: albedo / π
    // times power / π times the solid angle of the square [-40, 40]² seen from
    // 50 above its centre, 4 atan(a² / (h √(h² + 2a²))).
    const double kPi = 3.141592653589793;
    double flux = 0.0;
    for (const FloorPatch& p : floors[1])
        if (std::fabs(p.x) < 40 && std::fabs(p.z) < 40) flux += p.radiance * p.area;
    double solidAngle = 4 * std::atan(1600.0 / (50 * std::sqrt(2500.0 + 3200.0)));
    EXPECT_NEAR(flux, 0.5 / kPi * 1000 / kPi * solidAngle, 0.01 * flux);
}
