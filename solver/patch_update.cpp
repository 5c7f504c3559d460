// What a patch sends along the next bundle and toward the eye, made from what
// the previous bundle brought it, its light list and its own emission.
//
// The bundle directions are uniform on the sphere and a patch receives along
// whichever of the two senses reaches its front, so each bundle is a sample
// of its hemisphere with density 1/(2π): a received radiance times cosine
// weighs 2π in the estimates of reflected radiance.
#include "solver/patch_update.h"

#include <cmath>

#include "geometry/constants.h"

namespace {

// A glossy material's reflection depends on the directions; a diffuse one's
// glossy part is zero for any (specularReflection returns zero whenever the
// scale is not above 0).
bool isGlossy(const Material& m) { return !(m.specularScale <= 0.0); }

// Adds what the lights of the patch's list reflect toward `out`, each
// light's cosine taken with the patch's normal.
void addDirectLight(const Patch& p, const PointLight* lights, const LightTable::List& list,
                    const Vector& out, double cosOut, Color& sum) {
    const Vector& n = p.worldNormal;
    for (int e = 0; e < list.count; ++e) {
        const PointLight& light = lights[list.lights[e]];
        Vector w = normalized(p.center() - light.position);
        double cosL = -dot(n, w);
        if (cosL > 0.0)
            sum += (light.power * list.factors[e]) *
                   p.material->totalReflection(w, n, out, cosL, cosOut);
    }
}

// The direction of a bundle as seen from the side it reaches: flipped
// toward the patch's back when it points away from it, with its cosine.
inline void meetingSide(const Vector& d, const Vector& n, Vector& in, double& cosIn) {
    in = d;
    cosIn = -dot(in, n);
    if (cosIn < 0.0) {
        in = -in;
        cosIn = -cosIn;
    }
}
}  // namespace

void settleConstantTerms(Patch& p, const PointLight* lights, const LightTable& table, int firstShot,
                         PatchTerms& terms) {
    const Material& m = *p.material;
    double cosEye = dot(p.worldNormal, p.toEye);
    p.facesEye = cosEye > 0.0;
    if (terms.eyeDirect.empty()) return;
    const LightTable::List list = table.of(p.serial);
    // Emission the first shot has already spread through the light lists
    // stays out of the bundle; any other emission travels with it.
    Color sent = firstShot && p.emissionShot ? Color() : m.emission;
    // A diffuse material reflects its lights alike along every direction,
    // so their sum is the same for every bundle: any unit `out` gives it.
    if (!isGlossy(m)) addDirectLight(p, lights, list, p.worldNormal, 1.0, sent);
    terms.directOutgoing[p.serial] = sent;

    // The eye sees emitters directly, and nothing of a patch's front from behind.
    Color eye;
    if (p.facesEye) {
        eye = m.emission;
        addDirectLight(p, lights, list, p.toEye, cosEye, eye);
    }
    terms.eyeDirect[p.serial] = eye;
}

Color eyeDirectOf(const Patch& p, const PatchTerms& terms) {
    if (!terms.eyeDirect.empty()) return terms.eyeDirect[p.serial];
    return p.facesEye ? p.material->emission : Color();
}

Color directOutgoingOf(const Patch& p, int firstShot, const PatchTerms& terms) {
    if (!terms.directOutgoing.empty()) return terms.directOutgoing[p.serial];
    return firstShot && p.emissionShot ? Color() : p.material->emission;
}

namespace {

// What every patch of one iteration's update shares, worked out once.
struct SweepConstants {
    double k, keep, weight;  // K = 1/√(iteration + 1), 1 − K, K · 2π
    double n, twoN;          // N and 2N
    explicit SweepConstants(const PatchUpdateInput& u)
        : k(1.0 / std::sqrt(u.iteration + 1.0)),
          keep(1.0 - k),
          weight(k * kTwoPi),
          n(u.plannedIterations),
          twoN(2.0 * n) {}
};

inline void sendAlong(const Patch& p, const PatchUpdateInput& u, const SweepConstants& c,
                      PatchTerms& terms) {
    const int32_t s = p.serial;
    const Material& m = *p.material;
    const Vector& n = p.worldNormal;
    // Send from whichever side faces the new bundle's lines.
    Vector out = u.direction;
    double cosOut = dot(out, n);
    if (cosOut < 0.0) {
        out = -out;
        cosOut = -cosOut;
    }
    if (!(cosOut > 0.0)) {
        terms.exchange[s].outgoing = Color();
        return;
    }
    Color sent = directOutgoingOf(p, u.firstShot, terms);
    const bool glossy = isGlossy(m);
    if (glossy) addDirectLight(p, u.lights, u.lightTable->of(s), out, cosOut, sent);

    // Receive on whichever side the previous bundle reached.
    Vector in;
    double cosIn;
    meetingSide(u.previousDirection, n, in, cosIn);
    if (cosIn > 0.0) {
        const Color& incoming = terms.exchange[s].incoming;
        Color& estimate = terms.diffuseEstimate[s];
        estimate = estimate * c.keep + (m.diffuse * incoming) * c.weight;
        if (glossy)
            sent += m.specularReflection(in, n, out, cosIn, cosOut) * incoming * kTwoPi + estimate;
        else
            sent += estimate;  // the glossy term is zero, and 0 + estimate is estimate
    }
    terms.exchange[s].outgoing = sent;
}

inline void addEyeShare(const Patch& p, const PatchUpdateInput& u, const SweepConstants& c,
                        PatchTerms& terms) {
    const int32_t s = p.serial;
    Color factor = isGlossy(*p.material) ? eyeSpecularFactor(p, u.previousDirection) : Color();
    terms.eyeRadianceSum[s] += eyeDirectOf(p, terms) / c.n + terms.diffuseEstimate[s] / c.n +
                               terms.exchange[s].incoming * (factor / c.twoN);
}

}  // namespace

void updateOutgoing(const Patch& p, const PatchUpdateInput& u, PatchTerms& terms) {
    sendAlong(p, u, SweepConstants(u), terms);
}

Color eyeSpecularFactor(const Patch& p, const Vector& previousDirection) {
    const Material& m = *p.material;
    if (!isGlossy(m)) return Color();  // without reading toEye, which lies a cache line further
    double cosEye = dot(p.worldNormal, p.toEye);
    if (!(cosEye > 0.0)) return Color();
    Vector in;
    double cosIn;
    meetingSide(previousDirection, p.worldNormal, in, cosIn);
    // 2 · 2π: the accumulation halves it.
    return m.specularReflection(in, p.worldNormal, p.toEye, cosIn, cosEye) * kFourPi;
}

void accumulateEye(const Patch& p, const PatchUpdateInput& u, PatchTerms& terms) {
    addEyeShare(p, u, SweepConstants(u), terms);
}

void updatePatches(const std::vector<Patch*>& bySerial, size_t first, size_t end,
                   const PatchUpdateInput& u, PatchTerms& terms) {
    const SweepConstants c(u);
    // The records and terms are read in memory order, but the loads of a
    // patch wait on its record: fetching some patches ahead keeps them coming.
    constexpr size_t kAhead = 8;
    for (size_t s = first; s < end; ++s) {
        if (s + kAhead < end) {
            __builtin_prefetch(bySerial[s + kAhead]);
            __builtin_prefetch(&terms.exchange[s + kAhead], 1);
        }
        const Patch& p = *bySerial[s];
        sendAlong(p, u, c, terms);
        addEyeShare(p, u, c, terms);
    }
}

Color emittedAndDirectDiffuse(const Patch& p, const PointLight* lights, const LightTable& table) {
    Color sum = p.material->emission;
    const LightTable::List list = table.of(p.serial);
    for (int e = 0; e < list.count; ++e) {
        const PointLight& light = lights[list.lights[e]];
        double cosL = -dot(p.worldNormal, normalized(p.center() - light.position));
        if (cosL > 0.0) sum += (light.power * list.factors[e]) * p.material->diffuse;
    }
    return sum;
}
