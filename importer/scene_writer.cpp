#include "importer/scene_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "base/keywords.h"

namespace {
const double kPi = 3.14159265358979323846;
const double kDegreesToRadians = kPi / 180.0;
const double kMergeDistance = 0.1;            // the program merges closer vertices of one object
const double kParallelogramTolerance = 1e-3;  // of the two edges at the first corner

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '^' || c == '-';
}

// The name the program reads back: quoted texts cannot hold a quote, and tokens are cut.
std::string readBack(const std::string& text) {
    std::string read = text.substr(0, limits::kMaxTokenText);
    std::replace(read.begin(), read.end(), '"', '_');
    return read;
}

bool needsQuotes(const std::string& text) {
    if (text.empty() || keywordCode(text.c_str()) != Token::None) return true;
    char first = text[0];
    if ((first >= '0' && first <= '9') || first == '.' || first == '-') return true;
    return !std::all_of(text.begin(), text.end(), isNameCharacter);
}

// Scene channels 0, 1, 2 are shown as blue, green, red: an (r, g, b) colour is written
// back to front.
std::string channels(const double rgb[3], const char* separator) {
    return SceneWriter::number(rgb[2]) + separator + SceneWriter::number(rgb[1]) + separator +
           SceneWriter::number(rgb[0]);
}

std::string vectorText(const Vector& v) {
    return SceneWriter::number(v.x) + " " + SceneWriter::number(v.y) + " " +
           SceneWriter::number(v.z);
}

// Two corners the program would merge into one vertex.
bool merge(const Vector& a, const Vector& b) {
    return std::fabs(a.x - b.x) < kMergeDistance && std::fabs(a.y - b.y) < kMergeDistance &&
           std::fabs(a.z - b.z) < kMergeDistance;
}
}  // namespace

std::string SceneWriter::name(const std::string& text) {
    std::string read = readBack(text);
    return needsQuotes(read) ? "\"" + read + "\"" : read;
}

std::string SceneWriter::number(double value) {
    int size = std::snprintf(nullptr, 0, "%.6f", value);
    std::string text(static_cast<size_t>(size), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.6f", value);
    size_t last = text.find_last_not_of('0');
    text.erase(text[last] == '.' ? last : last + 1);
    return text == "-0" ? "0" : text;
}

SceneWriter::SceneWriter(const Obj2sceOptions& options, int vertexLimit)
    : options_(options), vertexLimit_(std::max(vertexLimit, 4)) {}

bool SceneWriter::prepare(const ObjModel& model, const ModelView& view) {
    view_ = view;
    scale_ = view.inMetres && !options_.hasScale ? kUnitsPerMetre : options_.scale;
    placeVertices(model);
    if (!isFinite()) {
        error_ = "the model reaches beyond the numbers the program holds once scaled";
        return false;
    }
    materialSlot_.assign(model.materials.size(), -1);
    // Emitting groups first: the first shot only takes the leading run of emitting patches.
    for (int pass = 0; pass < 2; ++pass) {
        for (const ObjModel::Group& group : model.groups) {
            bool emits = model.materials[group.material].emits();
            if (emits != (pass == 0)) continue;
            std::vector<Polygon> polygons = facePolygons(group);
            if (polygons.empty()) continue;
            splitIntoObjects(group.name, useMaterial(model, group.material), emits, polygons);
        }
    }
    conserveEnergy();
    if (objects_.empty()) {
        error_ = "the model has no faces";
        return false;
    }
    if (static_cast<int>(materials_.size()) > kMaterialLimit) {
        error_ = "the model uses " + std::to_string(materials_.size()) +
                 " materials; a scene holds at most " + std::to_string(kMaterialLimit);
        return false;
    }
    collectWarnings();
    if (!checkLightCount()) return false;
    bool cameraOptions = options_.hasEye || options_.hasLookAt || options_.hasFov;
    return view.hasCamera && !cameraOptions ? useModelCamera() : chooseCamera();
}

Vector SceneWriter::turn(const Vector& v) const {
    return options_.swapYZ ? Vector(v.x, v.z, -v.y) : v;
}

Vector SceneWriter::place(const Vector& p) const { return turn(p) * scale_; }

bool SceneWriter::isFinite() const {
    auto finite = [](const Vector& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    };
    for (const Vector& p : placed_)
        if (!finite(p)) return false;
    for (const ModelView::Light& light : view_.lights)
        if (!finite(place(light.position)) || !std::isfinite(pointLightPower(light.intensity)))
            return false;
    return true;
}

void SceneWriter::placeVertices(const ObjModel& model) {
    placed_.clear();
    placed_.reserve(model.positions.size());
    for (const Vector& p : model.positions) placed_.push_back(place(p));
}

// The written index of the model's material. Names that the program would read back
// as one get ".2", ".3", ... so that no material hides another (a cut name leaves room for
// the suffix).
int SceneWriter::useMaterial(const ObjModel& model, int index) {
    if (materialSlot_[index] >= 0) return materialSlot_[index];
    std::string read = readBack(model.materials[index].name);
    for (int n = 2;
         std::find(materialNames_.begin(), materialNames_.end(), read) != materialNames_.end(); ++n)
        read = readBack(model.materials[index].name).substr(0, limits::kMaxTokenText - 12) + "." +
               std::to_string(n);
    materialSlot_[index] = static_cast<int>(materials_.size());
    materials_.push_back(model.materials[index]);
    materialNames_.push_back(read);
    return materialSlot_[index];
}

// Triangles and parallelograms as they are; other quadrilaterals and larger polygons as
// a fan of triangles from their first corner. Triangles without area are left out.
std::vector<SceneWriter::Polygon> SceneWriter::facePolygons(const ObjModel::Group& group) {
    std::vector<Polygon> polygons;
    for (const ObjModel::Face& face : group.faces) {
        const std::vector<int>& c = face.corners;
        if (c.size() == 4 && isParallelogram(c) && !isDegenerate(c[0], c[1], c[3])) {
            Polygon quad;
            std::copy(c.begin(), c.end(), quad.corners);
            quad.count = 4;
            polygons.push_back(quad);
            continue;
        }
        for (size_t k = 1; k + 1 < c.size(); ++k) addTriangle(c[0], c[k], c[k + 1], polygons);
    }
    return polygons;
}

// The program divides a quadrilateral on the parallelogram spanned at its first corner,
// so only a quadrilateral whose third corner closes that parallelogram keeps its shape.
bool SceneWriter::isParallelogram(const std::vector<int>& c) const {
    const Vector& a = placed_[c[0]];
    Vector e1 = placed_[c[1]] - a, e3 = placed_[c[3]] - a;
    Vector miss = placed_[c[2]] - (a + e1 + e3);
    return miss.length() <= kParallelogramTolerance * (e1.length() + e3.length());
}

bool SceneWriter::isDegenerate(int a, int b, int c) const {
    if (a == b || b == c || a == c) return true;
    Vector e1 = placed_[b] - placed_[a], e2 = placed_[c] - placed_[a];
    return cross(e1, e2).length() <= 1e-12 * e1.length() * e2.length();
}

void SceneWriter::addTriangle(int a, int b, int c, std::vector<Polygon>& out) {
    if (isDegenerate(a, b, c)) {
        ++degenerate_;
        return;
    }
    Polygon triangle;
    triangle.corners[0] = a;
    triangle.corners[1] = b;
    triangle.corners[2] = c;
    out.push_back(triangle);
}

// One object per run of polygons whose vertices fit the program's per-object limit;
// further objects get ".2", ".3", ... after the name.
void SceneWriter::splitIntoObjects(const std::string& objectName, int material, bool emits,
                                   const std::vector<Polygon>& polygons) {
    std::unordered_map<int, int> local;  // placed_ index to the object's index
    int part = 1;
    for (const Polygon& polygon : polygons) {
        int fresh = 0;
        for (int k = 0; k < polygon.count; ++k) fresh += local.count(polygon.corners[k]) ? 0 : 1;
        if (objects_.empty() || local.empty() ||
            static_cast<int>(local.size()) + fresh > vertexLimit_) {
            objects_.push_back(Object());
            Object& o = objects_.back();
            o.name = part == 1 ? objectName : objectName + "." + std::to_string(part);
            o.material = material;
            o.emits = emits;
            local.clear();
            ++part;
        }
        Object& object = objects_.back();
        Polygon written = polygon;
        for (int k = 0; k < polygon.count; ++k) {
            auto found = local.emplace(polygon.corners[k], static_cast<int>(local.size()));
            if (found.second) object.vertices.push_back(polygon.corners[k]);
            written.corners[k] = found.first->second;
        }
        object.polygons.push_back(written);
    }
}

// Looks at --look-at (or the centre of the model's box) from --eye (or from the +z side,
// far enough for the bounding sphere to fill the field of view). The window lies at a
// tenth of the viewing distance: it is also the preview's near plane, which must not
// come close to the eye.
bool SceneWriter::chooseCamera() {
    Vector low(HUGE_VAL, HUGE_VAL, HUGE_VAL), high(-HUGE_VAL, -HUGE_VAL, -HUGE_VAL);
    for (const Object& object : objects_) {
        for (int v : object.vertices) {
            const Vector& p = placed_[v];
            low = Vector(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
            high = Vector(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
        }
    }
    bool empty = objects_.empty();
    Vector centre = empty ? Vector() : (low + high) * 0.5;
    double radius = empty ? 0.0 : (high - low).length() * 0.5;
    if (radius <= 0.0) radius = 1.0;
    double halfAngle = options_.fov * 0.5 * kDegreesToRadians;
    Vector target = options_.hasLookAt ? options_.lookAt : centre;
    double reach = radius + (target - centre).length();
    eye_ = options_.hasEye ? options_.eye : target + Vector(0.0, 0.0, reach / std::sin(halfAngle));
    double distance = (target - eye_).length();
    if (!(distance > 0.0)) {
        error_ = "the camera's eye lies on the point it looks at";
        return false;
    }
    direction_ = (target - eye_) / distance;
    up_ = options_.up;
    windowDistance_ = distance / 10.0;
    windowWidth_ = windowHeight_ = 2.0 * windowDistance_ * std::tan(halfAngle);
    if (cross(direction_, up_).length() <= 1e-9 * up_.length())
        warnings_.push_back("the up vector is parallel to the viewing direction");
    return true;
}

// The model's camera. Its window lies on its near plane, as high as the vertical
// field of view shows there and as wide as the aspect makes it (square when the
// model leaves the aspect open, as the program's window is).
bool SceneWriter::useModelCamera() {
    const ModelView::Camera& c = view_.camera;
    eye_ = place(c.eye);
    direction_ = normalized(turn(c.direction));
    up_ = normalized(turn(c.up));
    windowDistance_ = c.nearDistance * scale_;
    windowHeight_ = 2.0 * windowDistance_ * std::tan(c.verticalFov / 2.0);
    windowWidth_ = c.aspect > 0.0 ? c.aspect * windowHeight_ : windowHeight_;
    if (!std::isfinite(eye_.x + eye_.y + eye_.z + windowWidth_ + windowHeight_) ||
        !(windowWidth_ > 0.0 && windowHeight_ > 0.0)) {
        error_ = "the model's camera has no usable window once scaled";
        return false;
    }
    return true;
}

// The light table holds kLightLimit light sources: the point lights and, for the
// first shot, one for every emitting patch, unless those are kLightLimit or more
// and the first shot is skipped. A scene with more would end the program.
bool SceneWriter::checkLightCount() {
    int points = (options_.hasLight ? 1 : 0) + static_cast<int>(view_.lights.size());
    std::string limit = std::to_string(kLightLimit);
    if (points > kLightLimit) {
        error_ = "the scene would have " + std::to_string(points) +
                 " point lights; a scene holds at most " + limit;
        return false;
    }
    if (emittingPatches_ < kLightLimit && points + emittingPatches_ > kLightLimit) {
        error_ = "the " + std::to_string(points) + " point lights and the " +
                 std::to_string(emittingPatches_) + " patches of the emitting objects are " +
                 std::to_string(points + emittingPatches_) +
                 " light sources; a scene holds at most " + limit;
        return false;
    }
    return true;
}

// A point light of intensity I (candela) at distance r lights a surface facing it
// with I / r² (lux); the program lights it with P / (π r²), r in scene units, that is
// scale_ units per metre. So P = π · I · scale_².
double SceneWriter::pointLightPower(double intensity) const {
    return kPi * intensity * scale_ * scale_;
}

void SceneWriter::collectWarnings() {
    int merged = 0;
    emittingPatches_ = 0;
    for (const Object& object : objects_) {
        for (const Polygon& polygon : object.polygons) {
            if (object.emits) emittingPatches_ += polygon.count == 4 ? 2 : 1;
            for (int k = 0; k < polygon.count; ++k) {
                int next = (k + 1) % polygon.count;
                if (merge(placed_[object.vertices[polygon.corners[k]]],
                          placed_[object.vertices[polygon.corners[next]]])) {
                    ++merged;
                    break;
                }
            }
        }
    }
    if (degenerate_ > 0)
        warnings_.push_back(std::to_string(degenerate_) + " triangles without area are left out");
    if (merged > 0)
        warnings_.push_back(std::to_string(merged) +
                            " polygons have corners closer than 0.1 on every axis, which the "
                            "program merges into one vertex: enlarge the model with --scale");
    if (emittingPatches_ >= kLightLimit)
        warnings_.push_back("the emitting objects make " + std::to_string(emittingPatches_) +
                            " patches, each a light source; with " + std::to_string(kLightLimit) +
                            " or more the first shot is skipped and their light travels "
                            "with the bundles only");
}

// A material reflects Kd diffusely and up to mean(Ks) glossily: where their
// sum exceeds 1 in a channel it would reflect more light than it receives,
// and the solution would grow without bound. Both are scaled down together
// until the largest sum is 1.
void SceneWriter::conserveEnergy() {
    energyScale_.assign(materials_.size(), 1.0);
    int scaled = 0;
    for (size_t i = 0; i < materials_.size(); ++i) {
        const ObjModel::Material& m = materials_[i];
        double gloss = (m.specular[0] + m.specular[1] + m.specular[2]) / 3.0;
        double most = std::max({m.diffuse[0], m.diffuse[1], m.diffuse[2]}) + gloss;
        if (most <= 1.0) continue;
        // A millionth below 1, so that the numbers as written (six decimals,
        // rounded) still sum to at most 1.
        energyScale_[i] = (1.0 - 1e-6) / most;
        ++scaled;
    }
    if (scaled > 0)
        warnings_.push_back(std::to_string(scaled) +
                            " materials would reflect more light than they receive (Kd plus the "
                            "mean of Ks above 1); their Kd and Ks are scaled down to sum to 1, "
                            "as the notes in the scene say");
}

void SceneWriter::write(std::ostream& out, const std::string& source) const {
    std::string shownSource = source;
    std::replace(shownSource.begin(), shownSource.end(), '\n', ' ');
    size_t polygons = 0;
    for (const Object& object : objects_) polygons += object.polygons.size();
    out << "% " << shownSource << ", converted by ray-bundle-import: " << objects_.size()
        << " objects, " << polygons << " polygons\n";
    if (view_.inMetres) out << "% 1 metre of the model is " << number(scale_) << " units\n";
    writeCamera(out);
    writeLights(out);
    for (size_t i = 0; i < materials_.size(); ++i) writeMaterial(out, static_cast<int>(i));
    for (const Object& object : objects_) writeObject(out, object);
}

// The camera comes first: objects are tessellated with the window width in force.
void SceneWriter::writeCamera(std::ostream& out) const {
    out << "cmr camera\n  " << vectorText(eye_) << "  " << vectorText(direction_) << "  "
        << vectorText(up_) << "\n  " << number(windowDistance_) << "  " << number(windowWidth_)
        << " " << number(windowHeight_) << "  0 0  0\nend\n";
}

void SceneWriter::writeLights(std::ostream& out) const {
    if (options_.hasLight)
        out << "pointlight " << number(options_.lightPower) << " "
            << vectorText(options_.lightPosition) << " end\n";
    for (const ModelView::Light& light : view_.lights)
        out << "pointlight " << number(pointLightPower(light.intensity)) << " "
            << vectorText(place(light.position)) << " end\n";
    if (options_.hasSky) {
        double rgb[3] = {options_.sky.x, options_.sky.y, options_.sky.z};
        out << "sky " << channels(rgb, " ") << " end\n";
    }
}

// Reflectance Kd with diffuse scale 1; a glossy lobe of weight mean(Ks) and exponent Ns
// when Ks is not black; emission Ke when it is not black. Kd and Ks are scaled
// by the material's energy scale, with a note.
void SceneWriter::writeMaterial(std::ostream& out, int index) const {
    const ObjModel::Material& m = materials_[index];
    const double scale = energyScale_[index];
    if (scale < 1.0)
        out << "% " << materialNames_[index] << ": Kd and Ks scaled by " << number(scale)
            << " so that it reflects no more light than it receives\n";
    double diffuse[3] = {m.diffuse[0] * scale, m.diffuse[1] * scale, m.diffuse[2] * scale};
    out << "nmdMtrl " << name(materialNames_[index]) << (m.emits() ? " pLmnr" : "")
        << " lmbrtn spctrl 0 " << channels(diffuse, " 0 ") << " 1";
    double gloss = scale * (m.specular[0] + m.specular[1] + m.specular[2]) / 3.0;
    if (gloss > 0.0) out << " " << number(gloss) << " " << number(m.exponent);
    out << " end end";
    if (m.emits()) out << " spctrl 0 " << channels(m.emission, " 0 ") << " end end";
    out << " end\n";
}

// Emitting objects are tessellated at level 1: every emitting patch becomes a light
// source of the first shot, and the program holds 25 light sources.
void SceneWriter::writeObject(std::ostream& out, const Object& object) const {
    double level = object.emits ? 1.0 : options_.tessellate;
    out << "plnrMsh " << name(object.name) << " mtrlNm " << name(materialNames_[object.material])
        << " end tessellate " << number(level) << "\n  vrtxPstn\n";
    for (int v : object.vertices) out << "    " << vectorText(placed_[v]) << "\n";
    out << "  end\n  cmplxPly\n";
    for (const Polygon& polygon : object.polygons) {
        out << "    plygn";
        for (int k = 0; k < polygon.count; ++k) out << " " << polygon.corners[k];
        out << " end\n";
    }
    out << "  end\nend\n";
}
