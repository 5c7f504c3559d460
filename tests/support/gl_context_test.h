#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/scene.h"
#include "gl/offscreen_context.h"

// Whether a test that finds no offscreen GL context fails (under CI, where
// one must be had) rather than being skipped.
inline bool glContextRequired() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && ci[0] != '\0';
}

// Skips the test, or fails it under CI, for want of a GL context.
#define SKIP_WITHOUT_GL_CONTEXT(why)                                            \
    do {                                                                        \
        if (glContextRequired()) FAIL() << why << " (required when CI is set)"; \
        GTEST_SKIP() << why;                                                    \
    } while (false)

// A test with a window-sized offscreen GL context made current and a fresh
// scene that knows it has one. Where no context can be made, tests are
// skipped, or fail when CI is set.
class GLContextTest : public ::testing::Test {
  protected:
    static constexpr int kWindowSize = 560;

    void SetUp() override {
        if (!context_.create(kWindowSize, kWindowSize))
            SKIP_WITHOUT_GL_CONTEXT("no offscreen OpenGL context on this machine");
        scene_ = std::make_unique<Scene>();
        scene_->hasGLContext = true;
        scene_->objectNumber = 1;
    }

    Scene& scene() { return *scene_; }

    // Adds the triangles (a, b, c) and (a, c, d) of one object; seen from the
    // side the normal points to, a, b, c, d run counter-clockwise.
    void addQuad(const Vector& a, const Vector& b, const Vector& c, const Vector& d,
                 const Material* material, int shotStride = 1) {
        Vertex* va = scene_->addVertex(a, true);
        Vertex* vb = scene_->addVertex(b, true);
        Vertex* vc = scene_->addVertex(c, true);
        Vertex* vd = scene_->addVertex(d, true);
        addTriangle(va, vb, vc, material, shotStride);
        addTriangle(va, vc, vd, material, shotStride);
    }

    Patch* addTriangle(Vertex* a, Vertex* b, Vertex* c, const Material* material,
                       int shotStride = 1) {
        Patch t;
        initPatch(t, a, b, c, material, shotStride);
        return scene_->addPatch(t);
    }

    // Adds a square of side `size` centred on `center` facing along the unit
    // vector `normal`, with `right` a unit vector in its plane.
    void addSquare(const Vector& center, const Vector& normal, const Vector& right, double size,
                   const Material* material, int shotStride = 1) {
        Vector u = right * (size / 2);
        Vector v = cross(normal, right) * (size / 2);
        addQuad(center - u - v, center + u - v, center + u + v, center - u + v, material,
                shotStride);
    }

    OffscreenContext context_;
    std::unique_ptr<Scene> scene_;
};
