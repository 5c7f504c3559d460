// The first shot: which light sources every patch sees, and with what
// geometric factor, from item-buffer renderings around each source.
#include "solver/first_shot.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "base/run_log.h"
#include "geometry/constants.h"
#include "solver/solver_state.h"

namespace {
void zeroCoverage(SolverState& scene) {
    for (Patch* p : scene.patches) p->coverage = 0.0;
}

// Unit direction from the source to the receiver's centre; false when the
// centre lies on the source, which then has no direction to it.
bool directionFrom(const Vector& source, const Patch& receiver, Vector& d) {
    Vector toReceiver = receiver.center() - source;
    double length = toReceiver.length();
    if (!(length > 0.0)) return false;
    d = toReceiver / length;
    return true;
}

// Each light adds at most one entry to a patch's list, in light order.
void appendLight(SolverState& scene, const Patch& p, int light, double factor) {
    scene.lightTable().add(p.serial, light, factor);
}

// Six full faces around the light; a patch facing it gets the solid angle
// under which the light sees it, divided by its area and by π.
void shootPointLight(SolverState& scene, int light) {
    static const Vector kFaces[6][2] = {{{0, 0, 1}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}},
                                        {{0, 1, 0}, {0, 0, 1}}, {{0, -1, 0}, {0, 0, 1}},
                                        {{1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 1, 0}}};
    const Vector position = scene.lights[light].position;
    zeroCoverage(scene);
    for (const auto& face : kFaces) scene.renderFace(position, face[0], face[1], true);
    for (Patch* r : scene.patches) {
        Vector d;
        if (r->coverage > 0.0 && directionFrom(position, *r, d) && -dot(r->worldNormal, d) > 0.0)
            appendLight(scene, *r, light, r->coverage / r->area * kInvPi);
    }
}

// Renders the hemicube above the surface point c of normal n: the full face
// along n and the four half faces around it, cut by the surface's plane.
void renderHemicube(SolverState& scene, const Vector& c, const Vector& n, const Vector& u) {
    Vector v = cross(u, n);
    scene.renderFace(c, n, u, true);
    scene.renderFace(c, u, n, false);
    scene.renderFace(c, -u, n, false);
    scene.renderFace(c, v, n, false);
    scene.renderFace(c, -v, n, false);
}

// Stands in for the run of `stride` emitting patches from `first` on by one
// light at the first one's centre, with the run's area.
void shootEmittingRun(SolverState& scene, int first, int stride) {
    const Patch& s = *scene.patches[first];
    const Vector c = s.center();
    const int light = scene.addLight(s.material->emission, c);
    zeroCoverage(scene);
    renderHemicube(scene, c, s.worldNormal, hemicubeTangent(s.worldNormal));
    const double sourceArea = s.area * stride;
    for (int j = 0; j < scene.patchCount(); ++j) {
        if (j % 100 == 1) runLog() << first << ", " << j << "\r";
        Patch& r = *scene.patches[j];
        Vector d;
        if (!(r.coverage > 0.0) || !directionFrom(c, r, d)) continue;
        double cosS = dot(s.worldNormal, d);
        if (-dot(r.worldNormal, d) > 0.0 && cosS > 0.0)
            appendLight(scene, r, light, cosS * sourceArea * r.coverage / r.area);
    }
}
}  // namespace

Vector hemicubeTangent(const Vector& n) {
    Vector u = n.x > 0.001 || n.y > 0.001 ? Vector(n.y, -n.x, 0.0) : Vector(0.0, n.z, -n.y);
    // (−1, 0, 0) and its neighbours give no tangent by the rule above: any
    // direction perpendicular to n serves.
    if (u.length() < 1e-6)
        u = normalized(cross(n, std::fabs(n.z) < 0.9 ? Vector(0, 0, 1) : Vector(0, 1, 0)));
    return u;
}

void SolverState::shootPointLights() {
    if (!hasGLContext) return;
    const int pointLights = lightCount;
    for (int i = 0; i < pointLights; ++i) shootPointLight(*this, i);
    lightTable_.build(patches.size());
}

void SolverState::shootFirst() {
    // Without a GL context nothing can be seen from the lights: emission then
    // travels with the bundles, as when the first shot is off.
    if (!hasGLContext) return;
    shootPointLights();

    // The emitting patches stand at the head of the list; the first patch
    // without emission ends the shot.
    int l = 0;
    while (l < patchCount() && patches[l]->material->emitting) {
        int stride = std::max<int>(1, patches[l]->shotStride);
        shootEmittingRun(*this, l, stride);
        for (int k = l; k < std::min(l + stride, patchCount()); ++k)
            if (patches[k]->material->emitting) patches[k]->emissionShot = true;
        l += stride;
    }
    lightTable_.build(patches.size());
}
