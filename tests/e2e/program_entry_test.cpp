// The window program's console front end, run under the test's X server.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program_runner.h"
#include "tests/support/transcript.h"

using namespace transcript;

namespace {
const std::string kProgram = RAY_BUNDLE_PROGRAM;

std::string cannotOpen(const std::string& name) {
    return kSeparator + "Loading file " + name + "\n" + "\nFile " + name + " cannot be opened!\n";
}

// Everything an empty scene prints after its file has been read.
std::string emptySceneRun(const std::string& reference) {
    return "\n\n" + kSeparator + "Number of patches: 0\n" + "Initializing\n" + kSeparator +
           "Loading reference:" + reference + "\n" + kSeparator + "First-shot \n" + progress(0) +
           rendering(4000);
}

std::string promptOutput(const std::string& listing) {
    return kBanner + "Available scene files\n---------------------\n" + listing +
           "---------------------\nInput scene file: ";
}
}  // namespace

TEST(ProgramEntry, MissingFileNamedOnCommandLine) {
    ProgramResult r = runProgram(kProgram, {"room"}, makeTempDir());
    EXPECT_EQ(r.out, kBanner);
    EXPECT_EQ(r.err, cannotOpen("room"));
    EXPECT_EQ(r.status, 255);
}

TEST(ProgramEntry, CommandLineNameGetsNoExtensionAndRunEndsWithStatusOne) {
    std::string dir = makeTempDir();
    writeFile(dir + "/room", "% nothing but a comment\n");
    ProgramResult r = runProgram(kProgram, {"room"}, dir);
    EXPECT_EQ(r.out, kBanner);
    EXPECT_EQ(maskTimes(r.err), kSeparator + "Loading file room\n" + emptySceneRun(""));
    EXPECT_EQ(r.status, 1);
}

TEST(ProgramEntry, SecondArgumentIsEchoedAsReferenceAndFurtherOnesIgnored) {
    std::string dir = makeTempDir();
    writeFile(dir + "/a.sce", "");
    ProgramResult r = runProgram(kProgram, {"a.sce", "b.ref", "c"}, dir);
    EXPECT_EQ(r.out, kBanner);
    EXPECT_EQ(maskTimes(r.err), kSeparator + "Loading file a.sce\n" + emptySceneRun("b.ref"));
    EXPECT_EQ(r.status, 1);
}

TEST(ProgramEntry, TypedNameWithoutDotGetsSceExtension) {
    std::string dir = makeTempDir();
    writeFile(dir + "/room.sce", "");
    ProgramResult r = runProgram(kProgram, {}, dir, "  room\n");
    EXPECT_EQ(r.out, promptOutput("room.sce\n"));
    EXPECT_EQ(maskTimes(r.err), kSeparator + "Loading file room.sce\n" + emptySceneRun(""));
    EXPECT_EQ(r.status, 1);
}

TEST(ProgramEntry, TypedNameWithDotIsOpenedUnchanged) {
    std::string dir = makeTempDir();
    writeFile(dir + "/x.sce", "");
    ProgramResult r = runProgram(kProgram, {}, dir, "./room other words\n");
    EXPECT_EQ(r.out, promptOutput("x.sce\n"));
    EXPECT_EQ(r.err, cannotOpen("./room"));
    EXPECT_EQ(r.status, 255);
}

TEST(ProgramEntry, EndOfInputAtPromptOpensDotSce) {
    std::string dir = makeTempDir();
    writeFile(dir + "/x.sce", "");
    ProgramResult r = runProgram(kProgram, {}, dir, "");
    EXPECT_EQ(r.out, promptOutput("x.sce\n"));
    EXPECT_EQ(r.err, cannotOpen(".sce"));
    EXPECT_EQ(r.status, 255);
}

TEST(ProgramEntry, LongTypedNameIsCutAt999Characters) {
    std::string dir = makeTempDir();
    writeFile(dir + "/x.sce", "");
    std::string word(1500, 'n');
    ProgramResult r = runProgram(kProgram, {}, dir, word + "\n");
    EXPECT_EQ(r.err, cannotOpen(std::string(999, 'n') + ".sce"));
    EXPECT_EQ(r.status, 255);
}

TEST(ProgramEntry, FailedListingIsIgnored) {
    std::string dir = makeTempDir();  // no scene files: the listing complains
    ProgramResult r = runProgram(kProgram, {}, dir, "missing.sce\n");
    EXPECT_EQ(r.out, promptOutput(""));
    EXPECT_NE(r.err.find("\nFile missing.sce cannot be opened!\n"), std::string::npos);
    EXPECT_EQ(r.status, 255);
}
