#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/scene.h"
#include "scene_language/token_reader.h"
#include "tests/support/temp_files.h"

namespace {

// Reads `contents` as a scene file into `scene` and returns what was printed
// on standard error.
std::string readScene(Scene& scene, const std::string& contents,
                      const std::string& name = "scene.sce") {
    const std::string path = writeTempFile(name, contents);
    testing::internal::CaptureStderr();
    scene.readSceneFile(path.c_str());
    return testing::internal::GetCapturedStderr();
}

// Reads `contents` in a fresh scene; for the death tests.
void readFreshScene(const std::string& path) {
    auto scene = std::make_unique<Scene>();
    scene->readSceneFile(path.c_str());
}

// The report of a token found where "end" was expected at the top level.
std::string endExpected(const std::string& path, int line, int location, const std::string& found) {
    return "\nERROR : end expected  IN FILE: " + path + " IN LINE: " + std::to_string(line) +
           " LOCATION: " + std::to_string(location) + "\n\t but " + found +
           " has been encountered\n";
}

void expectSceneAsConstructed(const Scene& s) {
    const Camera camera;
    EXPECT_EQ(s.camera.eye, camera.eye);
    EXPECT_EQ(s.camera.viewDirection, camera.viewDirection);
    EXPECT_EQ(s.camera.windowWidth, camera.windowWidth);
    EXPECT_EQ(s.lightCount, 0);
    EXPECT_EQ(s.materialCount, 0);
    EXPECT_EQ(s.objectNumber, 0);
    EXPECT_EQ(s.patchCount(), 0);
    EXPECT_EQ(s.skyRadiance[0], 0.0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(s.modelMatrix.m[i], Matrix::identity().m[i]);
}

}  // namespace

// Top-level grammar

TEST(SceneReader, EmptyFileLeavesTheSceneAsConstructed) {
    auto s = std::make_unique<Scene>();
    EXPECT_EQ(readScene(*s, ""), "\n\n");
    expectSceneAsConstructed(*s);
}

TEST(SceneReader, FileOfCommentsOnly) {
    auto s = std::make_unique<Scene>();
    EXPECT_EQ(readScene(*s, "% a scene\n\n   % with nothing in it\n% at all"), "\n\n");
    expectSceneAsConstructed(*s);
}

TEST(SceneReader, StatementsInAnyOrder) {
    auto s = std::make_unique<Scene>();
    std::string errors = readScene(*s,
                                   "sky 1 2 3 end\n"
                                   "pointlight 10 0 1 0 end sky 4 5 6 end\n"
                                   "transform 1 0 0 0 0 1 0 0 0 0 1 0 0 3 0 1\n"
                                   "cmr c 1 2 3 0 0 1 0 1 0 1 2 2 0 0 0 end\n"
                                   "pointlight 20 0 2 0 end\n");
    EXPECT_EQ(errors, "\n\n");
    EXPECT_EQ(s->lightCount, 2);
    EXPECT_EQ(s->lights[1].power[0], 20.0);
    EXPECT_EQ(s->skyRadiance[2], 6.0);
    EXPECT_EQ(s->modelMatrix.transformPoint(Vector(0, 0, 0)), Vector(0, 3, 0));
    EXPECT_EQ(s->camera.eye, Vector(1, 2, 3));
}

TEST(SceneReader, CompleteSceneFile) {
    // A white floor of 200 by 200 at tessellation 8 with window width 0.8:
    // n = min(8, truncate(8 · 400 / 0.8)) = 8, so 2 · 8² = 128 patches.
    auto s = std::make_unique<Scene>();
    std::string errors =
        readScene(*s,
                  "% a white floor lit by one point light\n"
                  "cmr view\n  0 60 -300   0 0 1   0 1 0\n  1  0.8 0.8  0 0  0\nend\n"
                  "nmdMtrl white lmbrtn spctrl 0 0.7 0 0.7 0 0.7 1 end end end\n"
                  "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end\n"
                  "  spctrl 0 10 0 10 0 10 end end\nend\n"
                  "pointlight 800 0 90 0 end\nsky 0 0 0 end\n"
                  "plnrMsh floor mtrlNm white end tessellate 8\n"
                  "  vrtxPstn -100 0 -100  100 0 -100  100 0 100  -100 0 100 end\n"
                  "  cmplxPly\n    plygn 0 1 2 3 end\n  end\nend\n");
    EXPECT_EQ(errors.substr(errors.size() - 2), "\n\n");
    EXPECT_EQ(s->camera.eye, Vector(0, 60, -300));
    EXPECT_EQ(s->camera.windowWidth, 0.8);
    EXPECT_EQ(s->materialCount, 2);
    EXPECT_EQ(s->lightCount, 1);
    EXPECT_EQ(s->lights[0].position, Vector(0, 90, 0));
    EXPECT_EQ(s->objectNumber, 1);
    EXPECT_EQ(s->patchCount(), 128);
}

TEST(SceneReader, EndOfFileInsideAStatementCompletesWithZeros) {
    auto s = std::make_unique<Scene>();
    EXPECT_EQ(readScene(*s, "cmr c 1 2 3 0 0"), "\n\n");
    EXPECT_EQ(s->camera.eye, Vector(1, 2, 3));
    EXPECT_EQ(s->camera.viewDirection, Vector(0, 0, 1));  // (0, 0, 0) has no direction
    EXPECT_EQ(s->camera.up, Vector(0, 0, 0));
    EXPECT_EQ(s->camera.windowWidth, 0.0);
    EXPECT_EQ(s->camera.cameraSpare, 0.0);

    EXPECT_EQ(readScene(*s, "pointlight 5 1"), "\n\n");
    EXPECT_EQ(s->lightCount, 1);
    EXPECT_EQ(s->lights[0].power[1], 5.0);
    EXPECT_EQ(s->lights[0].position, Vector(1, 0, 0));

    EXPECT_EQ(readScene(*s, "transform 2 0 0 0 0 3"), "\n\n");
    Matrix expected;  // all zero but the two numbers read
    expected(0, 0) = 2.0;
    expected(1, 1) = 3.0;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(s->modelMatrix.m[i], expected.m[i]) << i;
}

using SceneReaderDeathTest = ::testing::Test;

TEST(SceneReaderDeathTest, StrayEndEndsWithoutAReport) {
    const std::string path = writeTempFile("stray_end.sce", "end sky 1 1 1 end");
    EXPECT_EXIT(readFreshScene(path), ::testing::ExitedWithCode(255),
                ::testing::Eq(std::string("\nUnknown token\n")));
}

TEST(SceneReaderDeathTest, TokensThatStartNoStatement) {
    const struct {
        const char* contents;
        int location;
        const char* found;
    } cases[] = {
        {"sclr", 5, "sclr"},
        {"  12.5 end", 7, "12.5"},
        {"(", 2, "("},
        {")", 2, ")"},
        {",", 2, ","},
        {":", 2, ":"},
        {"tessellate 2", 11, "tessellate"},
        {"plnrmsh x", 8, "plnrmsh"},
        {"\"cmr\"", 6, "cmr"},
        {"vrtxPstn", 9, "vrtxPstn"},
    };
    for (const auto& c : cases) {
        const std::string path = writeTempFile("start.sce", c.contents);
        EXPECT_EXIT(readFreshScene(path), ::testing::ExitedWithCode(255),
                    ::testing::Eq(endExpected(path, 1, c.location, c.found) + "\nUnknown token\n"))
            << c.contents;
    }
}

TEST(SceneReaderDeathTest, WrongTokenInsideAStatementIsReportedAndReadingGoesOn) {
    // The sky statement expects its "end" where the fourth number stands;
    // the number is then left for the top level, which cannot start a
    // statement with it.
    const std::string path = writeTempFile("extra.sce", "sky 1 2 3 4 end");
    EXPECT_EXIT(readFreshScene(path), ::testing::ExitedWithCode(255),
                ::testing::Eq(endExpected(path, 1, 12, "4") + endExpected(path, 1, 12, "4") +
                              "\nUnknown token\n"));
}

TEST(SceneReaderDeathTest, MissingSceneFile) {
    const std::string path = tempDirectory() + "/missing.sce";
    EXPECT_EXIT(readFreshScene(path), ::testing::ExitedWithCode(255),
                ::testing::Eq("\nFile " + path + " cannot be opened!\n"));
}

// Camera

TEST(SceneStatements, CameraWithoutDirectionLooksAlongZ) {
    auto s = std::make_unique<Scene>();
    readScene(*s, "cmr c 0 0 0 0 0 0 0 1 0 1 1 1 0 0 0 end");
    EXPECT_EQ(s->camera.eye, Vector(0, 0, 0));
    EXPECT_EQ(s->camera.viewDirection, Vector(0, 0, 1));
    EXPECT_EQ(s->camera.up, Vector(0, 1, 0));
    EXPECT_EQ(s->camera.windowDistance, 1.0);
    EXPECT_EQ(s->camera.windowWidth, 1.0);
    EXPECT_EQ(s->camera.windowHeight, 1.0);
}

TEST(SceneStatements, CameraStoresEveryValueInOrder) {
    auto s = std::make_unique<Scene>();
    EXPECT_EQ(readScene(*s, "cmr c 0 0 -10 0 0 5 0 1 0 1 2 1.5 0.1 0 7 end"), "\n\n");
    EXPECT_EQ(s->camera.eye, Vector(0, 0, -10));
    EXPECT_EQ(s->camera.viewDirection, Vector(0, 0, 1));
    EXPECT_EQ(s->camera.windowDistance, 1.0);
    EXPECT_EQ(s->camera.windowWidth, 2.0);
    EXPECT_EQ(s->camera.windowHeight, 1.5);
    EXPECT_EQ(s->camera.windowCenterX, 0.1);
    EXPECT_EQ(s->camera.windowCenterY, 0.0);
    EXPECT_EQ(s->camera.cameraSpare, 7.0);
}

TEST(SceneStatements, CameraDirectionIsNormalisedButUpIsNot) {
    auto s = std::make_unique<Scene>();
    readScene(*s,
              "cmr first 9 9 9 1 0 0 0 1 0 1 1 1 0 0 0 end\n"
              "cmr second 0 0 0 3 4 0 0 2 0 1 1 1 0 0 0 end");
    EXPECT_EQ(s->camera.eye, Vector(0, 0, 0));  // the second statement overwrites
    EXPECT_NEAR(s->camera.viewDirection.x, 0.6, 1e-15);
    EXPECT_NEAR(s->camera.viewDirection.y, 0.8, 1e-15);
    EXPECT_EQ(s->camera.viewDirection.z, 0.0);
    EXPECT_EQ(s->camera.up, Vector(0, 2, 0));
}

// Point lights and sky

TEST(SceneStatements, PointLightIsPlacedAsWritten) {
    auto s = std::make_unique<Scene>();
    readScene(*s, "transform 2 0 0 0 0 2 0 0 0 0 2 0 5 5 5 1\npointlight 100 1 2 3 end");
    ASSERT_EQ(s->lightCount, 1);
    EXPECT_EQ(s->lights[0].power[0], 100.0);
    EXPECT_EQ(s->lights[0].power[1], 100.0);
    EXPECT_EQ(s->lights[0].power[2], 100.0);
    EXPECT_EQ(s->lights[0].position, Vector(1, 2, 3));
}

TEST(SceneStatements, SkyRadiance) {
    auto s = std::make_unique<Scene>();
    readScene(*s, "sky 0.25 0.5 2 end");
    EXPECT_EQ(s->skyRadiance[0], 0.25);
    EXPECT_EQ(s->skyRadiance[1], 0.5);
    EXPECT_EQ(s->skyRadiance[2], 2.0);
    EXPECT_EQ(s->lightCount, 0);
}

TEST(SceneStatements, AddLightReturnsTheIndex) {
    auto s = std::make_unique<Scene>();
    for (int i = 0; i < limits::kMaxLights; ++i)
        EXPECT_EQ(s->addLight(Color(i), Vector(i, 0, 0)), i);
    EXPECT_EQ(s->lightCount, 25);
    EXPECT_EQ(s->lights[24].position, Vector(24, 0, 0));
}

using SceneStatementsDeathTest = ::testing::Test;

TEST(SceneStatementsDeathTest, TwentySixthLightOverflowsTheTable) {
    std::string contents;
    for (int i = 0; i < 26; ++i) contents += "pointlight 1 0 0 0 end\n";
    const std::string path = writeTempFile("lights.sce", contents);
    EXPECT_EXIT(readFreshScene(path), ::testing::ExitedWithCode(1),
                ::testing::Eq(std::string("Light table overflow\n")));
}

// Transforms

TEST(SceneStatements, TranslationsAccumulate) {
    const std::string move = "transform 1 0 0 0 0 1 0 0 0 0 1 0 5 0 0 1\n";
    auto s = std::make_unique<Scene>();
    readScene(*s, move);
    EXPECT_EQ(s->modelMatrix.transformPoint(Vector(1, 2, 3)), Vector(6, 2, 3));
    readScene(*s, move);  // the modelling matrix is never reset
    EXPECT_EQ(s->modelMatrix.transformPoint(Vector(1, 2, 3)), Vector(11, 2, 3));
}

TEST(SceneStatements, LaterTransformsActAfterEarlierOnes) {
    const std::string scale = "transform 2 0 0 0 0 2 0 0 0 0 2 0 0 0 0 1\n";
    const std::string move = "transform 1 0 0 0 0 1 0 0 0 0 1 0 5 0 0 1\n";
    auto s = std::make_unique<Scene>();
    readScene(*s, scale + move);
    EXPECT_EQ(s->modelMatrix.transformPoint(Vector(1, 0, 0)), Vector(7, 0, 0));
    auto t = std::make_unique<Scene>();
    readScene(*t, move + scale);
    EXPECT_EQ(t->modelMatrix.transformPoint(Vector(1, 0, 0)), Vector(12, 0, 0));
}

TEST(SceneStatements, TransformReadsRowAfterRowAndHasNoEnd) {
    auto s = std::make_unique<Scene>();
    EXPECT_EQ(readScene(*s, "transform 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 sky 1 1 1 end"),
              "\n\n");
    for (int i = 0; i < 16; ++i) EXPECT_EQ(s->modelMatrix.m[i], i + 1.0);
    EXPECT_EQ(s->modelMatrix(3, 0), 13.0);
    EXPECT_EQ(s->skyRadiance[0], 1.0);
}
