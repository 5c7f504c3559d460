// Whole runs of the window program: the exact console transcript of loading,
// the first shot and the iterations, and of the grammar's failures.
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_runner.h"
#include "tests/support/transcript.h"

using namespace transcript;

namespace {
const std::string kProgram = RAY_BUNDLE_PROGRAM;
const std::string kRenderer = RAY_BUNDLE_RENDERER;

ProgramResult runScene(const std::string& text) {
    std::string dir = makeTempDir();
    writeFile(dir + "/scene.sce", text);
    return runProgram(kProgram, {"scene.sce"}, dir);
}

const std::string kLoading = kSeparator + "Loading file scene.sce\n";

// The syntax report for an expected "end" at a line and column.
std::string endExpected(int line, int column, const std::string& found) {
    return "\nERROR : end expected  IN FILE: scene.sce IN LINE: " + std::to_string(line) +
           " LOCATION: " + std::to_string(column) + "\n\t but " + found + " has been encountered\n";
}
}  // namespace

TEST(RunTranscript, LitSceneWithFirstShot) {
    ProgramResult r = runScene(
        "cmr view 0 60 -300 0 0 1 0 1 0 1 0.8 0.8 0 0 0 end\n"
        "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end\n"
        "  spctrl 0 5 0 5 0 5 end end end\n"
        "nmdMtrl white lmbrtn spctrl 0 0.7 0 0.7 0 0.7 1 end end end\n"
        "pointlight 60000 0 90 0 end\n"
        "plnrMsh lamp mtrlNm lamp end tessellate 1\n"
        "  vrtxPstn -10 80 -10 10 80 -10 10 80 10 -10 80 10 end\n"
        "  cmplxPly plygn 0 1 2 3 end end end\n"
        "plnrMsh floor mtrlNm white end tessellate 8\n"
        "  vrtxPstn -100 0 -100 -100 0 100 100 0 100 100 0 -100 end\n"
        "  cmplxPly plygn 0 1 2 3 end end end\n");
    std::string firstShot = "0, 1\r0, 101\r1, 1\r1, 101\r";  // two lamp patches, 130 receivers
    EXPECT_EQ(r.out, kBanner);
    EXPECT_EQ(maskTimes(r.err), kLoading + "Object= 1   Material= 2   Vector= 0   Poly= 0\r" +
                                    "Object= 2   Material= 2   Vector= 4   Poly= 2\r" + "\n\n" +
                                    kSeparator + "Number of patches: 130\n" + "Initializing\n" +
                                    kSeparator + "Loading reference:\n" + kSeparator +
                                    "First-shot \n" + firstShot + progress(0) + rendering(4000));
    EXPECT_EQ(r.status, 1);
}

TEST(RunTranscript, ManyEmittersSkipTheFirstShot) {
    // Sixteen emitting quads of two patches each: 32 surfaces, more than the
    // light table's 25, so emission travels with the bundles. The point light
    // is still shot, without a word.
    std::string scene =
        "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0 0 0 0 0 1 end end\n"
        "  spctrl 0 1 0 1 0 1 end end end\n"
        "pointlight 100 0.5 0.5 5 end\n"
        "plnrMsh lamps tessellate 1 vrtxPstn 0 0 0 1 0 0 1 1 0 0 1 0 end\n"
        "  cmplxPly";
    for (int i = 0; i < 16; ++i) scene += " plygn 0 1 2 3 end";
    scene += " end end\n";
    ProgramResult r = runScene(scene);
    EXPECT_EQ(maskTimes(r.err), kLoading + "Object= 1   Material= 1   Vector= 0   Poly= 0\r" +
                                    "\n\n" + kSeparator + "Number of patches: 32\n" +
                                    "Initializing\n" + kSeparator + "Loading reference:\n" +
                                    rendering(4000));
    EXPECT_EQ(r.status, 1);
}

TEST(RunTranscript, EndOfFileInsideAStatementCompletesIt) {
    ProgramResult r = runScene("plnrMsh cut vrtxPstn 1 2 3 4 5");
    EXPECT_EQ(maskTimes(r.err), kLoading + "Object= 1   Material= 0   Vector= 0   Poly= 0\r" +
                                    "\n\n" + kSeparator + "Number of patches: 0\n" +
                                    "Initializing\n" + kSeparator + "Loading reference:\n" +
                                    kSeparator + "First-shot \n" + progress(0) + rendering(4000));
    EXPECT_EQ(r.status, 1);
}

TEST(RunTranscript, TokensThatCannotStartAStatement) {
    struct Case {
        std::string text;
        std::string report;
    };
    const Case cases[] = {
        {"end", ""},  // a stray "end" is consumed without a report
        {"sclr", endExpected(1, 5, "sclr")},
        {"\n  42", endExpected(2, 5, "42")},
        {"(", endExpected(1, 2, "(")},
        {"tessellate 2", endExpected(1, 11, "tessellate")},
        {"% a comment\nplnrmsh x", endExpected(2, 8, "plnrmsh")},
    };
    for (const Case& c : cases) {
        ProgramResult r = runScene(c.text);
        EXPECT_EQ(r.out, kBanner);
        EXPECT_EQ(r.err, kLoading + c.report + "\nUnknown token\n") << c.text;
        EXPECT_EQ(r.status, 255) << c.text;
    }
}

TEST(RunTranscript, TwentySixthLightOverflowsTheTable) {
    std::string scene;
    for (int i = 0; i < 26; ++i) scene += "pointlight 1 0 " + std::to_string(i) + " 0 end\n";
    ProgramResult r = runScene(scene);
    EXPECT_EQ(r.err, kLoading + "Light table overflow\n");
    EXPECT_EQ(r.status, 1);
}

TEST(RunTranscript, UndefinedMaterial) {
    ProgramResult r = runScene("plnrMsh x mtrlNm stone end vrtxPstn end cmplxPly end end\n");
    EXPECT_EQ(r.err, kLoading + "Object= 1   Material= 0   Vector= 0   Poly= 0\r" +
                         "stone material doesn't exist\n");
    EXPECT_EQ(r.status, 1);
}

TEST(RunTranscript, SceneThatNothingLightsIsWarnedAbout) {
    ProgramResult r = runScene(
        "plnrMsh floor vrtxPstn -100 0 -100 -100 0 100 100 0 100 100 0 -100 end\n"
        "  cmplxPly plygn 0 1 2 3 end end end\n");
    EXPECT_EQ(maskTimes(r.err), kLoading + "Object= 1   Material= 0   Vector= 0   Poly= 0\r" +
                                    "\n\n" +
                                    "Warning: nothing lights the scene: it has no emitting "
                                    "surface, no point light and a black sky\n" +
                                    kSeparator + "Number of patches: 2\n" + "Initializing\n" +
                                    kSeparator + "Loading reference:\n" + kSeparator +
                                    "First-shot \n" + progress(0) + rendering(4000));
    EXPECT_EQ(r.status, 1);
}

TEST(RunTranscript, DivergingSolutionEndsTheRunWithoutAnImage) {
    // A closed cube that reflects five times what it receives, and an unused
    // material with a negative exponent: both are warned about when read.
    const std::string scene =
        "cmr inside 0 0 0  0 0 1  0 1 0  1 1 1 0 0 0 end\n"
        "nmdMtrl bent lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 0.2 -10 end end end\n"
        "nmdMtrl glow pLmnr lmbrtn spctrl 0 5 0 5 0 5 1 end end\n"
        "  spctrl 0 0.3 0 0.3 0 0.3 end end end\n"
        "plnrMsh cube tessellate 2\n"
        "  vrtxPstn -5 -5 -5 -5 -5 5 -5 5 -5 -5 5 5 5 -5 -5 5 -5 5 5 5 -5 5 5 5 end\n"
        "  cmplxPly plygn 0 2 3 1 end plygn 5 7 6 4 end plygn 1 5 4 0 end\n"
        "    plygn 2 6 7 3 end plygn 0 4 6 2 end plygn 3 7 5 1 end end\n"
        "end\n";
    const std::string diverges =
        "\nThe solution diverges: the radiance of material glow is not finite after iteration "
        "261\n";
    std::string iterations = kSeparator + "Rendering. Number of iterations: 4000\n";
    for (int i = 1; i <= 261; i += 20) iterations += progress(i);
    ProgramResult r = runScene(scene);
    EXPECT_EQ(maskTimes(r.err),
              kLoading +
                  "Warning: material bent has a negative value IN FILE: scene.sce IN LINE: 2\n" +
                  "Warning: material glow reflects more light than it receives IN FILE: "
                  "scene.sce IN LINE: 3\n" +
                  "Object= 1   Material= 2   Vector= 0   Poly= 0\r" + "\n\n" + kSeparator +
                  "Number of patches: 48\n" + "Initializing\n" + kSeparator +
                  "Loading reference:\n" + iterations + diverges);
    EXPECT_EQ(r.status, 4);

    // The renderer stops at the same iteration and writes nothing.
    std::string dir = makeTempDir();
    writeFile(dir + "/scene.sce", scene);
    ProgramResult h = runProgram(
        kRenderer, {"scene.sce", "-q", "-o", "i.png", "--hdr", "i.exr", "--patches", "p.csv"}, dir);
    EXPECT_EQ(h.status, 4);
    EXPECT_EQ(h.err.substr(h.err.size() - diverges.size()), diverges);
    EXPECT_NE(access((dir + "/scene.sce").c_str(), F_OK), -1);
    for (const char* output : {"/i.png", "/i.exr", "/p.csv"})
        EXPECT_EQ(access((dir + output).c_str(), F_OK), -1) << output;
}
