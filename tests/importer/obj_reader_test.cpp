// What the OBJ and MTL readers make of their statements.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/obj2sce_conversion.h"

TEST(ObjReader, CubeGroupsAndMaterials) {
    writeTempFile("cube.mtl", kCubeMtl);
    ObjModel model;
    ObjReader reader;
    ASSERT_TRUE(reader.read(writeTempFile("model.obj", kCubeObj), model)) << reader.error();
    EXPECT_TRUE(reader.warnings().empty());
    ASSERT_EQ(model.positions.size(), 12u);
    EXPECT_EQ(model.positions[6], Vector(10, 10, 10));
    ASSERT_EQ(model.groups.size(), 3u);
    EXPECT_EQ(model.groups[0].name, "cube");
    EXPECT_EQ(model.groups[0].materialName, "red");
    EXPECT_EQ(model.groups[1].materialName, "shiny");
    EXPECT_EQ(model.groups[2].name, "lamp");
    EXPECT_EQ(model.groups[0].faces.size(), 3u);
    EXPECT_EQ(model.groups[0].faces[0].corners, (std::vector<int>{0, 3, 2, 1}));

    const ObjModel::Material& red = model.materials[model.groups[0].material];
    EXPECT_EQ(red.name, "red");
    EXPECT_EQ(red.diffuse[0], 0.9);
    EXPECT_EQ(red.diffuse[2], 0.1);
    EXPECT_FALSE(red.emits());
    const ObjModel::Material& shiny = model.materials[model.groups[1].material];
    EXPECT_EQ(shiny.diffuse[1], 0.5);  // one value is a grey
    EXPECT_EQ(shiny.specular[2], 0.6);
    EXPECT_EQ(shiny.exponent, 50.0);
    EXPECT_TRUE(model.materials[model.groups[2].material].emits());
}

TEST(ObjReader, SameGroupAndMaterialAgainJoinsTheirFaces) {
    ObjModel model;
    ObjReader reader;
    std::string path = writeTempFile("model.obj",
                                     "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                     "g a\nf 1 2 3\ng b\nf 1 2 3\ng a\nf 3 2 1\n");
    ASSERT_TRUE(reader.read(path, model)) << reader.error();
    ASSERT_EQ(model.groups.size(), 2u);
    EXPECT_EQ(model.groups[0].faces.size(), 2u);
    EXPECT_EQ(model.groups[1].name, "b");
    // Without a usemtl the faces take a grey default, without a warning.
    EXPECT_TRUE(reader.warnings().empty());
    EXPECT_EQ(model.materials[model.groups[0].material].diffuse[1], 0.7);
}

TEST(ObjReader, IndexFormsAndNegativeIndices) {
    ObjModel model;
    ObjReader reader;
    std::string path = writeTempFile("model.obj",
                                     "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                     "vt 0 0\nvn 0 0 1\ns off\nl 1 2\np 3\n"
                                     "f 1/1/1 2/1/1 3/1/1\n"
                                     "f 1//1 3//1 4//1\n"
                                     "f 2/1 3/1 4/1\n"
                                     "f -4 -3 -1\n"
                                     "v 5 5 5\n"
                                     "f -1/1/1 -5//1 -4\n");
    ASSERT_TRUE(reader.read(path, model)) << reader.error();
    EXPECT_TRUE(reader.warnings().empty());
    const std::vector<ObjModel::Face>& faces = model.groups.at(0).faces;
    ASSERT_EQ(faces.size(), 5u);
    EXPECT_EQ(faces[0].corners, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(faces[1].corners, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(faces[2].corners, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(faces[3].corners, (std::vector<int>{0, 1, 3}));
    // Relative indices count back from the vertices read before the face.
    EXPECT_EQ(faces[4].corners, (std::vector<int>{4, 0, 1}));
}

TEST(ObjReader, ErrorsNameFileAndLine) {
    struct Case {
        const char* obj;
        const char* message;
    };
    const Case cases[] = {
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\n\nf 1 2 4\n", ":5: vertex index 4 is outside the 3 vertices"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 -4\n", ":4: vertex index -4 is outside the 3 vertices"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", ":4: vertex index 0: indices count from 1"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3 x\n", ":4: 'x' is not a vertex index"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 1.5\n", ":4: '1.5' is not a vertex index"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf /1 2 3\n", ":4: '/1' is not a vertex index"},
        {"# comment\nv 0 zero 0\n", ":2: 'zero' is not a number"},
        {"v 0 0 nan\n", ":1: 'nan' is not a number"},
        {"v 0 0\n", ":1: a number is missing after '0'"},
        {"v 0 0 0\nv 1 0 0\nf 1 2\n", ":3: a face needs at least 3 vertices, this one has 2"},
        {"v 0 0 0 \\\n  1\nv 1 1\n", ":3: a number is missing after '1'"},
    };
    for (const Case& c : cases) {
        ObjModel model;
        ObjReader reader;
        std::string path = writeTempFile("bad.obj", c.obj);
        EXPECT_FALSE(reader.read(path, model)) << c.obj;
        EXPECT_EQ(reader.error().rfind(path + c.message, 0), 0u) << reader.error();
    }
}

TEST(ObjReader, MaterialLibraryErrorsAndWarnings) {
    writeTempFile("bad.mtl", "newmtl a\nKd 1 1 1\n\nnewmtl b\nKd 0.5 spectral 0.5\n");
    ObjModel model;
    ObjReader reader;
    EXPECT_FALSE(reader.read(writeTempFile("model.obj", "mtllib bad.mtl\n"), model));
    EXPECT_EQ(reader.error(), tempDirectory() + "/bad.mtl:5: 'spectral' is not a number");

    // A missing library and an undefined material only warn; the faces stay grey.
    ObjModel grey;
    ObjReader warned;
    std::string path = writeTempFile("model.obj",
                                     "mtllib missing.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                     "usemtl nothing\nf 1 2 3\nusemtl nothing\nf 1 2 3\n"
                                     "curv 0 1 1 2\n");
    ASSERT_TRUE(warned.read(path, grey)) << warned.error();
    ASSERT_EQ(warned.warnings().size(), 3u);
    EXPECT_EQ(warned.warnings()[0], path + ":1: material library " + tempDirectory() +
                                        "/missing.mtl cannot be opened; its materials stay grey");
    EXPECT_EQ(warned.warnings()[1], path + ":9: 'curv' is not supported and is skipped");
    EXPECT_EQ(warned.warnings()[2],
              path + ":5: material 'nothing' is not defined; it is written grey");
    EXPECT_EQ(grey.materials.at(grey.groups.at(0).material).diffuse[0], 0.7);
}

TEST(ObjReader, OnlyRegularFilesAreRead) {
    std::string dir = makeTempDir();
    ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0755), 0);
    for (const std::string& path : {dir + "/none.obj", dir + "/folder", std::string("/dev/zero")}) {
        ObjModel model;
        ObjReader reader;
        EXPECT_FALSE(reader.read(path, model));
        EXPECT_EQ(reader.error(),
                  path + (path == dir + "/none.obj" ? ": cannot be opened"
                                                    : ": cannot be opened: not a regular file"));
    }
    // A library that never ends is not read either: its materials stay grey.
    ObjModel model;
    ObjReader reader;
    std::string obj = dir + "/model.obj";
    writeFile(obj, "mtllib /dev/zero\n");
    ASSERT_TRUE(reader.read(obj, model)) << reader.error();
    EXPECT_EQ(
        reader.warnings(),
        std::vector<std::string>{
            obj + ":1: material library /dev/zero cannot be opened; its materials stay grey"});
}

TEST(ObjReader, HostileTextIsBoundedAndShownSafely) {
    // A byte-order mark is skipped; a statement may not grow beyond 1 MiB.
    ObjModel model;
    ObjReader bom, longLine, cut, escaped;
    std::string path = writeTempFile("bom.obj", "\xEF\xBB\xBFv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    ASSERT_TRUE(bom.read(path, model)) << bom.error();
    EXPECT_TRUE(bom.warnings().empty());
    path = writeTempFile("long.obj", "v 0 0 0\nv " + std::string(1 << 21, '1') + "\n");
    EXPECT_FALSE(longLine.read(path, model));
    EXPECT_EQ(longLine.error(), path + ":2: the line is longer than 1048576 bytes");

    // Quoted input is cut to 80 characters, and bytes that could steer a
    // terminal are escaped (UTF-8 text stays); after ten unsupported keywords
    // the rest are skipped silently.
    path = writeTempFile("cut.obj", "v 0 " + std::string(2000, 'x') + " 0\n");
    EXPECT_FALSE(cut.read(path, model));
    EXPECT_EQ(cut.error(), path + ":1: '" + std::string(80, 'x') + "...' is not a number");
    std::string hostile = "\x1b[2J\x9b\xc3\xa9t\xc2\x9b 1\n";
    for (int i = 0; i < 12; ++i) hostile += "k" + std::to_string(i) + "\n";
    path = writeTempFile("escape.obj", hostile);
    ObjModel empty;
    ASSERT_TRUE(escaped.read(path, empty)) << escaped.error();
    ASSERT_EQ(escaped.warnings().size(), 11u);
    EXPECT_EQ(escaped.warnings()[0],
              path + ":1: '\\x1b[2J\\x9b\xc3\xa9t\\xc2\\x9b' is not supported and is skipped");
    EXPECT_EQ(escaped.warnings()[10],
              path + ":11: further unsupported statements are skipped silently");
}

TEST(ObjReader, HundredThousandMaterialsAndNegativeValues) {
    // Materials are found by name in one step each: the first definition of
    // a name counts, the last of 100,000 is found as quickly as the first.
    std::string mtl;
    for (int i = 0; i < 100000; ++i) mtl += "newmtl m" + std::to_string(i) + "\nKd 0.5\n";
    mtl += "newmtl m99999\nKd 0.25\n";
    writeTempFile("many.mtl", mtl);
    ObjModel model;
    ObjReader reader;
    ASSERT_TRUE(reader.read(writeTempFile("model.obj",
                                          "mtllib many.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                          "usemtl m99999\nf 1 2 3\n"),
                            model))
        << reader.error();
    EXPECT_EQ(model.materials.size(), 100000u);
    EXPECT_EQ(model.groups.at(0).material, 99999);
    EXPECT_EQ(model.materials[99999].diffuse[0], 0.5);

    const std::pair<const char*, const char*> negatives[] = {{"Kd 0.5 -0.1 0.5", "Kd '-0.1'"},
                                                             {"Ks -1", "Ks '-1'"},
                                                             {"Ke 0 0 -2", "Ke '-2'"},
                                                             {"Ns -10", "Ns '-10'"}};
    for (const auto& n : negatives) {
        writeTempFile("negative.mtl", std::string("newmtl a\n") + n.first + "\n");
        ObjReader negative;
        EXPECT_FALSE(negative.read(writeTempFile("model.obj", "mtllib negative.mtl\n"), model));
        EXPECT_EQ(negative.error(),
                  tempDirectory() + "/negative.mtl:2: " + n.second + " is negative");
    }
}
