// Every bundled scene loads without a diagnostic into the patches its
// polygons and tessellation levels make.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/scene.h"
#include "base/run_log.h"

namespace {
struct BundledScene {
    const char* file;
    int patches;
};

// 2n² patches per quadrilateral and n² per triangle, n being the object's level.
const BundledScene kScenes[] = {
    {"example.sce", 2 * 8 * 8},                                      // one floor
    {"cornell-box.sce", 2 * 2 * 2 + 5 * 2 * 400 + 2 * 5 * 2 * 100},  // lamp, walls, blocks
    {"glossy.sce", 2 * 2 * 2 + 5 * 2 * 144 + 3 * 6 * 2 * 36},        // lamp, room, blocks
    {"many-lights.sce", 16 * 2 + 2 * 24 * 24 + 2 * 16 * 16},         // lamps, floor, wall
    {"transforms.sce", 2 * 2 * 2 + 2 * 20 * 20 + 6 * 2 * 64 + 12 * 6 * 2 * 16},
    {"terrain.sce", 80 * 80 * 2},  // one patch per heightfield triangle
};
}  // namespace

TEST(BundledScenes, LoadWithoutDiagnosticsIntoTheirPatches) {
    for (const BundledScene& b : kScenes) {
        auto s = std::make_unique<Scene>();
        std::string path = std::string(RAY_BUNDLE_SCENES) + "/" + b.file;
        muteRunLog(true);
        testing::internal::CaptureStderr();
        s->readSceneFile(path.c_str());
        std::string diagnostics = testing::internal::GetCapturedStderr();
        muteRunLog(false);
        EXPECT_EQ(diagnostics, "") << b.file;
        EXPECT_EQ(s->patchCount(), b.patches) << b.file;
    }
}

TEST(BundledScenes, EmittersLeadAndTheFirstShotIsUsedWhereItCanBe) {
    for (const BundledScene& b : kScenes) {
        auto s = std::make_unique<Scene>();
        std::string path = std::string(RAY_BUNDLE_SCENES) + "/" + b.file;
        muteRunLog(true);
        s->readSceneFile(path.c_str());
        muteRunLog(false);
        bool seenPlain = false;
        for (const Patch* p : s->patches) {
            if (!p->material->emitting) seenPlain = true;
            EXPECT_FALSE(seenPlain && p->material->emitting) << b.file;
        }
        s->initSolver();
        EXPECT_EQ(s->firstShot, std::string(b.file) == "many-lights.sce" ? 0 : 1) << b.file;
    }
}
