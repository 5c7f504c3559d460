// Patches made from three corners, and the records they are stored in.
#include <gtest/gtest.h>

#include <memory>

#include "app/scene.h"

namespace {
// A vertex record standing alone, for a patch's corners.
Vertex corner(double x, double y, double z) {
    Vertex v;
    v.position = Vector(x, y, z);
    return v;
}
}  // namespace

TEST(Patch, InitPatchNormalFollowsCornerOrder) {
    Vertex a = corner(0, 0, 0), b = corner(1, 0, 0), c = corner(0, 1, 0);
    Material m;
    Patch p;
    initPatch(p, &a, &b, &c, &m, 3);
    EXPECT_EQ(p.vertices[0], &a);
    EXPECT_EQ(p.vertices[1], &b);
    EXPECT_EQ(p.vertices[2], &c);
    EXPECT_EQ(p.worldNormal, Vector(0, 0, 1));
    EXPECT_EQ(p.area, 0.5);
    EXPECT_EQ(p.center(), Vector(1.0 / 3, 1.0 / 3, 0));
    EXPECT_EQ(p.material, &m);
    EXPECT_EQ(p.shotStride, 3);

    initPatch(p, &a, &c, &b, &m, 1);
    EXPECT_EQ(p.worldNormal, Vector(0, 0, -1));
    EXPECT_EQ(p.area, 0.5);
}

TEST(Patch, InitPatchOfAGeneralAndADegenerateTriangle) {
    Vertex a = corner(1, 1, 1), b = corner(3, 1, 1), c = corner(1, 1, 5);
    Material m;
    Patch p;
    initPatch(p, &a, &b, &c, &m, 1);
    // (2,0,0) x (0,0,4) = (0,-8,0)
    EXPECT_EQ(p.worldNormal, Vector(0, -1, 0));
    EXPECT_EQ(p.area, 4.0);
    // A patch of a scene in metres, 2 mm wide, has its own normal too.
    Vertex g = corner(1, 1, 1), h = corner(1.002, 1, 1), k = corner(1, 1, 1.002);
    initPatch(p, &g, &h, &k, &m, 1);
    EXPECT_NEAR(p.worldNormal.y, -1.0, 1e-12);
    EXPECT_NEAR(p.area, 2e-6, 1e-15);
    // Collinear corners: no area, and the default normal.
    Vertex d = corner(0, 0, 0), e = corner(1, 1, 1), f = corner(2, 2, 2);
    initPatch(p, &d, &e, &f, &m, 1);
    EXPECT_EQ(p.area, 0.0);
    EXPECT_EQ(p.worldNormal, Vector(0, 0, 1));
}

TEST(Patch, AddPatchCopiesTheTemplateAndNumbersIt) {
    auto s = std::make_unique<Scene>();
    Vertex a = corner(0, 0, 0), b = corner(1, 0, 0), c = corner(0, 1, 0);
    Patch patchTemplate;
    initPatch(patchTemplate, &a, &b, &c, &s->materials[0], 1);
    Patch* first = s->addPatch(patchTemplate);
    patchTemplate.area = 7.0;
    Patch* second = s->addPatch(patchTemplate);
    EXPECT_NE(first, &patchTemplate);
    EXPECT_EQ(first->area, 0.5);  // a copy, not the template
    EXPECT_EQ(second->area, 7.0);
    EXPECT_EQ(first->serial, 0);
    EXPECT_EQ(second->serial, 1);
    EXPECT_EQ(s->patchCount(), 2);
}

TEST(Patch, BlocksKeepEarlierPatchesInPlace) {
    auto s = std::make_unique<Scene>();
    Vertex a = corner(0, 0, 0), b = corner(1, 0, 0), c = corner(0, 1, 0);
    Patch patchTemplate;
    initPatch(patchTemplate, &a, &b, &c, &s->materials[0], 1);
    std::vector<Patch*> handed;
    for (int i = 0; i < SolverState::kPatchBlock + 1; ++i) {
        patchTemplate.area = i;
        handed.push_back(s->addPatch(patchTemplate));
    }
    ASSERT_EQ(s->patchCount(), SolverState::kPatchBlock + 1);
    for (int i = 0; i < s->patchCount(); ++i) {
        ASSERT_EQ(s->patches[i], handed[i]);
        ASSERT_EQ(handed[i]->area, i);
        ASSERT_EQ(handed[i]->serial, i);
    }
    EXPECT_EQ(handed.back()->serial, 10000);
}
