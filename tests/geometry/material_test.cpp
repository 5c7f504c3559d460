#include "geometry/material.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "app/scene.h"
#include "scene_language/token_reader.h"
#include "tests/support/temp_files.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

Material glossy(double specularScale, double exponent) {
    Material m;
    m.reflectance = Color(0.5, 0.25, 0.125);
    m.diffuseScale = 1.0;
    m.specularScale = specularScale;
    m.exponent = exponent;
    m.deriveCoefficients();
    return m;
}

void expectColorNear(const Color& got, const Color& expected, double tolerance) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], expected[k], tolerance) << "channel " << k;
}

void expectColorEq(const Color& got, const Color& expected) {
    for (int k = 0; k < 3; ++k) EXPECT_EQ(got[k], expected[k]) << "channel " << k;
}

// Reads the material statements of `text` into the scene.
void readAll(Scene& s, const std::string& text) {
    std::string path = writeTempFile("material.sce", text);
    TokenReader reader;
    reader.open(path.c_str());
    while (reader.code() == Token::NmdMtrl) s.readNamedMaterial(reader);
    EXPECT_EQ(reader.code(), Token::EndOfFile) << "statement left tokens: " << reader.text();
    reader.close();
}

// The same, returning what was printed on the error stream.
std::string readMaterials(Scene& s, const std::string& text) {
    testing::internal::CaptureStderr();
    readAll(s, text);
    return testing::internal::GetCapturedStderr();
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

const Vector kUp(0, 0, 1);

}  // namespace

TEST(Material, EmptySlotValues) {
    Material m;
    expectColorEq(m.diffuse, Color());
    expectColorEq(m.specular, Color());
    EXPECT_TRUE(m.name.empty());
    EXPECT_EQ(m.exponent, 1.0);
    EXPECT_EQ(m.selectProbability, 1.0);
    EXPECT_EQ(m.emitting, 0);
}

TEST(Material, DerivedCoefficients) {
    Material m;
    m.reflectance = Color(0.5, 0.5, 0.5);
    m.diffuseScale = 1.0;
    m.specularScale = 0.2;
    m.exponent = 10.0;
    m.deriveCoefficients();
    expectColorEq(m.diffuse, Color(0.15915494309189535));
    expectColorNear(m.specular, Color(0.2 * 11.0 / (2.0 * kPi)), 1e-15);
    EXPECT_NEAR(m.specular[0], 0.350141, 1e-6);
}

TEST(Material, NoGlossyPartWithoutSpecularScale) {
    Material m = glossy(0.0, 10.0);
    Vector in = normalized(Vector(0.3, -0.2, -1.0));
    Vector mirror = in + kUp * (2.0 * -dot(in, kUp));
    for (const Vector& out : {mirror, kUp, normalized(Vector(-1, 0, 0.1))}) {
        double cosIn = -dot(in, kUp), cosOut = dot(out, kUp);
        expectColorEq(m.specularReflection(in, kUp, out, cosIn, cosOut), Color());
        expectColorEq(m.totalReflection(in, kUp, out, cosIn, cosOut), m.diffuse);
    }
    Material negative = glossy(-1.0, 10.0);
    expectColorEq(negative.specularReflection(in, kUp, mirror, 0.9, 0.9), Color());
}

TEST(Material, GrazingCosinesGiveOnlyTheDiffusePart) {
    Material m = glossy(0.8, 5.0);
    Vector in(1.0, 0.0, -0.0000005);
    Vector out(1.0, 0.0, 0.0000005);  // the mirror direction itself
    expectColorEq(m.totalReflection(in, kUp, out, 0.0000005, 0.0000005), m.diffuse);
    expectColorEq(m.totalReflection(in, kUp, kUp, 0.0000005, 1.0), m.diffuse);
    expectColorEq(m.totalReflection(kUp * -1.0, kUp, out, 1.0, 0.0000005), m.diffuse);
    // The diffuse part is added whatever the cosines are: the caller decides.
    expectColorEq(m.totalReflection(in, kUp, out, -0.5, -0.5), m.diffuse);
}

TEST(Material, MirrorDirectionAtSixtyDegrees) {
    Material m = glossy(0.3, 20.0);
    Vector in(std::sqrt(0.75), 0.0, -0.5);
    Vector mirror(std::sqrt(0.75), 0.0, 0.5);
    // d = 1 and m = 0.5: the term is twice the coefficient.
    Color term = m.specularReflection(in, kUp, mirror, 0.5, 0.5);
    expectColorNear(term, m.specular * 2.0, 1e-12);
    expectColorNear(m.totalReflection(in, kUp, mirror, 0.5, 0.5), m.diffuse + m.specular * 2.0,
                    1e-12);
}

TEST(Material, LobeFallsOffWithThePowerOfTheMirrorCosine) {
    Material m = glossy(0.5, 10.0);
    // Incoming at cos 0.8: mirror (0.6, 0, 0.8); an outgoing direction with
    // mirror cosine 0.5 and cosOut 0.625, so the divisor is max(0.8, 0.625).
    Vector in(0.6, 0.0, -0.8);
    Vector out(0.0, std::sqrt(1.0 - 0.625 * 0.625), 0.625);
    Color term = m.specularReflection(in, kUp, out, 0.8, 0.625);
    expectColorNear(term, m.specular * (std::pow(0.5, 10.0) / 0.8), 1e-12);
    // A non-integer exponent is taken as it is.
    Material half = glossy(0.5, 2.5);
    expectColorNear(half.specularReflection(in, kUp, out, 0.8, 0.625),
                    half.specular * (std::pow(0.5, 2.5) / 0.8), 1e-12);
}

TEST(Material, NoLobeBeyondTheMirrorDirection) {
    Material m = glossy(1000.0, 3.0);
    Vector in(0.8, 0.0, -0.6);
    Vector out(-0.8, 0.0, 0.6);  // mirror (0.8, 0, 0.6): d = -0.28
    expectColorEq(m.specularReflection(in, kUp, out, 0.6, 0.6), Color());
    expectColorEq(m.totalReflection(in, kUp, out, 0.6, 0.6), m.diffuse);
    Vector perpendicular(0.0, 1.0, 0.0);  // d = 0 exactly
    expectColorEq(m.specularReflection(in, kUp, perpendicular, 0.6, 0.5), Color());
}

TEST(Material, StatementStoresAGreyMaterial) {
    auto s = std::make_unique<Scene>();
    std::string errors =
        readMaterials(*s, "nmdMtrl grey lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end end\n");
    EXPECT_EQ(errors, "");
    ASSERT_EQ(s->materialCount, 1);
    EXPECT_EQ(s->currentMaterial, 0);
    const Material& m = s->materials[0];
    EXPECT_STREQ(m.name.c_str(), "grey");
    expectColorEq(m.reflectance, Color(0.5, 0.5, 0.5));
    EXPECT_EQ(m.diffuseScale, 1.0);
    expectColorEq(m.diffuse, Color(0.15915494309189535));
    EXPECT_EQ(m.specularScale, 0.0);
    EXPECT_EQ(m.exponent, 10.0);  // the statement's default, unlike an empty slot's 1
    expectColorEq(m.specular, Color());
    EXPECT_EQ(m.selectProbability, 1.0);
    EXPECT_EQ(m.emitting, 0);
    expectColorEq(m.emission, Color());
}

TEST(Material, StatementOptionalNumbers) {
    auto s = std::make_unique<Scene>();
    std::string errors =
        readMaterials(*s,
                      "nmdMtrl a lmbrtn spctrl 0 0.2 0 0.4 0 0.6 1 0.3 20 end end end\n"
                      "nmdMtrl b lmbrtn spctrl 0 0.2 0 0.4 0 0.6 0.5 0.3 20 0.25 end end end\n");
    EXPECT_EQ(errors, "");
    ASSERT_EQ(s->materialCount, 2);
    const Material& a = s->materials[0];
    EXPECT_EQ(a.specularScale, 0.3);
    EXPECT_EQ(a.exponent, 20.0);
    EXPECT_EQ(a.selectProbability, 1.0);
    expectColorNear(a.specular, Color(0.3 * 21.0 / (2.0 * kPi)), 1e-15);
    EXPECT_NEAR(a.specular[1], 1.002676, 1e-6);
    const Material& b = s->materials[1];
    EXPECT_EQ(b.diffuseScale, 0.5);
    EXPECT_EQ(b.selectProbability, 0.25);
    EXPECT_EQ(s->currentMaterial, 1);
}

TEST(Material, StatementWithALoneGlossyWeight) {
    // The token after B is taken as C: it reads as 0 with one report, and the
    // statement still ends in step.
    auto s = std::make_unique<Scene>();
    std::string errors =
        readMaterials(*s, "nmdMtrl shiny lmbrtn spctrl 0 1 0 1 0 1 1 0.3 end end end\n");
    EXPECT_NE(errors.find("ERROR : NUMBER expected "), std::string::npos) << errors;
    EXPECT_EQ(countOf(errors, "ERROR"), 1) << errors;
    ASSERT_EQ(s->materialCount, 1);
    EXPECT_EQ(s->materials[0].specularScale, 0.3);
    EXPECT_EQ(s->materials[0].exponent, 0.0);
    expectColorNear(s->materials[0].specular, Color(0.3 / (2.0 * kPi)), 1e-15);
}

TEST(Material, StatementFirstNumbersOfPairsAreIgnored) {
    auto s = std::make_unique<Scene>();
    readMaterials(*s,
                  "nmdMtrl a lmbrtn spctrl 400 0.2 500 0.4 600 0.6 1 end end end\n"
                  "nmdMtrl b lmbrtn spctrl 0 0.2 0 0.4 0 0.6 1 end end end\n");
    ASSERT_EQ(s->materialCount, 2);
    expectColorEq(s->materials[0].reflectance, Color(0.2, 0.4, 0.6));
    expectColorEq(s->materials[1].reflectance, Color(0.2, 0.4, 0.6));
}

TEST(Material, StatementOfAnEmittingMaterial) {
    auto s = std::make_unique<Scene>();
    std::string errors =
        readMaterials(*s,
                      "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end\n"
                      "  spctrl 0 10 0 20 0 30 end end\n"
                      "end\n");
    EXPECT_EQ(errors, "");
    ASSERT_EQ(s->materialCount, 1);
    EXPECT_EQ(s->materials[0].emitting, 1);
    expectColorEq(s->materials[0].emission, Color(10, 20, 30));
    expectColorEq(s->materials[0].reflectance, Color(0.8, 0.8, 0.8));
}

TEST(Material, EmittingStatementWithoutItsEmissionBlock) {
    auto s = std::make_unique<Scene>();
    std::string errors =
        readMaterials(*s, "nmdMtrl lamp pLmnr lmbrtn spctrl 0 0.8 0 0.8 0 0.8 1 end end end\n");
    EXPECT_NE(errors.find("ERROR : spctrl expected "), std::string::npos) << errors;
    ASSERT_EQ(s->materialCount, 1);
    EXPECT_EQ(s->materials[0].emitting, 1);
    expectColorEq(s->materials[0].emission, Color());
}

TEST(Material, RedefinitionKeepsTheFirstAndSelectsIt) {
    auto s = std::make_unique<Scene>();
    readMaterials(*s,
                  "nmdMtrl grey lmbrtn spctrl 0 0.5 0 0.5 0 0.5 1 end end end\n"
                  "nmdMtrl white lmbrtn spctrl 0 0.9 0 0.9 0 0.9 1 end end end\n"
                  "nmdMtrl grey pLmnr lmbrtn spctrl 0 0.1 0 0.1 0 0.1 2 0.5 3 end end\n"
                  "  spctrl 0 5 0 5 0 5 end end end\n");
    ASSERT_EQ(s->materialCount, 2);
    EXPECT_EQ(s->currentMaterial, 0);
    const Material& grey = s->materials[0];
    expectColorEq(grey.reflectance, Color(0.5, 0.5, 0.5));
    EXPECT_EQ(grey.diffuseScale, 1.0);
    EXPECT_EQ(grey.specularScale, 0.0);
    EXPECT_EQ(grey.emitting, 0);
    expectColorEq(grey.emission, Color());
    EXPECT_TRUE(s->materials[2].name.empty());
}

TEST(Material, NamesAreAnySingleTokenAndCompareExactly) {
    auto s = std::make_unique<Scene>();
    readMaterials(*s,
                  "nmdMtrl end lmbrtn spctrl 0 1 0 1 0 1 1 end end end\n"
                  "nmdMtrl 12 lmbrtn spctrl 0 1 0 1 0 1 1 end end end\n"
                  "nmdMtrl \"two words\" lmbrtn spctrl 0 1 0 1 0 1 1 end end end\n"
                  "nmdMtrl Grey lmbrtn spctrl 0 1 0 1 0 1 1 end end end\n");
    ASSERT_EQ(s->materialCount, 4);
    EXPECT_EQ(s->findMaterial("end"), 0);
    EXPECT_EQ(s->findMaterial("12"), 1);
    EXPECT_EQ(s->findMaterial("two words"), 2);
    EXPECT_EQ(s->findMaterial("Grey"), 3);
    EXPECT_EQ(s->findMaterial("grey"), 4);  // absent: materialCount
    EXPECT_EQ(s->findMaterial("two"), 4);
}

TEST(Material, TableHoldsAHundredMaterials) {
    std::string text;
    for (int i = 0; i < limits::kMaxMaterials; ++i)
        text += "nmdMtrl m" + std::to_string(i) + " lmbrtn spctrl 0 1 0 1 0 1 1 end end end\n";
    auto s = std::make_unique<Scene>();
    readMaterials(*s, text + "nmdMtrl m7 lmbrtn spctrl 0 1 0 1 0 1 1 end end end\n");
    EXPECT_EQ(s->materialCount, limits::kMaxMaterials);
    EXPECT_EQ(s->currentMaterial, 7);  // a known name still selects when the table is full

    std::string overflowing = text + "nmdMtrl extra lmbrtn spctrl 0 1 0 1 0 1 1 end end end\n";
    EXPECT_EXIT(
        {
            auto full = std::make_unique<Scene>();
            readAll(*full, overflowing);
        },
        ::testing::ExitedWithCode(1), "^Material table overflow: extra\n$");
}
