#pragma once

// The fixed sizes of the scene's tables, shared by the program, its readers
// and the converter that writes scene files for it.
namespace limits {
constexpr int kMaxLights = 25;              // entries of the light table
constexpr int kMaxMaterials = 100;          // entries of the material table
constexpr int kMaxObjectVertices = 320000;  // an object holds fewer vertices than this
constexpr int kMaxTokenText = 2047;         // characters kept of one token
constexpr int kMaxShotStride = 32767;       // a patch keeps its first-shot stride in 16 bits
// Patch identifiers are 24-bit colours of the item buffer, 0 being none.
constexpr int kMaxPatches = 16777215;
}  // namespace limits
