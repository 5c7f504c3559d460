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
    EXPECT_FALSE(o.linear);  // sRGB and automatic exposure
    EXPECT_FALSE(o.fixedExposure);
    EXPECT_FALSE(o.camera.any());
    EXPECT_EQ(o.creaseDegrees, 30.0);
    EXPECT_TRUE(o.antialias);
    EXPECT_EQ(o.threads, 0);  // all cores
    EXPECT_EQ(o.directions, DirectionSequence::Kind::Random);
    EXPECT_EQ(o.seed, 0u);  // the window program's numbers

    RenderOptions p;
    ASSERT_TRUE(parse({"-n",
                       "100",
                       "room.sce",
                       "-o",
                       "a.png",
                       "--hdr=a.exr",
                       "--patches",
                       "p.csv",
                       "--convergence",
                       "c.csv",
                       "--mesh",
                       "m.glb",
                       "--size",
                       "800x600",
                       "--exposure",
                       "2.5",
                       "--linear",
                       "-q",
                       "--eye",
                       "1,2,-3.5",
                       "--look-at=0,0,0",
                       "--up",
                       "0,0,1",
                       "--fov",
                       "40",
                       "--crease",
                       "180",
                       "--no-antialias",
                       "--threads",
                       "3",
                       "--directions",
                       "sobol",
                       "--seed=4294967295"},
                      p, error))
        << error;
    EXPECT_EQ(p.iterations, 100);
    EXPECT_EQ(p.pngFile, "a.png");
    EXPECT_EQ(p.exrFile, "a.exr");
    EXPECT_EQ(p.patchFile, "p.csv");
    EXPECT_EQ(p.convergenceFile, "c.csv");
    EXPECT_EQ(p.meshFile, "m.glb");
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 600);
    EXPECT_EQ(p.exposure, 2.5);
    EXPECT_TRUE(p.fixedExposure);
    EXPECT_TRUE(p.linear);
    EXPECT_TRUE(p.quiet);
    EXPECT_TRUE(p.camera.hasEye && p.camera.hasLookAt && p.camera.hasUp && p.camera.hasFov);
    EXPECT_EQ(p.camera.eye, Vector(1, 2, -3.5));
    EXPECT_EQ(p.camera.up, Vector(0, 0, 1));
    EXPECT_EQ(p.camera.fovDegrees, 40.0);
    EXPECT_EQ(p.creaseDegrees, 180.0);
    EXPECT_FALSE(p.antialias);
    EXPECT_EQ(p.threads, 3);
    EXPECT_EQ(p.directions, DirectionSequence::Kind::Sobol);
    EXPECT_EQ(p.seed, 4294967295u);

    RenderOptions t;
    ASSERT_TRUE(parse({"x.sce", "--time=90.5"}, t, error));
    EXPECT_EQ(t.timeBudget, 90.5);

    RenderOptions q;
    ASSERT_TRUE(parse({"--size", "1024", "x.sce", "--linear", "--srgb"}, q, error));
    EXPECT_EQ(q.width, 1024);
    EXPECT_EQ(q.height, 1024);
    EXPECT_FALSE(q.linear);  // --srgb, the default, undoes an earlier --linear
}

TEST(RenderOptions, ShortOptionsCombineAndDoubleDashEndsOptions) {
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"-qn", "20", "-oa.png", "room.sce"}, o, error)) << error;
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(o.iterations, 20);
    EXPECT_EQ(o.pngFile, "a.png");
    RenderOptions p;
    ASSERT_TRUE(parse({"-n20", "-o", "-qn.png", "--", "-room.sce"}, p, error)) << error;
    EXPECT_EQ(p.iterations, 20);
    EXPECT_EQ(p.pngFile, "-qn.png");  // a value is never split
    EXPECT_FALSE(p.quiet);
    EXPECT_EQ(p.sceneFile, "-room.sce");
    RenderOptions v;
    ASSERT_TRUE(parse({"--version"}, v, error));
    EXPECT_TRUE(v.version);
}

TEST(RenderOptions, MistakesAreRefusedWithAMessage) {
    const std::vector<std::vector<std::string>> bad = {
        {},                                   // no scene
        {"a.sce", "b.sce"},                   // two scenes
        {"a.sce", "--bogus"},                 // unknown option
        {"a.sce", "-n"},                      // missing value
        {"a.sce", "-n", "-5"},                // negative count
        {"a.sce", "-n", "12x"},               // trailing junk
        {"a.sce", "-n", "99999999999999"},    // out of range
        {"a.sce", "--size", "0x10"},          // empty image
        {"a.sce", "--size", "10x"},           // missing height
        {"a.sce", "--exposure", "inf"},       // not finite
        {"a.sce", "-o", ""},                  // empty name
        {"a.sce", "--time", "0"},             // no time at all
        {"a.sce", "-n", "0"},                 // a black image
        {"a.sce", "-qx"},                     // unknown letter in a group
        {"a.sce", "--eye", "1,2"},            // two coordinates
        {"a.sce", "--up", "1,2,3,4"},         // four
        {"a.sce", "--look-at", "1,nan,3"},    // not finite
        {"a.sce", "--fov", "180"},            // no perspective
        {"a.sce", "--fov", "0"},              // nothing seen
        {"model.OBJ"},                        // not a scene
        {"a.sce", "--crease", "181"},         // beyond a half turn
        {"a.sce", "--crease=-1"},             // negative angle
        {"a.sce", "--threads", "0"},          // no thread
        {"a.sce", "--directions", "halton"},  // no such kind
        {"a.sce", "--seed", "4294967296"},    // beyond 32 bits
        {"a.sce", "--seed", "-1"},            // negative
        {"a.sce", "--seed", "+1"},            // digits only
    };
    for (const auto& args : bad) {
        RenderOptions o;
        std::string error;
        EXPECT_FALSE(parse(args, o, error)) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(error.empty());
    }

    // Two get an explanation.
    RenderOptions o;
    std::string error;
    EXPECT_FALSE(parse({"models/chair.obj"}, o, error));
    EXPECT_EQ(error,
              "models/chair.obj is an OBJ model, not a scene file: convert it first with obj2sce "
              "(obj2sce models/chair.obj -o models/chair.sce)");
    RenderOptions p;
    EXPECT_FALSE(parse({"a.sce", "-n0"}, p, error));
    EXPECT_EQ(error,
              "-n 0 computes nothing and would write a black image: give 1 or more iterations");
}

TEST(RenderOptions, HelpNeedsNoScene) {
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--help"}, o, error));
    EXPECT_TRUE(o.help);
    EXPECT_NE(renderUsage().find("--iterations N"), std::string::npos);
}
