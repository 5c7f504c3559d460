#include "render/render_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
bool parse(std::vector<std::string> args, RenderOptions& o, std::string& error) {
    args.insert(args.begin(), "ray-bundle-render");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return parseRenderOptions(static_cast<int>(argv.size()), argv.data(), o, error);
}
}  // namespace

TEST(RenderOptions, DefaultsAndEveryOption) {
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"room.sce"}, o, error)) << error;
    EXPECT_EQ(o.sceneFile, "room.sce");
    EXPECT_EQ(o.iterations, 4000);
    EXPECT_EQ(o.width, 560);
    EXPECT_EQ(o.height, 560);
    EXPECT_EQ(o.threads, 0);  // all cores

    RenderOptions p;
    ASSERT_TRUE(
        parse({"-n", "100", "room.sce", "-o", "a.png", "--hdr=a.exr", "--patches", "p.csv",
               "--convergence", "c.csv", "--size", "800x600", "--exposure", "2.5", "--srgb", "-q", "--threads", "3"},
              p, error))
        << error;
    EXPECT_EQ(p.iterations, 100);
    EXPECT_EQ(p.pngFile, "a.png");
    EXPECT_EQ(p.exrFile, "a.exr");
    EXPECT_EQ(p.patchFile, "p.csv");
    EXPECT_EQ(p.convergenceFile, "c.csv");
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 600);
    EXPECT_EQ(p.exposure, 2.5);
    EXPECT_TRUE(p.srgb);
    EXPECT_TRUE(p.quiet);
    EXPECT_EQ(p.threads, 3);

    RenderOptions q;
    ASSERT_TRUE(parse({"--size", "1024", "x.sce"}, q, error));
    EXPECT_EQ(q.width, 1024);
    EXPECT_EQ(q.height, 1024);
}

TEST(RenderOptions, MistakesAreRefusedWithAMessage) {
    const std::vector<std::vector<std::string>> bad = {
        {},                                 // no scene
        {"a.sce", "b.sce"},                 // two scenes
        {"a.sce", "--bogus"},               // unknown option
        {"a.sce", "-n"},                    // missing value
        {"a.sce", "-n", "-5"},              // negative count
        {"a.sce", "-n", "12x"},             // trailing junk
        {"a.sce", "-n", "99999999999999"},  // out of range
        {"a.sce", "--size", "0x10"},        // empty image
        {"a.sce", "--size", "10x"},         // missing height
        {"a.sce", "--exposure", "inf"},     // not finite
        {"a.sce", "-o", ""},                // empty name
        {"a.sce", "--threads", "0"},        // no thread
    };
    for (const auto& args : bad) {
        RenderOptions o;
        std::string error;
        EXPECT_FALSE(parse(args, o, error)) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(error.empty());
    }
}

TEST(RenderOptions, HelpNeedsNoScene) {
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--help"}, o, error));
    EXPECT_TRUE(o.help);
    EXPECT_NE(renderUsage().find("--iterations N"), std::string::npos);
}
