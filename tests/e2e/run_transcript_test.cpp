// Whole runs of the window program: the exact console transcript of loading,
// the first shot and the iterations, and of the grammar's failures.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_runner.h"
#include "tests/support/transcript.h"

using namespace transcript;

namespace {
const std::string kProgram = RAY_BUNDLE_PROGRAM;

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
