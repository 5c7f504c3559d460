#pragma once

#include <string>

class Scene;

// Writes one CSV row per patch in tessellation order: serial, material,
// centre, normal, area and the radiance estimate as red, green, blue
// (eyeRadianceSum times the display scale; red is channel 2, blue channel
// 0). Numbers keep every digit; zero is written without a sign.
bool writePatchTable(const std::string& path, const Scene& s, std::string& error);

// The material name as one CSV field.
std::string csvField(const std::string& text);
