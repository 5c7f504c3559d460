// The converter as a program, and the scene reader on what it writes.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/scene.h"
#include "tests/support/gltf_builder.h"
#include "tests/support/obj2sce_conversion.h"
#include "tests/support/program_runner.h"

// The converted cube read by the program's own scene reader.
TEST(Obj2sceScene, ConvertedCubeLoads) {
    writeTempFile("cube.mtl", kCubeMtl);
    Obj2sceOptions options;
    options.hasSky = true;
    options.sky = Vector(0.1, 0.2, 0.3);
    Conversion c = convert(kCubeObj, options);
    ASSERT_TRUE(c.prepared) << c.error;
    std::string path = writeTempFile("cube.sce", c.scene);
    auto loaded = std::make_unique<Scene>();
    testing::internal::CaptureStderr();
    loaded->readSceneFile(path.c_str());
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(contains(messages, "ERROR")) << messages;
    EXPECT_FALSE(contains(messages, "Warning")) << messages;

    ASSERT_EQ(loaded->materialCount, 3);
    EXPECT_STREQ(loaded->materials[0].name.c_str(), "lamp");
    EXPECT_EQ(loaded->materials[0].emission[2], 4.0);  // red is channel 2
    EXPECT_EQ(loaded->materials[1].reflectance[0], 0.1);
    EXPECT_EQ(loaded->materials[1].reflectance[2], 0.9);
    EXPECT_EQ(loaded->materials[2].specularScale, 0.4);
    EXPECT_EQ(loaded->skyRadiance[0], 0.3);
    // The lamp's quadrilateral at level 1 gives the two leading patches, and they emit.
    ASSERT_GT(loaded->patchCount(), 2);
    EXPECT_TRUE(loaded->patches[0]->material->emitting);
    EXPECT_TRUE(loaded->patches[1]->material->emitting);
    EXPECT_FALSE(loaded->patches[2]->material->emitting);
    EXPECT_EQ(loaded->camera.viewDirection, Vector(0, 0, -1));
}

TEST(Obj2sceProgram, StatusesAndMessages) {
    const std::string program = OBJ2SCE_PROGRAM;
    std::string dir = makeTempDir();
    writeFile(dir + "/tri.obj", "v 0 0 0\nv 0.05 0 0\nv 0 0.05 0\nf 1 2 3\n");
    writeFile(dir + "/bad.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");

    ProgramResult ok = runProgram(program, {"tri.obj", "-o", "tri.sce"}, dir);
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "");
    EXPECT_EQ(ok.err,
              "obj2sce: warning: 1 polygons have corners closer than 0.1 on every axis, "
              "which the program merges into one vertex: enlarge the model with --scale\n");

    ProgramResult toStdout = runProgram(program, {"tri.obj", "--scale", "10"}, dir);
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.err, "");
    EXPECT_TRUE(contains(toStdout.out, "plygn 0 1 2 end"));

    ProgramResult bad = runProgram(program, {"bad.obj"}, dir);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err,
              "obj2sce: bad.obj:4: vertex index 9 is outside the 3 vertices read so far\n");

    ProgramResult missing = runProgram(program, {"none.obj"}, dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "obj2sce: none.obj: cannot be opened\n");

    ProgramResult unwritable = runProgram(program, {"tri.obj", "-o", "no/such/dir.sce"}, dir);
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "obj2sce: cannot write no/such/dir.sce: No such file or directory\n");

    ProgramResult usage = runProgram(program, {"--fov"}, dir);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err, "obj2sce: option --fov needs 1 value\nTry 'obj2sce --help'.\n");

    ProgramResult help = runProgram(program, {"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, obj2sceUsage());
}

TEST(Obj2sceProgram, HostileInputsAndOutputsDestroyNothing) {
    const std::string program = OBJ2SCE_PROGRAM;
    std::string dir = makeTempDir();
    const std::string tri = "v 0 0 0\nv 10 0 0\nv 0 10 0\nf 1 2 3\n";
    writeFile(dir + "/empty.obj", "");
    ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0755), 0);
    std::string binary;
    unsigned state = 1;
    for (int i = 0; i < 65536; ++i)
        binary += static_cast<char>((state = state * 214013 + 2531011) >> 24);
    writeFile(dir + "/binary.obj", binary);
    writeFile(dir + "/self.obj", tri);
    writeFile(dir + "/lit.mtl", "newmtl lit\nKe 1 1 1\n");
    writeFile(dir + "/lit.obj", "mtllib lit.mtl\nusemtl lit\n" + tri);
    writeFile(dir + "/old.sce", "kept");
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"empty.obj", "-o", "old.sce"}, "obj2sce: the model has no faces\n"},
        {{"folder", "-o", "old.sce"}, "obj2sce: folder: cannot be opened: not a regular file\n"},
        {{"self.obj", "-o", "self.obj"},
         "obj2sce: the output self.obj is the input file self.obj\n"},
        {{"lit.obj", "-o", "lit.mtl"}, "obj2sce: the output lit.mtl is the input file lit.mtl\n"},
        {{"self.obj", "-o", "/dev/full"},
         "obj2sce: cannot write /dev/full: No space left on device\n"},
    };
    for (const Case& c : cases) {
        ProgramResult r = runProgram(program, c.args, dir);
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(readFile(dir + "/old.sce"), "kept");
    EXPECT_EQ(readFile(dir + "/self.obj"), tri);
    EXPECT_EQ(readFile(dir + "/lit.mtl"), "newmtl lit\nKe 1 1 1\n");

    // Random bytes end with a failure, and what the messages quote of them
    // cannot steer the terminal.
    ProgramResult r = runProgram(program, {"binary.obj", "-o", "old.sce"}, dir);
    EXPECT_EQ(r.status, 1);
    for (char c : r.err) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << r.err;
    EXPECT_EQ(readFile(dir + "/old.sce"), "kept");
}

TEST(ImportProgram, GltfStatusesAndMessagesUnderBothNames) {
    const std::string program = IMPORT_PROGRAM;
    std::string dir = makeTempDir();
    GltfBuilder b;
    std::string glb = b.glb(boxWithLamp(b));
    writeFile(dir + "/box.glb", glb);
    writeFile(dir + "/cut.glb", glb.substr(0, 100));
    GltfBuilder lines;
    int points = lines.points({{0, 0, 0}, {1, 0, 0}});
    writeFile(dir + "/lines.gltf",
              lines.gltf(R"("meshes": [{"primitives": [{"attributes": {"POSITION": )" +
                         std::to_string(points) + R"(}, "mode": 1}]}], "nodes": [{"mesh": 0}])"));

    ProgramResult ok = runProgram(program, {"box.glb", "-o", "box.sce"}, dir);
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "");
    EXPECT_EQ(ok.err, "");
    std::ifstream written(dir + "/box.sce");
    std::stringstream text;
    text << written.rdbuf();
    EXPECT_TRUE(contains(text.str(), "% 1 metre of the model is 100 units\ncmr camera\n"));

    ProgramResult warned = runProgram(program, {"lines.gltf"}, dir);
    EXPECT_EQ(warned.status, 1);
    EXPECT_EQ(warned.err,
              "ray-bundle-import: warning: lines.gltf: 1 primitives of lines are skipped: only "
              "triangles are converted\nray-bundle-import: the model has no faces\n");

    const std::string cutShort = "cut.glb: is cut short: its header gives " +
                                 std::to_string(glb.size()) + " bytes, the file holds 100\n";
    ProgramResult cut = runProgram(program, {"cut.glb", "-o", "cut.sce"}, dir);
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.out, "");
    EXPECT_EQ(cut.err, "ray-bundle-import: " + cutShort);
    EXPECT_FALSE(std::ifstream(dir + "/cut.sce"));  // nothing is written
    // obj2sce is the same program and speaks under its own name.
    ProgramResult old = runProgram(OBJ2SCE_PROGRAM, {"cut.glb"}, dir);
    EXPECT_EQ(old.status, 1);
    EXPECT_EQ(old.err, "obj2sce: " + cutShort);

    ProgramResult usage = runProgram(program, {"--fov"}, dir);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err,
              "ray-bundle-import: option --fov needs 1 value\nTry 'ray-bundle-import --help'.\n");
    ProgramResult help = runProgram(program, {"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, obj2sceUsage("ray-bundle-import"));
    EXPECT_EQ(help.out.rfind("Usage: ray-bundle-import MODEL [options]\n", 0), 0u);
}
