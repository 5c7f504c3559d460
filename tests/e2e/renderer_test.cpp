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

TEST(Renderer, UnwritableOutputFailsBeforeTheRunAndLeavesNothing) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kGlowingCube);
    ProgramResult r =
        runProgram(kRenderer, {sceneFile, "-q", "-o", dir + "/no/such/dir/x.png"}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "ray-bundle-render: cannot write " + dir +
                         "/no/such/dir/x.png: No such file or directory\n");
    ProgramResult q = runProgram(kRenderer, {sceneFile, "-q", "--patches", dir}, dir);
    EXPECT_EQ(q.status, 2);  // a directory cannot be replaced by a file
    EXPECT_EQ(readFile(dir + "/scene.sce"), kGlowingCube);
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

TEST(Renderer, RunsGiveIdenticalFilesForAnyNumberOfThreads) {
    std::string dir = makeTempDir();
    std::string sceneFile = sceneIn(dir, kLitScene);
    for (const char* threads : {"1", "3"})
        ASSERT_EQ(
            runProgram(kRenderer,
                       {sceneFile, "-q", "-n", "40", "--threads", threads, "-o",
                        dir + "/" + threads + ".png", "--patches", dir + "/" + threads + ".csv"},
                       dir)
                .status,
            0);
    EXPECT_EQ(readFile(dir + "/1.png"), readFile(dir + "/3.png"));
    EXPECT_EQ(readFile(dir + "/1.csv"), readFile(dir + "/3.csv"));
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
