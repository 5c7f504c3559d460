// The headless renderer run as a program: its outputs, statuses and messages,
// and that it computes the very numbers of the window program's code path.
#include <OpenEXR/ImfCRgbaFile.h>
#include <png.h>

#include <gtest/gtest.h>

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

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

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
    ProgramResult none = runProgram(kRenderer, {}, dir);
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err,
              "ray-bundle-render: no scene file given\n"
              "Try 'ray-bundle-render --help'.\n");
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
                                 {sceneFile, "-q", "-n", "300", "-o", dir + "/c.png", "--hdr",
                                  dir + "/c.exr", "--size", "64x48"},
                                 dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, (dir + "/c.png").c_str()));
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(png.width, 64u);
    EXPECT_EQ(png.height, 48u);
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
    ProgramResult r = runProgram(
        kRenderer,
        {sceneFile, "-q", "-n", "60", "--patches", dir + "/p.csv", "--convergence", dir + "/c.csv"},
        dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream table(readFile(dir + "/p.csv"));
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line,
              "serial,material,center_x,center_y,center_z,normal_x,normal_y,normal_z,area,"
              "radiance_0,radiance_1,radiance_2");
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
    EXPECT_EQ(line, "iteration,seconds,mean_radiance,relative_change");
    std::vector<int> iterations;
    while (std::getline(log, line)) iterations.push_back(std::stoi(line));
    EXPECT_EQ(iterations, (std::vector<int>{20, 40, 60}));
}

TEST(Renderer, TwoRunsGiveIdenticalFiles) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLitScene);
    for (const char* run : {"1", "2"})
        ASSERT_EQ(runProgram(kRenderer,
                             {sceneFile, "-q", "-n", "40", "-o", dir + "/" + run + ".png",
                              "--patches", dir + "/" + run + ".csv"},
                             dir)
                      .status,
                  0);
    EXPECT_EQ(readFile(dir + "/1.png"), readFile(dir + "/2.png"));
    EXPECT_EQ(readFile(dir + "/1.csv"), readFile(dir + "/2.csv"));
}

TEST(Renderer, SameNumbersAsTheWindowProgramsCodePath) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLitScene);
    ASSERT_EQ(
        runProgram(kRenderer, {sceneFile, "-q", "-n", "100", "--patches", dir + "/r.csv"}, dir)
            .status,
        0);

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
