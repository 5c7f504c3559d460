#include "render/patch_table.h"

#include <algorithm>
#include <cinttypes>
#include <vector>

#include "app/scene.h"
#include "base/output_file.h"

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

namespace {
// Every digit, and zero without a sign: "-0" only confuses a reader.
void writeNumber(FILE* f, double v) { std::fprintf(f, ",%.17g", v == 0.0 ? 0.0 : v); }

void writeRow(FILE* f, const Patch& p, const Color& radianceSum, double scale) {
    // Geometry is given untransformed, as the scene file placed it.
    Vector c = (p.vertices[0]->savedPosition + p.vertices[1]->savedPosition +
                p.vertices[2]->savedPosition) *
               (1.0 / 3.0);
    const Vector& n = p.worldNormal;
    Color r = radianceSum * scale;
    std::fprintf(f, "%" PRId32 ",%s", p.serial, csvField(p.material->name.c_str()).c_str());
    // Channel 2 is shown as red and channel 0 as blue.
    for (double v : {c.x, c.y, c.z, n.x, n.y, n.z, p.area, r[2], r[1], r[0]}) writeNumber(f, v);
    std::fprintf(f, "\n");
}
}  // namespace

bool writePatchTable(const std::string& path, const Scene& s, std::string& error) {
    std::vector<const Patch*> ordered(s.patches.begin(), s.patches.end());
    std::sort(ordered.begin(), ordered.end(),
              [](const Patch* a, const Patch* b) { return a->serial < b->serial; });
    OutputFile file(path);
    if (!file.open(error)) return false;
    std::fprintf(file.stream(),
                 "serial,material,center_x,center_y,center_z,normal_x,normal_y,normal_z,area,"
                 "red,green,blue\n");
    for (const Patch* p : ordered)
        writeRow(file.stream(), *p, s.eyeRadianceSum(*p), s.displayScale);
    return file.commit(error);
}
