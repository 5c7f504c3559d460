// The converter's command line.
#include "importer/obj2sce_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

TEST(Obj2sceOptions, DefaultsValuesAndMistakes) {
    auto parse = [](std::vector<std::string> args, Obj2sceOptions& o, std::string& error) {
        args.insert(args.begin(), "obj2sce");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        return parseObj2sceOptions(static_cast<int>(argv.size()), argv.data(), o, error);
    };
    Obj2sceOptions o;
    std::string error;
    ASSERT_TRUE(parse({"m.obj"}, o, error)) << error;
    EXPECT_EQ(o.objFile, "m.obj");
    EXPECT_EQ(o.up, Vector(0, 1, 0));
    EXPECT_EQ(o.fov, 45.0);
    EXPECT_EQ(o.tessellate, 4.0);
    EXPECT_FALSE(o.hasEye || o.hasLookAt || o.hasSky || o.hasLight || o.swapYZ);

    Obj2sceOptions p;
    ASSERT_TRUE(parse(
        {"--eye",   "0",   "-5",        "10",    "m.obj", "-o", "m.sce",    "--look-at",    "1",
         "2",       "3",   "--up",      "0",     "0",     "1",  "--fov=60", "--tessellate", "8",
         "--scale", "0.5", "--swap-yz", "--sky", "1",     "1",  "1",        "--light",      "100",
         "0",       "9",   "0"},
        p, error))
        << error;
    EXPECT_EQ(p.eye, Vector(0, -5, 10));
    EXPECT_EQ(p.outputFile, "m.sce");
    EXPECT_EQ(p.lookAt, Vector(1, 2, 3));
    EXPECT_EQ(p.fov, 60.0);
    EXPECT_EQ(p.tessellate, 8.0);
    EXPECT_EQ(p.scale, 0.5);
    EXPECT_TRUE(p.swapYZ && p.hasSky && p.hasLight);
    EXPECT_EQ(p.lightPower, 100.0);
    EXPECT_EQ(p.lightPosition, Vector(0, 9, 0));

    const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes = {
        {{}, "no model given"},
        {{"a.obj", "b.obj"}, "more than one model: a.obj and b.obj"},
        {{"a.obj", "--eye", "1", "2"}, "option --eye needs 3 values"},
        {{"a.obj", "--eye=1,2,3"}, "option --eye takes 3 values: write them after it"},
        {{"a.obj", "--fov", "180"}, "--fov must lie between 0 and 180 degrees"},
        {{"a.obj", "--tessellate", "0"}, "--tessellate must be above 0 and at most 100"},
        {{"a.obj", "--scale", "-1"},
         "--scale must be positive (a negative one would turn the faces inside out)"},
        {{"a.obj", "--up", "0", "0", "0"}, "--up must not be the zero vector"},
        {{"a.obj", "--light", "1", "2", "x", "3"}, "invalid value 'x' for --light"},
        {{"a.obj", "--swap-yz=1"}, "option --swap-yz takes no value"},
        {{"a.obj", "--frobnicate"}, "unknown option --frobnicate"},
    };
    for (const auto& m : mistakes) {
        Obj2sceOptions q;
        EXPECT_FALSE(parse(m.first, q, error));
        EXPECT_EQ(error, m.second);
    }
    Obj2sceOptions h;
    EXPECT_TRUE(parse({"--help"}, h, error));
    EXPECT_TRUE(h.help);
}
