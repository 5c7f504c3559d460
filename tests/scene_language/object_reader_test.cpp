#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "app/scene.h"
#include "scene_language/token_reader.h"
#include "tests/support/temp_files.h"

namespace {

// Reads material and object statements from a file until another token comes.
void readStatements(Scene& s, const std::string& path) {
    TokenReader reader;
    reader.open(path.c_str());
    for (;;) {
        int code = reader.code();
        if (code == Token::NmdMtrl)
            s.readNamedMaterial(reader);
        else if (code == Token::PlnrMsh || code == Token::LeftBracket)
            s.readObject(reader);
        else
            break;
    }
    EXPECT_EQ(reader.code(), Token::EndOfFile) << "left over: " << reader.text();
    reader.close();
}

// Loads `text` as a scene file and returns what was printed on the error stream.
std::string load(Scene& s, const std::string& text) {
    std::string path = writeTempFile("object.sce", text);
    testing::internal::CaptureStderr();
    readStatements(s, path);
    return testing::internal::GetCapturedStderr();
}

// Loads a fresh scene; tests may set camera width and matrix before reading.
std::unique_ptr<Scene> loaded(const std::string& text) {
    auto s = std::make_unique<Scene>();
    load(*s, text);
    return s;
}

// A regular expression that matches `text` literally.
std::string literal(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) out += '\\';
        out += c;
    }
    return out;
}

std::string statusLine(int object, int materials, int vertices, int patches) {
    return "Object= " + std::to_string(object) + "   Material= " + std::to_string(materials) +
           "   Vector= " + std::to_string(vertices) + "   Poly= " + std::to_string(patches) + "\r";
}

const char* kMaterials =
    "nmdMtrl grey lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end end\n"
    "nmdMtrl rock lmbrtn spctrl 0 0.3 0 0.3 0 0.3 1 end end end\n"
    "nmdMtrl snow lmbrtn spctrl 0 0.9 0 0.9 0 0.9 1 end end end\n"
    "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end spctrl 0 9 0 9 0 9 end end end\n";

// A square of side 10 in the plane y = 0, corners counter-clockwise from below.
const char* kSquareBody =
    "vrtxPstn 0 0 0  10 0 0  10 0 10  0 0 10 end cmplxPly plygn 0 1 2 3 end end";

std::string object(const std::string& options, const std::string& body = kSquareBody) {
    return "plnrMsh obj " + options + " " + body + " end\n";
}

double totalArea(const Scene& s) {
    double sum = 0.0;
    for (const Patch* p : s.patches) sum += p->area;
    return sum;
}

void expectCorners(const Patch* p, const Vector& a, const Vector& b, const Vector& c) {
    EXPECT_EQ(p->vertices[0]->position, a);
    EXPECT_EQ(p->vertices[1]->position, b);
    EXPECT_EQ(p->vertices[2]->position, c);
}

}  // namespace

TEST(ObjectReader, EmptyObjectAddsOnlyTheStatusLine) {
    auto s = std::make_unique<Scene>();
    std::string errors = load(*s, "plnrMsh x vrtxPstn end cmplxPly end end\n");
    EXPECT_EQ(errors, statusLine(1, 0, 0, 0));
    EXPECT_EQ(s->objectNumber, 1);
    ASSERT_EQ(s->objectNames.size(), 1u);
    EXPECT_STREQ(s->objectNames[0].c_str(), "x");
    EXPECT_EQ(s->vertexCount(), 0);
    EXPECT_EQ(s->patchCount(), 0);
}

TEST(ObjectReader, StatusLineCountsWhatCameBefore) {
    auto s = std::make_unique<Scene>();
    std::string errors =
        load(*s, std::string(kMaterials) + "[ label ] " + object("") + object("mtrlNm snow end"));
    EXPECT_EQ(errors, statusLine(1, 4, 0, 0) + statusLine(2, 4, 4, 2));
    EXPECT_EQ(s->objectNumber, 2);
    ASSERT_EQ(s->objectNames.size(), 2u);  // by number; the label is no name
    EXPECT_STREQ(s->objectNames[0].c_str(), "obj");
}

TEST(ObjectReader, QuadrilateralAtLevelOneMakesTwoPatches) {
    auto s = loaded(object(""));
    ASSERT_EQ(s->vertexCount(), 4);
    ASSERT_EQ(s->patchCount(), 2);
    const VertexPool& v = s->vertices;
    const Patch* first = s->patches[0];
    const Patch* second = s->patches[1];
    EXPECT_EQ(first->vertices[0], v[0]);
    EXPECT_EQ(first->vertices[1], v[1]);
    EXPECT_EQ(first->vertices[2], v[3]);
    EXPECT_EQ(second->vertices[0], v[1]);
    EXPECT_EQ(second->vertices[1], v[2]);
    EXPECT_EQ(second->vertices[2], v[3]);
    // (10,0,0) x (0,0,10) points down.
    EXPECT_EQ(first->worldNormal, Vector(0, -1, 0));
    EXPECT_EQ(first->material, &s->materials[0]);
    EXPECT_EQ(first->shotStride, 1);
    EXPECT_EQ(totalArea(*s), 100.0);
}

TEST(ObjectReader, TriangleAtLevelOneMakesOnePatch) {
    auto s = loaded(object("", "vrtxPstn 0 0 0 4 0 0 0 3 0 end cmplxPly plygn 0 1 2 end end"));
    ASSERT_EQ(s->patchCount(), 1);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(s->patches[0]->vertices[k], s->vertices[k]);
    EXPECT_EQ(s->patches[0]->area, 6.0);
}

TEST(ObjectReader, NegativeFourthIndexMeansATriangle) {
    auto s = loaded(object("", "vrtxPstn 0 0 0 4 0 0 0 3 0 end cmplxPly plygn 0 1 2 -1 end end"));
    EXPECT_EQ(s->patchCount(), 1);
}

TEST(ObjectReader, SquareOfSideTenAtLevelEight) {
    auto s = loaded(object("tessellate 8"));
    ASSERT_EQ(s->patchCount(), 128);
    EXPECT_EQ(s->vertexCount(), 81);
    EXPECT_EQ(totalArea(*s), 100.0);
    // Cell (0, 0): the rows run along the first edge, the columns along the last.
    expectCorners(s->patches[0], Vector(0, 0, 0), Vector(1.25, 0, 0), Vector(0, 0, 1.25));
    expectCorners(s->patches[1], Vector(1.25, 0, 0), Vector(1.25, 0, 1.25), Vector(0, 0, 1.25));
    expectCorners(s->patches[2], Vector(0, 0, 1.25), Vector(1.25, 0, 1.25), Vector(0, 0, 2.5));
    // The last cell ends at the polygon's third corner, its own vertex 2.
    EXPECT_EQ(s->patches[127]->vertices[1], s->vertices[2]);
    expectCorners(s->patches[127], Vector(10, 0, 8.75), Vector(10, 0, 10), Vector(8.75, 0, 10));
    for (const Patch* p : s->patches) ASSERT_EQ(p->worldNormal, Vector(0, -1, 0));
}

TEST(ObjectReader, DivisionsFollowTheWindowWidth) {
    // n = truncate(T · L / w) with L the two edges at the first corner (20 here).
    auto s = std::make_unique<Scene>();
    s->camera.windowWidth = 50.0;  // 8 · 20 / 50 = 3.2
    load(*s, object("tessellate 8"));
    EXPECT_EQ(s->patchCount(), 18);
    EXPECT_EQ(s->vertexCount(), 16);

    auto coarse = std::make_unique<Scene>();
    coarse->camera.windowWidth = 1000.0;  // 0.16: at least one division
    load(*coarse, object("tessellate 8"));
    EXPECT_EQ(coarse->patchCount(), 2);
}

TEST(ObjectReader, WindowWidthOfZeroOrLessDividesTTimes) {
    for (double width : {0.0, -2.0}) {
        auto s = std::make_unique<Scene>();
        s->camera.windowWidth = width;
        load(*s, object("tessellate 3"));
        EXPECT_EQ(s->patchCount(), 18) << "width " << width;
        EXPECT_NEAR(totalArea(*s), 100.0, 1e-12);
    }
}

TEST(ObjectReader, QuadrilateralGridSpansTheFirstCorner) {
    // Grid points lie on the parallelogram at the first corner; only the far
    // corner is the third vertex.
    auto s = loaded(object(
        "tessellate 2", "vrtxPstn 0 0 0 10 0 0 12 0 12 0 0 10 end cmplxPly plygn 0 1 2 3 end end"));
    ASSERT_EQ(s->patchCount(), 8);
    expectCorners(s->patches[0], Vector(0, 0, 0), Vector(5, 0, 0), Vector(0, 0, 5));
    expectCorners(s->patches[1], Vector(5, 0, 0), Vector(5, 0, 5), Vector(0, 0, 5));
    expectCorners(s->patches[7], Vector(10, 0, 5), Vector(12, 0, 12), Vector(5, 0, 10));
}

TEST(ObjectReader, TriangleSubdividesIntoNSquared) {
    auto s = loaded(
        object("tessellate 4", "vrtxPstn 0 0 0 10 0 0 0 0 10 end cmplxPly plygn 0 1 2 end end"));
    ASSERT_EQ(s->patchCount(), 16);
    EXPECT_EQ(s->vertexCount(), 15);
    EXPECT_EQ(totalArea(*s), 50.0);
    // Row i = 0: cells j = 0..3, the last one a single triangle at the edge.
    expectCorners(s->patches[0], Vector(0, 0, 0), Vector(2.5, 0, 0), Vector(0, 0, 2.5));
    expectCorners(s->patches[1], Vector(2.5, 0, 0), Vector(2.5, 0, 2.5), Vector(0, 0, 2.5));
    expectCorners(s->patches[2], Vector(0, 0, 2.5), Vector(2.5, 0, 2.5), Vector(0, 0, 5));
    expectCorners(s->patches[6], Vector(0, 0, 7.5), Vector(2.5, 0, 7.5), Vector(0, 0, 10));
    expectCorners(s->patches[7], Vector(2.5, 0, 0), Vector(5, 0, 0), Vector(2.5, 0, 2.5));
    expectCorners(s->patches[15], Vector(7.5, 0, 0), Vector(10, 0, 0), Vector(7.5, 0, 2.5));
    EXPECT_EQ(s->patches[15]->vertices[1], s->vertices[1]);
}

TEST(ObjectReader, TessellationBelowOneThinsTheShot) {
    auto s = loaded(object("tessellate 0.25"));
    EXPECT_EQ(s->tessellation, 1);
    ASSERT_EQ(s->patchCount(), 2);
    EXPECT_EQ(s->patches[0]->shotStride, 4);
    EXPECT_EQ(s->patches[1]->shotStride, 4);
}

TEST(ObjectReader, ShotStrideIsClampedToSixteenBits) {
    auto s = loaded(object("tessellate 0.000000001"));
    ASSERT_EQ(s->patchCount(), 2);
    EXPECT_EQ(s->patches[0]->shotStride, 32767);
}

TEST(ObjectReader, TessellationIsTruncated) {
    auto s = loaded(object("tessellate 2.9"));
    EXPECT_EQ(s->tessellation, 2);
    ASSERT_EQ(s->patchCount(), 8);
    EXPECT_EQ(s->patches[0]->shotStride, 1);
}

TEST(ObjectReader, TessellationIsClampedAndPersists) {
    // Sides of 20 keep the 100 divisions 0.2 apart, so no grid points merge.
    const char* square = "vrtxPstn 0 0 0 20 0 0 20 0 20 0 0 20 end cmplxPly plygn 0 1 2 3 end end";
    auto s = loaded(object("tessellate 150", square) + object("", square) +
                    object("", "vrtxPstn 0 0 0 20 0 0 0 0 20 end cmplxPly plygn 0 1 2 end end"));
    EXPECT_EQ(s->tessellation, 100);
    EXPECT_EQ(s->patchCount(), 2 * 100 * 100 + 2 * 100 * 100 + 100 * 100);
    EXPECT_EQ(s->vertexCount(), 101 * 101 * 2 + 101 * 102 / 2);
}

TEST(ObjectReader, LevelZeroOrBelowMakesNoPatchesUntilReset) {
    auto s = loaded(object("tessellate 0") + object("") + object("tessellate -3") +
                    object("tessellate 1"));
    EXPECT_EQ(s->tessellation, 1);
    EXPECT_EQ(s->patchCount(), 2);  // only the last object
    EXPECT_EQ(s->vertexCount(), 16);
    EXPECT_EQ(s->patches[0]->vertices[0]->object, 4);
}

TEST(ObjectReader, HugeTessellationSaturates) {
    auto s = std::make_unique<Scene>();
    load(*s, "plnrMsh a tessellate 99999999999999999999999\n");
    EXPECT_EQ(s->tessellation, INT_MAX);  // no vertex list: not yet clamped
    auto t = loaded(object("tessellate 99999999999999999999999") +
                    object("tessellate -99999999999999999999999"));
    EXPECT_EQ(t->tessellation, INT_MIN);
    EXPECT_EQ(t->patchCount(), 2 * 100 * 100);
}

TEST(ObjectReader, SizeAndPositionApplyAfterTheMatrix) {
    auto s = loaded(object("size 2 position 10 0 0", "vrtxPstn 1 1 1 end cmplxPly end"));
    ASSERT_EQ(s->vertexCount(), 1);
    EXPECT_EQ(s->vertices[0]->position, Vector(12, 2, 2));
    EXPECT_EQ(s->vertices[0]->savedPosition, Vector(12, 2, 2));

    auto moved = std::make_unique<Scene>();
    moved->modelMatrix(3, 0) = 5.0;  // translate +5 in x
    load(*moved, object("position 10 0 0 size 2", "vrtxPstn 1 1 1 end cmplxPly end"));
    EXPECT_EQ(moved->vertices[0]->position, Vector(22, 2, 2));
}

TEST(ObjectReader, OptionsRepeatAndTheLastWins) {
    auto s = loaded(std::string(kMaterials) +
                    object("size 5 mtrlNm grey end tessellate 3 size 2 position 1 1 1 "
                           "position 10 0 0 mtrlNm snow end tessellate 1",
                           "vrtxPstn 1 1 1 2 1 1 1 1 2 end cmplxPly plygn 0 1 2 end end"));
    EXPECT_EQ(s->vertices[0]->position, Vector(12, 2, 2));
    ASSERT_EQ(s->patchCount(), 1);
    EXPECT_EQ(s->patches[0]->material, &s->materials[2]);
    EXPECT_EQ(s->currentMaterial, 2);
}

TEST(ObjectReader, ObjectMaterialOptions) {
    auto s = loaded(std::string(kMaterials) + object("mtrlNm grey end") +
                    object("nmdMtrl red lmbrtn spctrl 0 0 0 0 0 1 1 end end end") + object(""));
    ASSERT_EQ(s->patchCount(), 6);
    EXPECT_EQ(s->patches[0]->material, &s->materials[0]);
    EXPECT_EQ(s->patches[2]->material, &s->materials[4]);
    EXPECT_STREQ(s->patches[2]->material->name.c_str(), "red");
    EXPECT_EQ(s->patches[4]->material, &s->materials[4]);  // stays current
}

TEST(ObjectReader, VerticesMergeWithinAnObjectOnly) {
    const char* twoSquares =
        "vrtxPstn 0 0 0 10 0 0 10 0 10 0 0 10 20 0 0 20 0 10 end "
        "cmplxPly plygn 0 1 2 3 end plygn 1 4 5 2 end end";
    auto s = loaded(object("tessellate 2", twoSquares));
    EXPECT_EQ(s->patchCount(), 16);
    EXPECT_EQ(s->vertexCount(), 6 + 5 + 4);  // the shared edge's midpoint merges

    auto twice = loaded(object("tessellate 2", twoSquares) + object("", twoSquares));
    EXPECT_EQ(twice->vertexCount(), 30);
}

TEST(ObjectReader, BodyFromAnIncludedFile) {
    std::string body =
        writeTempFile("body.sce",
                      "vrtxPstn 0 0 0 10 0 0 10 0 10 0 0 10 end cmplxPly plygn 0 1 2 3 end end\n"
                      "this text after the body is never read ] ) plygn\n");
    auto s = loaded(std::string(kMaterials) + "plnrMsh inc tessellate 2 mtrlNm grey end file \"" +
                    body + "\" end\n" + object("mtrlNm snow end"));
    ASSERT_EQ(s->patchCount(), 8 + 8);  // the level carries over to the next object
    EXPECT_EQ(s->patches[0]->material, &s->materials[0]);
    EXPECT_EQ(s->patches[8]->material, &s->materials[2]);
    EXPECT_EQ(s->objectNumber, 2);
}

TEST(ObjectReader, ObjectWithoutVertexListEndsAtOnce) {
    auto s = std::make_unique<Scene>();
    std::string path = writeTempFile("object.sce", "plnrMsh x tessellate 4 cmplxPly end end\n");
    TokenReader reader;
    reader.open(path.c_str());
    testing::internal::CaptureStderr();
    s->readObject(reader);
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, statusLine(1, 0, 0, 0));
    EXPECT_EQ(reader.code(), Token::CmplxPly);
    EXPECT_EQ(s->tessellation, 4);
    reader.close();
}

TEST(ObjectReader, RockBecomesSnowAboveTheDitheredLine) {
    // One triangle per polygon (T = 1), each decided by its first vertex. The
    // generator's first values from state 1 are 41, 18467 and 6334, so the
    // lines fall at 108 + 0.05 · (41, 67, 34).
    auto s = loaded(std::string(kMaterials) + object("mtrlNm rock end",
                                                     "vrtxPstn 0 120 0 1 120 0 0 120 1 "
                                                     "0 110.1 0 1 110.1 0 0 110.1 1 "
                                                     "0 111.3 0 1 111.3 0 0 111.3 1 "
                                                     "0 100 0 1 100 0 0 100 1 end cmplxPly "
                                                     "plygn 0 1 2 end plygn 3 4 5 end "
                                                     "plygn 6 7 8 end plygn 9 10 11 end end"));
    ASSERT_EQ(s->patchCount(), 4);
    const Material* rock = &s->materials[1];
    const Material* snow = &s->materials[2];
    EXPECT_EQ(s->patches[0]->material, snow);  // above 113: no draw
    EXPECT_EQ(s->patches[1]->material, snow);  // 110.05 < 110.1
    EXPECT_EQ(s->patches[2]->material, rock);  // 111.35 is not below 111.3
    EXPECT_EQ(s->patches[3]->material, rock);  // 109.7 is not below 100, but a draw is made
    Random expected;
    for (int i = 0; i < 3; ++i) expected.next();
    EXPECT_EQ(s->random.state, expected.state);
}

TEST(ObjectReader, RockRuleAppliesPerSubdividedTriangle) {
    // With T = 2 the triangle's four patches start at G00, G10, G01 and G10;
    // every one of them is at or below 113, so four draws are made.
    auto s = loaded(std::string(kMaterials) +
                    object("mtrlNm rock end tessellate 2",
                           "vrtxPstn 0 100 0 10 100 0 0 100 10 end cmplxPly plygn 0 1 2 end end"));
    ASSERT_EQ(s->patchCount(), 4);
    for (const Patch* p : s->patches) EXPECT_EQ(p->material, &s->materials[1]);
    Random expected;
    for (int i = 0; i < 4; ++i) expected.next();
    EXPECT_EQ(s->random.state, expected.state);
}

TEST(ObjectReader, QuadrilateralsNeverUseTheRockRule) {
    auto s =
        loaded(std::string(kMaterials) + object("mtrlNm rock end",
                                                "vrtxPstn 0 120 0 10 120 0 10 120 10 0 120 10 end "
                                                "cmplxPly plygn 0 1 2 3 end end"));
    ASSERT_EQ(s->patchCount(), 2);
    EXPECT_EQ(s->patches[0]->material, &s->materials[1]);
    EXPECT_EQ(s->random.state, 1u);
}

TEST(ObjectReader, RockWithoutSnowStaysRock) {
    auto s = loaded("nmdMtrl rock lmbrtn spctrl 0 0.3 0 0.3 0 0.3 1 end end end\n" +
                    object("mtrlNm rock end",
                           "vrtxPstn 0 120 0 1 120 0 0 120 1 0 110 0 1 110 0 0 110 1 end "
                           "cmplxPly plygn 0 1 2 end plygn 3 4 5 end end"));
    ASSERT_EQ(s->materialCount, 1);
    ASSERT_EQ(s->patchCount(), 2);
    EXPECT_EQ(s->patches[0]->material, &s->materials[0]);
    EXPECT_EQ(s->patches[1]->material, &s->materials[0]);
}

TEST(ObjectReader, EmittingObjectAfterAnotherIsReported) {
    auto s = std::make_unique<Scene>();
    std::string text = std::string(kMaterials) + object("mtrlNm lamp end tessellate 2") +
                       object("mtrlNm grey end tessellate 1") +
                       "plnrMsh lampshade mtrlNm lamp end " + kSquareBody + " end\n" +
                       "plnrMsh second mtrlNm lamp end " + kSquareBody + " end\n";
    std::string errors = load(*s, text);
    std::string warning = " follows a non-emitting object; its light travels with the bundles\n";
    EXPECT_EQ(errors, statusLine(1, 4, 0, 0) + statusLine(2, 4, 9, 8) + statusLine(3, 4, 13, 10) +
                          "Warning: emitting object lampshade" + warning +
                          statusLine(4, 4, 17, 12) + "Warning: emitting object second" + warning);
}

TEST(ObjectReader, UnknownMaterialEndsTheProgram) {
    auto s = std::make_unique<Scene>();
    std::string path =
        writeTempFile("object.sce", std::string(kMaterials) + object("mtrlNm Grey end"));
    EXPECT_EXIT(readStatements(*s, path), ::testing::ExitedWithCode(1),
                literal(statusLine(1, 4, 0, 0) + "Grey material doesn't exist\n") + "$");
}

TEST(ObjectReader, PolygonIndexOutsideTheVertexList) {
    auto s = std::make_unique<Scene>();
    std::string path =
        writeTempFile("object.sce", object("") + object("",
                                                        "vrtxPstn 0 0 0 1 0 0 0 1 0 end cmplxPly "
                                                        "plygn 0 1 2 end plygn 0 1 2 3 end end"));
    EXPECT_EXIT(
        readStatements(*s, path), ::testing::ExitedWithCode(255),
        literal("\nPolygon index 3 is outside the vertex list of object 2 in " + path + "\n") +
            "$");

    std::string negative = writeTempFile(
        "negative.sce", object("", "vrtxPstn 0 0 0 1 0 0 0 1 0 end cmplxPly plygn 0 -2 1 end end"));
    auto t = std::make_unique<Scene>();
    EXPECT_EXIT(readStatements(*t, negative), ::testing::ExitedWithCode(255),
                literal("Polygon index -2 is outside the vertex list of object 1 in " + negative));
}

TEST(ObjectReader, PolygonIndexCheckedWithoutPatchesToo) {
    // Level 0 makes no patches, but the index still names no vertex.
    auto s = std::make_unique<Scene>();
    std::string path = writeTempFile("object.sce", object("tessellate 0",
                                                          "vrtxPstn end cmplxPly "
                                                          "plygn 0 0 0 end end"));
    EXPECT_EXIT(readStatements(*s, path), ::testing::ExitedWithCode(255),
                literal("Polygon index 0 is outside the vertex list of object 1 in " + path));
}

TEST(ObjectReader, PolygonIndexOfAnIncludedFileNamesThatFile) {
    auto s = std::make_unique<Scene>();
    std::string body = writeTempFile("bad_body.sce",
                                     "vrtxPstn 0 0 0 1 0 0 0 1 0 end cmplxPly plygn 0 1 7 end end");
    std::string path = writeTempFile("object.sce", "plnrMsh x file \"" + body + "\" end\n");
    EXPECT_EXIT(
        readStatements(*s, path), ::testing::ExitedWithCode(255),
        literal("Polygon index 7 is outside the vertex list of object 1 in " + body + "\n"));
}

TEST(ObjectReader, VertexHandleArrayLimit) {
    std::string vertices;
    for (int i = 0; i < limits::kMaxObjectVertices - 1; ++i) vertices += "0 0 0\n";
    // 319,999 vertices fit (they all merge into one).
    auto s = loaded(object("", "vrtxPstn " + vertices + "end cmplxPly end"));
    EXPECT_EQ(s->vertexCount(), 1);
    EXPECT_EQ(s->objectNumber, 1);

    std::string path =
        writeTempFile("object.sce", object("", "vrtxPstn " + vertices + "1 1 1 end cmplxPly end"));
    auto t = std::make_unique<Scene>();
    EXPECT_EXIT(readStatements(*t, path), ::testing::ExitedWithCode(255),
                literal(statusLine(1, 0, 0, 0) + "temp array exausted\n") + "$");
}
