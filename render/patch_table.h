#pragma once

#include <string>

class Scene;

// Writes one CSV row per patch in tessellation order: serial, material,
// centre, normal, area and the radiance estimate in channels 0, 1, 2
// (eyeRadianceSum times the display scale). Numbers keep every digit.
bool writePatchTable(const std::string& path, const Scene& s, std::string& error);

// The material name as one CSV field.
std::string csvField(const std::string& text);
