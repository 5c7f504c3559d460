// Bad scene input end to end: every kind of bad file ends the window program
// with its message and status, or loads as the language defines, never a crash.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_runner.h"
#include "tests/support/transcript.h"

using namespace transcript;
using namespace std::string_literals;

namespace {
const std::string kProgram = RAY_BUNDLE_PROGRAM;

std::string loading(const std::string& name) { return kSeparator + "Loading file " + name + "\n"; }

std::string cannotOpen(const std::string& name) {
    return "\nFile " + name + " cannot be opened!\n";
}

// The status line of the first object statement of a scene.
const std::string kFirstObject = "Object= 1   Material= 0   Vector= 0   Poly= 0\r";

// Everything a scene without patches prints after its file has been read.
std::string emptySceneRun() {
    return "\n\n" + kSeparator + "Number of patches: 0\n" + "Initializing\n" + kSeparator +
           "Loading reference:\n" + kSeparator + "First-shot \n" + progress(0) + rendering(4000);
}

ProgramResult runScene(const std::string& contents, const std::string& name = "scene.sce") {
    std::string dir = makeTempDir();
    writeFile(dir + "/" + name, contents);
    return runProgram(kProgram, {name}, dir);
}
}  // namespace

TEST(SceneErrors, NumberTooLongForADoubleEndsTheRun) {
    std::string digits = "1" + std::string(400, '0');
    ProgramResult r =
        runScene("% far away\ncmr c 0 0 -10\n 0 0 " + digits + " 0 1 0 1 1 1 0 0 0 end\n");
    EXPECT_EQ(r.out, kBanner);
    EXPECT_EQ(r.err, loading("scene.sce") + "\nNumber " + digits.substr(0, 40) +
                         "... is not a finite value IN FILE: scene.sce IN LINE: 3\n");
    EXPECT_EQ(r.status, 255);
}

TEST(SceneErrors, NameThatConvertsToNaNEndsTheRun) {
    ProgramResult r = runScene("sky 0.5 nan 0 end");
    EXPECT_EQ(r.err, loading("scene.sce") +
                         "\nNumber nan is not a finite value IN FILE: scene.sce IN LINE: 1\n");
    EXPECT_EQ(r.status, 255);
}

TEST(SceneErrors, DirectoryDeviceOrEmptyNameCannotBeOpenedAsScene) {
    std::string dir = makeTempDir();
    ASSERT_EQ(mkdir((dir + "/room.sce").c_str(), 0755), 0);
    for (const std::string name : {"room.sce", "/dev/zero", ""}) {
        ProgramResult r = runProgram(kProgram, {name}, dir);
        EXPECT_EQ(r.out, kBanner);
        EXPECT_EQ(r.err, loading(name) + cannotOpen(name)) << name;
        EXPECT_EQ(r.status, 255) << name;
    }
}

TEST(SceneErrors, DirectoryDeviceOrEmptyNameCannotBeOpenedAsIncludedFile) {
    std::string dir = makeTempDir();
    ASSERT_EQ(mkdir((dir + "/body").c_str(), 0755), 0);
    for (const std::string name : {"body", "/dev/zero", "missing.inc", ""}) {
        writeFile(dir + "/scene.sce", "plnrMsh x file \"" + name + "\" end\n");
        ProgramResult r = runProgram(kProgram, {"scene.sce"}, dir);
        EXPECT_EQ(r.err, loading("scene.sce") + kFirstObject + cannotOpen(name)) << name;
        EXPECT_EQ(r.status, 255) << name;
    }
}

TEST(SceneErrors, ImageFileIsAnUnknownToken) {
    // The first bytes of a PNG image: only "PNG" and "IHDR" can be read as tokens.
    ProgramResult r = runScene("\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, "image.png");
    EXPECT_EQ(r.err, loading("image.png") +
                         "\nERROR : end expected  IN FILE: image.png IN LINE: 1 LOCATION: 5\n"
                         "\t but PNG has been encountered\n\nUnknown token\n");
    EXPECT_EQ(r.status, 255);
}

TEST(SceneErrors, NulAndHighBytesAreSkippedAndTheLastLineNeedsNoLineFeed) {
    ProgramResult r = runScene("sky\0 0.25 \xff\x80 0.5\x01 0.75 end"s);
    EXPECT_EQ(maskTimes(r.err), loading("scene.sce") + emptySceneRun());
    EXPECT_EQ(r.status, 1);
}

TEST(SceneErrors, SceneTooLargeForTheMemoryEndsWithOutOfMemory) {
#if RAY_BUNDLE_SANITIZED
    GTEST_SKIP() << "the sanitizer's allocator reports failed allocations itself";
#endif
    // 200 squares at the highest tessellation level: 4 million patches, over
    // 2 GB, in an address space of 1 GB.
    std::string scene =
        "plnrMsh big tessellate 100 vrtxPstn 0 0 0 1 0 0 1 1 0 0 1 0 end cmplxPly\n";
    for (int i = 0; i < 200; ++i) scene += "plygn 0 1 2 3 end\n";
    std::string dir = makeTempDir();
    writeFile(dir + "/big.sce", scene + "end end\n");
    ProgramResult r =
        runProgram("/bin/sh", {"-c", "ulimit -v 1000000 && exec " + kProgram + " big.sce"}, dir);
    EXPECT_EQ(r.out, kBanner);
    EXPECT_EQ(r.err, loading("big.sce") + kFirstObject +
                         "\nOut of memory: the scene is too large for this machine\n");
    EXPECT_EQ(r.status, 255);
}

TEST(SceneErrors, PolygonIndexBeyondTheIntRangeIsOutsideTheVertexList) {
    // The index is clamped to the int range, then checked like any other.
    ProgramResult r = runScene(
        "plnrMsh x vrtxPstn 0 0 0 1 0 0 0 1 0 end cmplxPly\n"
        "plygn 0 1 99999999999999999999 end end end\n");
    EXPECT_EQ(r.err, loading("scene.sce") + kFirstObject +
                         "\nPolygon index 2147483647 is outside the vertex list of object 1 in "
                         "scene.sce\n");
    EXPECT_EQ(r.status, 255);
}
