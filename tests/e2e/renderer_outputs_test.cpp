// What the headless renderer writes, and when: outputs are checked before
// the run, written without destroying what they name, and an interrupted or
// timed run still writes the outputs of the iterations it did.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/program_runner.h"

namespace {
const std::string kRenderer = RAY_BUNDLE_RENDERER;
const std::string kForever = "100000000";  // iterations no test waits for

// A floor under a point light.
const char* const kScene =
    "cmr view 0 60 -300 0 0 1 0 1 0 1 0.8 0.8 0 0 0 end\n"
    "nmdMtrl white lmbrtn spctrl 0 0.7 0 0.6 0 0.5 1 end end end\n"
    "pointlight 60000 0 90 0 end\n"
    "plnrMsh floor tessellate 4\n"
    "  vrtxPstn -100 0 -100 -100 0 100 100 0 100 100 0 -100 end\n"
    "  cmplxPly plygn 0 1 2 3 end end end\n";

std::set<std::string> filesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

bool isPng(const std::string& bytes) { return bytes.compare(0, 4, "\x89PNG") == 0; }
bool isExr(const std::string& bytes) { return bytes.compare(0, 4, "\x76\x2f\x31\x01") == 0; }

// Starts a long run and waits until its iterations (and signal handlers) are under way.
RunningProgram startIterating(const std::string& dir, const std::vector<std::string>& outputs) {
    std::vector<std::string> args = {"scene.sce", "-n", kForever};
    args.insert(args.end(), outputs.begin(), outputs.end());
    RunningProgram running = startProgram(kRenderer, args, dir);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (errorSoFar(running).find("iteration = 1,") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return running;
}

// The number K of "... after K of N iterations\n" at the end of `err`.
int iterationsDone(const std::string& err, const std::string& before) {
    size_t at = err.rfind(before);
    return at == std::string::npos ? -1 : std::stoi(err.substr(at + before.size()));
}

int lastConvergenceRow(const std::string& table) {
    size_t lastLine = table.rfind('\n', table.size() - 2);
    return std::stoi(table.substr(lastLine + 1));
}
}  // namespace

TEST(RendererOutputs, EveryFaultIsFoundBeforeTheRunAndNothingIsTouched) {
    std::string dir = makeTempDir();
    writeFile(dir + "/scene.sce", std::string(kScene) + "plnrMsh wall file body.inc end\n");
    writeFile(dir + "/body.inc", "vrtxPstn 0 0 0 0 50 0 50 50 0 end cmplxPly plygn 0 1 2 end end");
    writeFile(dir + "/t.csv", "kept");
    ASSERT_EQ(symlink("t.csv", (dir + "/link.csv").c_str()), 0);
    ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0755), 0);
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"--patches", "scene.sce"}, "--patches scene.sce is the input file scene.sce"},
        {{"--convergence", "body.inc"}, "--convergence body.inc is the input file body.inc"},
        {{"-o", "x.png", "--hdr", "x.png"}, "-o x.png and --hdr x.png are the same file"},
        {{"--patches", "t.csv", "--convergence", "link.csv"},
         "--patches t.csv and --convergence link.csv are the same file"},
        {{"-o", "-", "--patches", "-"}, "-o - and --patches - are the same file"},
        {{"-o", "image.tif"}, "cannot tell the image format of image.tif: name it .png or .exr"},
        {{"--hdr", "scene"}, "cannot tell the image format of scene: name it .png or .exr"},
        {{"--mesh", "lit.obj"},
         "cannot tell the mesh format of lit.obj: name it .glb, .gltf or .ply"},
        {{"--patches", "m.ply", "--mesh", "m.ply"},
         "--patches m.ply and --mesh m.ply are the same file"},
        {{"-o", "no/such/x.png"}, "cannot write no/such/x.png: No such file or directory"},
        {{"--patches", "folder"}, "cannot write folder: Is a directory"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"scene.sce", "-q", "-n", kForever};
        args.insert(args.end(), c.args.begin(), c.args.end());
        ProgramResult r = runProgram(kRenderer, args, dir, "", 60);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err, "ray-bundle-render: " + c.message + "\n");
    }
    EXPECT_EQ(readFile(dir + "/scene.sce").substr(0, 20), std::string(kScene).substr(0, 20));
    EXPECT_EQ(readFile(dir + "/t.csv"), "kept");
    EXPECT_EQ(filesIn(dir),
              (std::set<std::string>{"body.inc", "folder", "link.csv", "scene.sce", "t.csv"}));
}

TEST(RendererOutputs, FormatsComeFromTheNamesAndSpecialFilesAreWrittenThrough) {
    std::string dir = makeTempDir();
    writeFile(dir + "/scene.sce", kScene);
    writeFile(dir + "/target.csv", "old");
    ASSERT_EQ(symlink("target.csv", (dir + "/link.csv").c_str()), 0);
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0644), 0);
    std::string piped;
    std::thread reader([&] { piped = readFile(dir + "/pipe"); });
    ProgramResult r =
        runProgram(kRenderer,
                   {"scene.sce", "-q", "-n", "5", "--size", "8", "-o", "a.exr", "--hdr", "b.PNG",
                    "--patches", "pipe", "--convergence", "link.csv"},
                   dir);
    reader.join();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(isExr(readFile(dir + "/a.exr")));
    EXPECT_TRUE(isPng(readFile(dir + "/b.PNG")));
    EXPECT_EQ(piped.substr(0, 7), "serial,");
    EXPECT_EQ(readFile(dir + "/target.csv").substr(0, 10), "iteration,");
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.csv"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir + "/pipe"));

    ProgramResult out =
        runProgram(kRenderer, {"scene.sce", "-q", "-n", "5", "--size", "8", "-o", "-"}, dir);
    EXPECT_EQ(out.status, 0);
    EXPECT_TRUE(isPng(out.out));
    ProgramResult mesh = runProgram(
        kRenderer, {"scene.sce", "-q", "-n", "5", "--exposure", "1", "--mesh", "-"}, dir);
    EXPECT_EQ(mesh.status, 0);
    EXPECT_EQ(mesh.out.substr(0, 4), "glTF");
}

TEST(RendererOutputs, InterruptWritesTheOutputsOfTheIterationsDone) {
    std::string dir = makeTempDir();
    writeFile(dir + "/scene.sce", kScene);
    RunningProgram running = startIterating(
        dir, {"-o", "i.png", "--patches", "p.csv", "--convergence", "c.csv", "--mesh", "m.ply"});
    kill(running.pid, SIGINT);
    ProgramResult r = finishProgram(running, 60);
    EXPECT_EQ(r.status, 130);
    int done = iterationsDone(r.err, "ray-bundle-render: interrupted after ");
    EXPECT_GT(done, 0);
    std::string last = "ray-bundle-render: interrupted after " + std::to_string(done) + " of " +
                       kForever + " iterations\n";
    EXPECT_EQ(r.err.substr(r.err.size() - last.size()), last);
    EXPECT_TRUE(isPng(readFile(dir + "/i.png")));
    EXPECT_EQ(lastConvergenceRow(readFile(dir + "/c.csv")), done);
    EXPECT_NE(readFile(dir + "/p.csv").find("\n0,white,"), std::string::npos);
    EXPECT_EQ(readFile(dir + "/m.ply").substr(0, 4), "ply\n");

    // A second signal ends the program at once, here while it waits for a
    // reader of the pipe it is to write.
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0644), 0);
    running = startIterating(dir, {"-o", "j.png", "--patches", "pipe"});
    kill(running.pid, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (access((dir + "/j.png").c_str(), F_OK) != 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(running.pid, SIGTERM);
    ProgramResult second = finishProgram(running, 60);
    EXPECT_EQ(second.signal, SIGTERM);
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"c.csv", "i.png", "j.png", "m.ply", "p.csv",
                                                   "pipe", "scene.sce"}));
}

TEST(RendererOutputs, TimeBudgetEndsTheRunAndTheOutputsAreWritten) {
    std::string dir = makeTempDir();
    writeFile(dir + "/scene.sce", kScene);
    ProgramResult r = runProgram(
        kRenderer, {"scene.sce", "-n", kForever, "--time", "0.5", "--convergence", "c.csv"}, dir,
        "", 60);
    EXPECT_EQ(r.status, 0);
    int done = iterationsDone(r.err, "ray-bundle-render: the time budget ended the run after ");
    EXPECT_GT(done, 0);
    EXPECT_EQ(lastConvergenceRow(readFile(dir + "/c.csv")), done);
}
