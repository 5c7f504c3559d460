// The lit mesh of a bundled scene: a glTF binary that the Khronos validator
// accepts, exposed as the run's PNG is, whether or not the PNG is asked for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/program_runner.h"

namespace {
const std::string kRenderer = RAY_BUNDLE_RENDERER;
const std::string kScene = std::string(RAY_BUNDLE_SCENES) + "/cornell-box.sce";

// The exposure the summary gives a file: "NAME (exposure E)".
std::string exposureOf(const std::string& err, const std::string& name) {
    std::string before = name + " (exposure ";
    size_t at = err.find(before);
    if (at == std::string::npos) return "none";
    at += before.size();
    return err.substr(at, err.find(')', at) - at);
}

bool required() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && ci[0] != '\0';
}

// The validator's report on `file` ("errors: N, warnings: N, ..." and a line
// per error and warning), or "" with `why` set when it cannot be run.
std::string validate(const std::string& file, std::string& why) {
    std::ifstream package(std::string(GLTF_VALIDATOR) + "/package.json");
    if (!package) {
        why = "the glTF validator is not installed in " + std::string(GLTF_VALIDATOR) +
              " (tools/setup.sh installs it with npm)";
        return "";
    }
    ProgramResult r = runProgram(
        "/bin/sh",
        {"-c", "exec node \"$0\" \"$1\" \"$2\"", VALIDATE_GLTF_SCRIPT, GLTF_VALIDATOR, file}, ".",
        "", 120);
    if (r.status != 0) why = "node could not run the validator: " + r.err;
    return r.status == 0 ? r.out : "";
}
}  // namespace

TEST(RendererMesh, BundledSceneValidatesWithTheImagesExposure) {
    std::string dir = makeTempDir();
    ProgramResult alone = runProgram(
        kRenderer, {kScene, "-q", "-n", "20", "--size", "64", "--mesh", "alone.glb"}, dir);
    ASSERT_EQ(alone.status, 0) << alone.err;
    ProgramResult both = runProgram(
        kRenderer, {kScene, "-n", "20", "--size", "64", "-o", "both.png", "--mesh", "both.glb"},
        dir);
    ASSERT_EQ(both.status, 0) << both.err;
    // Without a PNG the mesh gets the exposure the PNG would have had.
    EXPECT_EQ(readFile(dir + "/alone.glb"), readFile(dir + "/both.glb"));
    EXPECT_NE(exposureOf(both.err, "both.png"), "none") << both.err;
    EXPECT_EQ(exposureOf(both.err, "both.glb"), exposureOf(both.err, "both.png"));

    std::string why;
    std::string report = validate(dir + "/alone.glb", why);
    if (report.empty() && required()) FAIL() << why << " (required when CI is set)";
    if (report.empty()) GTEST_SKIP() << why;
    EXPECT_EQ(report.rfind("errors: 0, ", 0), 0u) << report;
}
